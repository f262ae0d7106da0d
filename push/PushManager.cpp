#include "push/PushManager.h"

#include <utility>

namespace {

PushSetup& Setup() {
  static PushSetup setup;
  return setup;
}

}  // namespace

void CPushManager::Configure(PushSetup setup) { Setup() = std::move(setup); }

CPushManager& CPushManager::GetInstance() {
  static CPushManager* const instance = new CPushManager();  // lives until the process ends
  return *instance;
}

CPushManager::CPushManager() : m_mainWindow(Setup().mainWindow) {
  m_pushWindow = std::make_unique<CPushWnd>(Setup().context);
  if (!m_pushWindow->CreatePopup()) m_pushWindow.reset();
  Create(m_parent, L"消息循环窗口", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT);
}

void CPushManager::RequestReminders(bool forced) {
  if (m_pushWindow) m_pushWindow->RequestReminders(forced);
}

bool CPushManager::IsCursorInside() const {
  POINT cursor = {};
  ::GetCursorPos(&cursor);
  const RECT none = {};
  return ::PtInRect(&none, cursor) != FALSE;
}

BOOL CPushManager::PostToMessageWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  return PostMessageW(message, wParam, lParam);
}
