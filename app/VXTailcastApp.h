// The application object: decides whether this start may run, routes ordinary starts
// through the updater, hands commands to a running instance, and runs the control window.
#pragma once

#include <string>

#include "app/framework/WinApp.h"

class CVXTailcastApp : public CWinApp {
public:
  CVXTailcastApp();

protected:
  bool InitInstance() override;

private:
  void ReadModuleFolder();
  void RunControlWindow();
  void HandleFirstStartCommand();
  void HandOffToRunningInstance(HWND runningWindow);
  void LaunchUpdater();
  void Trace(const wchar_t* key, const std::wstring& value) const;

  std::wstring m_moduleFolder;  // the executable's, with its trailing backslash
};
