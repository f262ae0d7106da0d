// The small application framework the program is written against: one application
// object per process whose InitInstance decides everything; returning false ends the
// process with the application's exit code.
#pragma once

#include <windows.h>

#include <string>

class CDialog;

class CWinApp {
public:
  explicit CWinApp(const wchar_t* appName);
  virtual ~CWinApp();

  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Called once by the entry point; returns the process exit code.
  int Run(HINSTANCE instance, const wchar_t* commandLine);

  const std::wstring& AppName() const { return m_appName; }
  HINSTANCE Instance() const { return m_instance; }
  // The command line without the program path.
  const std::wstring& CommandLine() const { return m_commandLine; }
  CDialog* MainWindow() const { return m_mainWindow; }

protected:
  virtual bool InitInstance() = 0;
  // Runs when InitInstance returned true. Default: a plain message loop.
  virtual int RunMessageLoop();

  void SetMainWindow(CDialog* window) { m_mainWindow = window; }
  void SetExitCode(int code) { m_exitCode = code; }
  // Where the framework would keep per-user settings; the program keeps none of its own.
  void SetRegistryKey(const wchar_t* key) { m_registryKey = key; }

private:
  std::wstring m_appName;
  std::wstring m_registryKey;
  std::wstring m_commandLine;
  HINSTANCE m_instance = nullptr;
  CDialog* m_mainWindow = nullptr;
  int m_exitCode = 0;
};

