#include "app/LayerWiring.h"

#include <windows.h>

#include <utility>

#include "app/ControlWindowHandle.h"
#include "app/Environment.h"
#include "app/Messages.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HostPaths.h"
#include "follow/AlbumInfoParser.h"
#include "follow/DoGetIco.h"
#include "follow/MediaTableSetup.h"
#include "push/PushManager.h"

namespace {

// Synchronous: the control window reads the record on its own thread while the network
// thread waits. Nothing is sent while there is no control window (not yet, or gone).
void SendAlbumInfoToControlWindow(const AlbumInfo& info) {
  const HWND window = PublishedControlWindow();
  if (!window) return;
  ::SendMessageW(window, WM_TAILCAST_COMMAND, CMD_UPDATE_SHORTCUT_URL, reinterpret_cast<LPARAM>(&info));
}

void KeepPlayRecordNotice(uint32_t value) { CEnvironment::GetInstance().StorePlayRecordNotice(value); }

}  // namespace

void ConnectLowerLayers() {
  SetHostPaths(CEnvironment::GetInstance().GetHostPaths());
  SetIconTaskMaker(&CDoGetIco::Make);  // every new favourite gets its album icon and episode count
  SetAlbumInfoSink(&SendAlbumInfoToControlWindow);
  CPlayRecordManager::SetNoticeSink(&KeepPlayRecordNotice);
  CPlayRecordManager::SetLoginSource(&CurrentLogin);
}

LoginState CurrentLogin() {
  CEnvironment& environment = CEnvironment::GetInstance();
  LoginState login;
  login.loggedIn = environment.IsLoggedIn();
  login.cookie = environment.GetLoginCookie();
  login.userId = environment.GetUserId();
  return login;
}

ReminderContext CurrentReminderContext() {
  CEnvironment& environment = CEnvironment::GetInstance();
  ReminderContext context;
  context.login = CurrentLogin();
  context.machineId = environment.GetMachineId();
  context.clientDataFolder = environment.GetClientDataFolder();
  context.clientFolder = environment.GetClientFolder();
  context.clientExePath = environment.GetClientExePath();
  return context;
}

void StartReminders(HWND controlWindow) {
  CreateMediaTableInClientFolder(CEnvironment::GetInstance().GetClientFolder());
  PushSetup setup;
  setup.context = &CurrentReminderContext;
  setup.mainWindow = controlWindow;
  CPushManager::Configure(std::move(setup));
  CPushManager::GetInstance().RequestReminders(true);
}
