#include "platform/Lumilib/PaintManagerUI.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/Lumilib/UISystem.h"
#include "tests/support/ProcessHarness.h"

namespace {

TEST(PaintManagerUITest, InstancePathIsTheExecutableFolderWithSeparator) {
  Lumi::CUISystem::GetInstance().SetInstance(::GetModuleHandleW(nullptr));
  const std::wstring path = Lumi::CPaintManagerUI::GetInstancePath();
  EXPECT_EQ(path, vxtest::BinaryFolder());
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.back(), L'\\');
}

std::vector<UINT> g_received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) {
    g_received.push_back(message);
    if (message == WM_APP + 2) ::PostQuitMessage(7);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(PaintManagerUITest, MessageLoopDispatchesUntilQuitAndReturnsItsCode) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"LumiLoopTest";
  ASSERT_NE(::RegisterClassW(&windowClass), 0);
  const HWND window = ::CreateWindowW(L"LumiLoopTest", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  g_received.clear();
  ::PostMessageW(window, WM_APP, 0, 0);
  ::PostMessageW(window, WM_APP + 1, 0, 0);
  ::PostMessageW(window, WM_APP + 2, 0, 0);
  ::PostMessageW(window, WM_APP + 3, 0, 0);  // WM_QUIT comes only once the queue is drained
  EXPECT_EQ(Lumi::CPaintManagerUI::MessageLoop(), 7);
  EXPECT_EQ(g_received, (std::vector<UINT>{WM_APP, WM_APP + 1, WM_APP + 2, WM_APP + 3}));
  ::DestroyWindow(window);
}

}  // namespace
