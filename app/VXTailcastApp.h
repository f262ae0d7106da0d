// The application object: decides whether this start may run, routes ordinary starts
// through the updater, hands commands to a running instance, and runs the control window.
#pragma once

#include <string>

#include "app/framework/WinApp.h"

class CVXTailcastApp : public CWinApp {
public:
  CVXTailcastApp();

  // The executable's folder including its trailing backslash.
  const std::wstring& ModuleFolder() const { return m_moduleFolder; }
  bool IsVistaOrLater() const { return m_isVistaOrLater; }

protected:
  bool InitInstance() override;

private:
  void InitCommonControls();
  void ReadModuleFolder();
  void ReadOsVersion();
  void RunControlWindow();
  void HandleFirstStartCommand();
  void HandOffToRunningInstance(HWND runningWindow);
  void LaunchUpdater();
  void Trace(const wchar_t* key, const std::wstring& value) const;

  std::wstring m_moduleFolder;
  bool m_isVistaOrLater = false;
};

CVXTailcastApp& TheApp();
