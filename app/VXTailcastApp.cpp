#include "app/VXTailcastApp.h"

#include <shellapi.h>

#include "app/CommandLine.h"
#include "app/Environment.h"
#include "app/HandoffText.h"
#include "app/LayerWiring.h"
#include "app/Messages.h"
#include "app/ProcessEnd.h"
#include "app/VXTailcastDlg.h"
#include "common/ModulePath.h"
#include "common/ScopedWin.h"
#include "common/TraceRecord.h"
#include "platform/Lumilib/PaintManagerUI.h"
#include "platform/Lumilib/UISystem.h"

namespace {

constexpr wchar_t kApplicationName[] = L"VXTailcast";
constexpr wchar_t kInstanceMutexName[] = L"VXTailcast_Client_Mutex";
constexpr wchar_t kUpdaterFileName[] = L"VexoUpdate.exe";
constexpr wchar_t kSettingsKey[] = L"Local AppWizard-Generated Applications";
constexpr wchar_t kTraceSection[] = L"Tailcast:";
// A running instance takes its mutex before it makes its window: a start that finds the mutex
// looks for the window this long.
constexpr ULONGLONG kWindowSearchMs = 5000;
constexpr DWORD kWindowSearchStepMs = 100;
// A hung running instance must not hold a second start for ever.
constexpr UINT kHandoffTimeoutMs = 10000;

HWND FindRunningWindow() {
  const ULONGLONG deadline = ::GetTickCount64() + kWindowSearchMs;
  for (;;) {
    const HWND window = ::FindWindowW(nullptr, kControlWindowTitle);
    if (::IsWindow(window)) return window;
    if (::GetTickCount64() >= deadline) return nullptr;
    ::Sleep(kWindowSearchStepMs);
  }
}

// Synchronous, so the running instance has finished with the record when this returns.
bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kHandoffTimeoutMs, &result) != 0;
}

}  // namespace

CVXTailcastApp::CVXTailcastApp() : CWinApp(kApplicationName) {}

// Every path ends by reporting failure to the framework, or, once the control window's
// message loop has run, by ending the process: it lives exactly as long as that loop.
bool CVXTailcastApp::InitInstance() {
  ReadModuleFolder();
  const bool isUpdateStart = IsUpdateCommand(CommandLine());

  ScopedKernelHandle instanceMutex(::CreateMutexW(nullptr, TRUE, kInstanceMutexName));
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    const HWND runningWindow = FindRunningWindow();
    if (runningWindow) {
      HandOffToRunningInstance(runningWindow);
    } else {
      Trace(L"second startup : ", L"未找到VexoTailcast");
    }
    if (!isUpdateStart) return false;
  }

  SetRegistryKey(kSettingsKey);
  Lumi::CUISystem::GetInstance().SetInstance(Instance());
  Lumi::CUISystem::GetInstance().SetResourcePath(CEnvironment::GetInstance().GetSkinFolder().c_str());

  if (isUpdateStart) {
    RunControlWindow();
  } else {
    LaunchUpdater();
  }
  return false;
}

void CVXTailcastApp::ReadModuleFolder() { m_moduleFolder = ModuleFolderWithSeparator(); }

void CVXTailcastApp::RunControlWindow() {
  ConnectLowerLayers();
  CVXTailcastDlg controlWindow;
  SetMainWindow(&controlWindow);
  if (controlWindow.Create(Instance())) {
    ::SendMessageW(controlWindow.GetSafeHwnd(), WM_TAILCAST_COMMAND, CMD_STARTUP_WORK, 0);
    // The first command follows the start-up work, which runs once the loop does.
    if (!controlWindow.PostWork([this] { HandleFirstStartCommand(); })) HandleFirstStartCommand();
    // The process ends here, with whatever the network threads still wait for.
    EndProcessAfterExit(Lumi::CPaintManagerUI::MessageLoop(), [&controlWindow] { controlWindow.RemoveTrayIcon(); });
  }
  SetMainWindow(nullptr);
}

void CVXTailcastApp::HandleFirstStartCommand() {
  Trace(L"first startup cmdline: ", CommandLine());
  const std::wstring command = UpdateStartCommand(CommandLine());
  if (command.empty()) return;

  CDialog* mainWindow = MainWindow();
  if (!mainWindow || !mainWindow->GetSafeHwnd()) return;
  const HWND window = mainWindow->GetSafeHwnd();

  if (IsDeskFavorCommand(command)) {
    const std::wstring favoriteText = FavoriteTextOf(command);
    HandoffText record = MakeHandoffText(kHandoffFromFirstStart, favoriteText);
    Trace(L"send first startup cmdline: ", favoriteText);
    ::SendMessageW(window, WM_TAILCAST_COMMAND, CMD_CREATE_DESKFAVOR, reinterpret_cast<LPARAM>(&record));
    return;
  }
  if (IsUninstallCommand(command)) ::SendMessageW(window, WM_TAILCAST_UNINSTALL, 0, 0);
}

void CVXTailcastApp::HandOffToRunningInstance(HWND runningWindow) {
  Trace(L"second startup cmdline is : ", L"null");
  const std::wstring& commandLine = CommandLine();
  if (commandLine.empty()) return;

  if (IsDeskFavorCommand(commandLine)) {
    const std::wstring favoriteText = FavoriteTextOf(commandLine);
    HandoffText record = MakeHandoffText(kHandoffFromSecondStart, favoriteText);
    Trace(L"second start cmdline: ", favoriteText);
    if (!SendWithin(runningWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record))) {
      Trace(L"second start handoff : ", L"false");
    }
    return;
  }
  // The running instance ends inside this call, so its answer tells nothing.
  if (IsUninstallCommand(commandLine)) SendWithin(runningWindow, WM_TAILCAST_UNINSTALL, 0, 0);
}

void CVXTailcastApp::LaunchUpdater() {
  const std::wstring updaterPath = m_moduleFolder + kUpdaterFileName;
  const std::wstring parameters = UpdaterParameters(AppName(), CommandLine());
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", updaterPath.c_str(), parameters.c_str(), nullptr, SW_SHOW));
  if (result <= 32) Trace(L"start update : ", L"false");
}

void CVXTailcastApp::Trace(const wchar_t* key, const std::wstring& value) const {
  WriteTrace(kTraceSection, key, value, m_moduleFolder + kStartupTraceFileName);
}
