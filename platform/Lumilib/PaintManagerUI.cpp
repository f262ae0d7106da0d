#include "platform/Lumilib/PaintManagerUI.h"

#include "platform/Lumilib/UISystem.h"

namespace Lumi {

std::wstring CPaintManagerUI::GetInstancePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(CUISystem::GetInstance().GetModuleInstance(), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

int CPaintManagerUI::MessageLoop() {
  MSG message = {};
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) break;       // WM_QUIT
    if (got == -1) return -1;  // the queue is gone
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace Lumi
