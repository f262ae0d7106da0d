#include "app/framework/WinApp.h"

namespace {
CWinApp* g_application = nullptr;
}

CWinApp* AfxGetApp() { return g_application; }

CWinApp::CWinApp(const wchar_t* appName) : m_appName(appName ? appName : L"") { g_application = this; }

CWinApp::~CWinApp() {
  if (g_application == this) g_application = nullptr;
}

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
