// Pointer input given to a real window as posted messages: hit-testing, clicks, hot tracking,
// tool-tips, and delivery to delegates and listeners on the window's thread.
#include "tests/platform/Lumilib/LumiFixture.h"

#include <commctrl.h>

#include <thread>
#include <vector>

namespace lumitest {
namespace {

const char kSkin[] = R"(<Window size="300,200">
  <HorizontalLayout name="root">
    <Button name="one" width="100" tooltip="第一 first" handcursor="true" />
    <Button name="two" width="100" />
    <Button name="off" width="50" enabled="false" />
    <Button name="hidden" width="50" />
  </HorizontalLayout>
</Window>)";

struct Heard {
  std::wstring what;  // "click:one" and the like
  DWORD thread;
};

class Recorder : public Lumi::INotifyUI {
public:
  void Notify(Lumi::TNotifyUI& msg) override {
    notified.push_back({msg.sType.Str() + L":" + msg.pSender->GetName().Str(), ::GetCurrentThreadId()});
  }
  bool OnEvent(Lumi::TEventUI& e) {
    delegated.push_back({std::wstring(e.type) + L":" + e.sender->GetName().Str(), ::GetCurrentThreadId()});
    return true;
  }
  std::vector<std::wstring> Notified(const std::wstring& type) const {
    std::vector<std::wstring> found;
    for (const Heard& heard : notified) {
      if (heard.what.compare(0, type.size(), type) == 0) found.push_back(heard.what);
    }
    return found;
  }
  std::vector<Heard> notified;
  std::vector<Heard> delegated;
};

class EventsTest : public LumiTest {
protected:
  EventsTest() {
    Lumi::CControlUI* root = Load(kSkin, RECT{0, 0, 300, 200});
    if (!root) return;
    window.manager.AddNotifier(&recorder);
    for (const wchar_t* name : {L"one", L"two", L"off", L"hidden"}) {
      Lumi::CControlUI* control = window.manager.FindControl(name);
      control->Subscribe(Lumi::EventClick, Lumi::MakeDelegate(&recorder, &Recorder::OnEvent));
      control->Subscribe(Lumi::EventFocusIn, Lumi::MakeDelegate(&recorder, &Recorder::OnEvent));
      control->Subscribe(Lumi::EventFocusOut, Lumi::MakeDelegate(&recorder, &Recorder::OnEvent));
    }
    window.manager.FindControl(L"hidden")->SetVisible(false);  // it keeps its old rectangle
    window.manager.UpdateLayout(RECT{0, 0, 300, 200});
  }
  Recorder recorder;
};

TEST_F(EventsTest, ClickGoesToDelegateAndListenerOnTheWindowThread) {
  // Posted from another thread, as the network library's threads would.
  std::thread poster([this] {
    ::PostMessageW(window.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    ::PostMessageW(window.GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(60, 70));
  });
  poster.join();
  Pump();
  EXPECT_EQ(recorder.Notified(L"click"), std::vector<std::wstring>{L"click:one"});
  ASSERT_FALSE(recorder.delegated.empty());
  EXPECT_EQ(recorder.delegated.front().what, L"click:one");
  // The button went up over "one": it is the hot control now.
  EXPECT_EQ(recorder.delegated.back().what, L"focusin:one");
  for (const Heard& heard : recorder.delegated) EXPECT_EQ(heard.thread, ::GetCurrentThreadId());
  for (const Heard& heard : recorder.notified) EXPECT_EQ(heard.thread, ::GetCurrentThreadId());
}

TEST_F(EventsTest, ClickOnlyWhenTheButtonGoesUpOnTheControlItWentDownOn) {
  Click(POINT{50, 50}, POINT{150, 50});  // down on one, up on two
  Click(POINT{150, 50}, POINT{150, 250});  // up outside the window
  EXPECT_TRUE(recorder.Notified(L"click").empty());
  Click(POINT{150, 50}, POINT{199, 10});
  EXPECT_EQ(recorder.Notified(L"click"), std::vector<std::wstring>{L"click:two"});
}

TEST_F(EventsTest, DisabledAndHiddenControlsTakeNoClicks) {
  Click(POINT{225, 50}, POINT{225, 50});  // "off"
  Click(POINT{275, 50}, POINT{275, 50});  // where "hidden" was
  // The clicks fall through to the container behind them.
  EXPECT_EQ(recorder.Notified(L"click"), (std::vector<std::wstring>{L"click:root", L"click:root"}));
  window.manager.FindControl(L"off")->SetEnabled(true);
  Click(POINT{225, 50}, POINT{225, 50});
  EXPECT_EQ(recorder.Notified(L"click").back(), L"click:off");
}

TEST_F(EventsTest, PointerEnteringAndLeavingFiresFocusEventsAndHotState) {
  MoveTo(POINT{10, 10});
  MoveTo(POINT{20, 10});  // still on one: nothing new
  MoveTo(POINT{110, 10});
  EXPECT_EQ(recorder.Notified(L"focus"),
            (std::vector<std::wstring>{L"focusin:one", L"focusout:one", L"focusin:two"}));
  Lumi::CControlUI* two = window.manager.FindControl(L"two");
  EXPECT_TRUE(two->GetState() & Lumi::UISTATE_HOT);
  ::SendMessageW(window.GetHWND(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(two->GetState() & Lumi::UISTATE_HOT);
  EXPECT_EQ(recorder.Notified(L"focus").back(), L"focusout:two");
}

TEST_F(EventsTest, ToolTipWindowCarriesTheHoveredControlsText) {
  MoveTo(POINT{10, 10});
  const HWND tip = window.manager.GetToolTipWindow();
  ASSERT_NE(tip, nullptr);
  wchar_t className[64] = {};
  ::GetClassNameW(tip, className, 64);
  EXPECT_EQ(std::wstring(className), TOOLTIPS_CLASSW);
  wchar_t text[80] = {};
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window.GetHWND();
  tool.uId = 1;
  tool.lpszText = text;
  ::SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(text), L"第一 first");
}

TEST_F(EventsTest, HandCursorOnlyOverControlsThatAskForIt) {
  RECT frame = {};
  ::GetWindowRect(window.GetHWND(), &frame);
  ASSERT_TRUE(::SetCursorPos(frame.left + 50, frame.top + 50));  // over "one"
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(::SendMessageW(window.GetHWND(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.GetHWND()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));

  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  ASSERT_TRUE(::SetCursorPos(frame.left + 150, frame.top + 50));  // over "two"
  ::SendMessageW(window.GetHWND(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.GetHWND()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(EventsTest, HandlerThatRebuildsTheTreeDuringAClickIsSafe) {
  Lumi::CControlUI* one = window.manager.FindControl(L"one");
  one->Subscribe(Lumi::EventClick, Lumi::CFunctionDelegate([this](Lumi::TEventUI&) {
                   window.manager.AttachDialog(new Lumi::CButtonUI);
                   return true;
                 }));
  Click(POINT{50, 50}, POINT{50, 50});
  EXPECT_EQ(window.manager.FindControl(L"one"), nullptr);
  EXPECT_EQ(window.manager.GetHotControl(), nullptr);
}

}  // namespace
}  // namespace lumitest
