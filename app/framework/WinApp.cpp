#include "app/framework/WinApp.h"

CWinApp::CWinApp(const wchar_t* appName) : m_appName(appName ? appName : L"") {}

CWinApp::~CWinApp() = default;

int CWinApp::Run(HINSTANCE instance, const wchar_t* commandLine) {
  m_instance = instance;
  m_commandLine = commandLine ? commandLine : L"";
  if (!InitInstance()) return m_exitCode;
  return RunMessageLoop();
}

int CWinApp::RunMessageLoop() {
  MSG message = {};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
