#include "app/LayerWiring.h"

#include <windows.h>

#include <utility>

#include "app/Environment.h"
#include "app/Messages.h"
#include "app/framework/Dialog.h"
#include "app/framework/WinApp.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HostPaths.h"
#include "follow/AlbumInfoParser.h"
#include "follow/DoGetIco.h"
#include "follow/MediaTableSetup.h"
#include "push/PushManager.h"

namespace {

// Synchronous: the control window reads the record on its own thread while the network
// thread waits. Nothing is sent while there is no control window (not yet, or shutting down).
void SendAlbumInfoToControlWindow(const AlbumInfo& info) {
  CWinApp* const app = AfxGetApp();
  CDialog* const window = app ? app->MainWindow() : nullptr;
  const HWND handle = window ? window->GetSafeHwnd() : nullptr;
  if (!handle) return;
  ::SendMessageW(handle, WM_TAILCAST_COMMAND, CMD_UPDATE_SHORTCUT_URL, reinterpret_cast<LPARAM>(&info));
}

void KeepPlayRecordNotice(uint32_t value) { CEnvironment::Instance().StorePlayRecordNotice(value); }

}  // namespace

void ConnectLowerLayers() {
  SetHostPaths(CEnvironment::Instance().GetHostPaths());
  SetIconTaskMaker(&CDoGetIco::Make);  // every new favourite gets its album icon and episode count
  SetAlbumInfoSink(&SendAlbumInfoToControlWindow);
  CPlayRecordManager::SetNoticeSink(&KeepPlayRecordNotice);
  CPlayRecordManager::SetLoginSource(&CurrentLogin);
}

LoginState CurrentLogin() {
  CEnvironment& environment = CEnvironment::Instance();
  LoginState login;
  login.loggedIn = environment.IsLoggedIn();
  login.cookie = environment.GetLoginCookie();
  return login;
}

ReminderContext CurrentReminderContext() {
  CEnvironment& environment = CEnvironment::Instance();
  ReminderContext context;
  context.loggedIn = environment.IsLoggedIn();
  context.loginCookie = environment.GetLoginCookie();
  context.userId = environment.GetUserId();
  context.machineId = environment.GetMachineId();
  context.clientDataFolder = environment.GetClientDataFolder();
  context.clientFolder = environment.GetClientFolder();
  context.clientExePath = environment.GetClientExePath();
  return context;
}

void StartReminders(HWND controlWindow) {
  CreateMediaTableInClientFolder(CEnvironment::Instance().GetClientFolder());
  PushSetup setup;
  setup.context = &CurrentReminderContext;
  setup.mainWindow = controlWindow;
  CPushManager::Configure(std::move(setup));
  CPushManager::GetInstance().RequestReminders(true);
}
