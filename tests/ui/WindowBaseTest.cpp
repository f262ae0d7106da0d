// The window base with its hooks left as they are: messages reach the paint manager and then
// the default handling; finished requests reach the window's thread and are freed.
#include "ui/WindowBase.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/Lumilib/UIlib.h"
#include "platform/RidOdo/TaskModule.h"

namespace {

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

class PlainWindow : public CWindowBase {
public:
  void Notify(Lumi::TNotifyUI& msg) override { heard.push_back(msg.sType.Str() + L":" + msg.pSender->GetName().Str()); }
  std::vector<std::wstring> heard;
  int preResource = 0;

protected:
  const wchar_t* GetWindowClassName() const override { return L"VxPlainWindow"; }
  void OnPreResource() override { ++preResource; }
};

int g_deletedArgs = 0;

class ProbeArg : public CResourceArg {
public:
  ProbeArg() : CResourceArg(42) {}
  ~ProbeArg() override { ++g_deletedArgs; }
};

class WindowBaseTest : public ::testing::Test {
protected:
  WindowBaseTest() {
    window.Create(nullptr, L"plain", WS_POPUP, 0, 0, 0, 100, 40);
    Lumi::CPaintManagerUI& manager = window.GetPaintManager();
    manager.Init(window.GetHWND());
    Lumi::CDialogBuilder builder;
    manager.AttachDialog(builder.CreateFromText(
        R"(<Window><HorizontalLayout><Button name="go" width="50" /></HorizontalLayout></Window>)", &window, &manager));
    manager.AddNotifier(&window);
    manager.UpdateLayout(RECT{0, 0, 100, 40});
  }
  PlainWindow window;
};

TEST_F(WindowBaseTest, DefaultHooksRouteThroughThePaintManagerThenTheDefaultHandling) {
  ASSERT_NE(window.GetHWND(), nullptr);
  ::SendMessageW(window.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  ::SendMessageW(window.GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(12, 10));
  EXPECT_EQ(window.heard.front(), L"click:go");

  ::SetWindowTextW(window.GetHWND(), L"标题");
  wchar_t title[16] = {};
  ::GetWindowTextW(window.GetHWND(), title, 16);
  EXPECT_EQ(std::wstring(title), L"标题");
  EXPECT_EQ(::SendMessageW(window.GetHWND(), WM_NCHITTEST, 0, MAKELPARAM(10, 10)), HTCLIENT);
  EXPECT_EQ(::GetClassLongW(window.GetHWND(), GCL_STYLE) & CS_DBLCLKS, static_cast<DWORD>(CS_DBLCLKS));
}

TEST_F(WindowBaseTest, ShowingWithoutFocusLeavesTheForegroundWindow) {
  const HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 100, 100,
                                       nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  ::SetForegroundWindow(other);
  Pump();
  window.ShowWindow(true, false);
  Pump();
  EXPECT_TRUE(::IsWindowVisible(window.GetHWND()));
  EXPECT_EQ(::GetForegroundWindow(), other);
  window.ShowWindow(false);
  EXPECT_FALSE(::IsWindowVisible(window.GetHWND()));
  ::DestroyWindow(other);
}

TEST_F(WindowBaseTest, PostedResourceReachesTheWindowThreadAndIsFreed) {
  g_deletedArgs = 0;
  EXPECT_TRUE(window.PostResource(42, new ProbeArg));
  EXPECT_EQ(g_deletedArgs, 0);
  Pump();
  EXPECT_EQ(window.preResource, 1);
  EXPECT_EQ(g_deletedArgs, 1);

  ::DestroyWindow(window.GetHWND());
  EXPECT_EQ(window.GetHWND(), nullptr);
  EXPECT_FALSE(window.PostResource(43, new ProbeArg));
  EXPECT_EQ(g_deletedArgs, 2);
}

TEST_F(WindowBaseTest, AnOwnedResourceStillQueuedWhenTheWindowGoesIsFreedUndelivered) {
  g_deletedArgs = 0;
  EXPECT_TRUE(window.PostResource(42, std::make_unique<ProbeArg>()));
  ::DestroyWindow(window.GetHWND());
  EXPECT_EQ(g_deletedArgs, 1);
  Pump();
  EXPECT_EQ(window.preResource, 0);

  EXPECT_FALSE(window.PostResource(43, std::make_unique<ProbeArg>()));
  EXPECT_EQ(g_deletedArgs, 2);
}

TEST(WindowBaseLifetimeTest, ResourcesQueuedWhenTheObjectGoesAreFreed) {
  g_deletedArgs = 0;
  {
    PlainWindow window;
    ASSERT_NE(window.Create(nullptr, L"plain", WS_POPUP, 0, 0, 0, 100, 40), nullptr);
    EXPECT_TRUE(window.PostResource(42, std::make_unique<ProbeArg>()));
    EXPECT_TRUE(window.PostResource(43, new ProbeArg));
  }
  EXPECT_EQ(g_deletedArgs, 2);
  Pump();
  EXPECT_EQ(g_deletedArgs, 2);
}

}  // namespace
