// The pop-up inside the test process with the shipped skin: lists and pictures arrive as the
// network thread posts its answers on; what the window then shows, and when it shows itself.
#include "push/PushWnd.h"
#include "push/PushManager.h"
#include "push/ReminderController.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/ModulePath.h"
#include "common/ScopedGdiplus.h"
#include "push/ReminderFeed.h"
#include "tests/support/ProcessHarness.h"

namespace {

constexpr POINT kNextArrow = {219, 114};

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

ReminderItem Reminder(int albumId, int channelId, const std::wstring& name) {
  ReminderItem item;
  item.albumId = albumId;
  item.channelId = channelId;
  item.albumName = name;
  item.videoOrder = 3;
  item.mpdNumber = 12;
  return item;
}

class PushWindowTest : public ::testing::Test {
protected:
  PushWindowTest() {
    Lumi::CUISystem::GetInstance().SetResourcePath((ModuleFolderWithSeparator() + L"tcskin").c_str());
    const ReminderContextSource context = [this] {
      ReminderContext test;
      test.clientFolder = data.Path() + L"VexoClient";
      test.clientDataFolder = data.Path();
      test.machineId = "pushtest";
      return test;
    };
    window = std::make_unique<CPushWnd>(context);
    controller = std::make_unique<CReminderController>(context, *window);
    ::CreateDirectoryW((data.Path() + L"VexoClient").c_str(), nullptr);
    EXPECT_TRUE(window->CreatePopup());
    EXPECT_TRUE(controller->Start());
  }
  ~PushWindowTest() override {
    controller.reset();
    window.reset();
  }

  void SendList(std::vector<ReminderItem> items) {
    auto answer = std::make_unique<CFeedAnswer>();
    answer->reminders = std::make_unique<ReminderList>(std::move(items));
    controller->PostResource(CFeedAnswer::kRequestId, std::move(answer));
    Pump();
  }
  void SendPicture(int albumId) {
    auto answer = std::make_unique<CPictureAnswer>(albumId);
    answer->storedPath = ModuleFolderWithSeparator() + L"tcskin\\PersonalCenter\\picture_tips.png";
    controller->PostResource(CPictureAnswer::kRequestId, std::move(answer));
    Pump();
  }
  std::wstring Text(const wchar_t* control) {
    Lumi::CControlUI* found = window->GetPaintManager().FindControl(control);
    return found ? std::wstring(found->GetText().GetData()) : L"<none>";
  }
  bool Visible(const wchar_t* control) {
    Lumi::CControlUI* found = window->GetPaintManager().FindControl(control);
    return found && found->IsVisible();
  }
  void ClickNext(POINT arrow = kNextArrow) {
    const LPARAM at = MAKELPARAM(arrow.x, arrow.y);
    ::SendMessageW(window->GetHWND(), WM_MOUSEMOVE, 0, at);
    ::SendMessageW(window->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(window->GetHWND(), WM_LBUTTONUP, 0, at);
    Pump();
  }
  std::wstring ShownToday() const {
    wchar_t value[32] = {};
    ::GetPrivateProfileStringW(L"UpdateReminder", L"pushtest", L"", value, 32,
                               (data.Path() + L"VexoClient\\vexo_remind.ini").c_str());
    return value;
  }

  const ScopedGdiplus gdiplus;  // first made, last gone
  vxtest::ScratchFolder data{L"push-window"};
  std::unique_ptr<CPushWnd> window;
  std::unique_ptr<CReminderController> controller;
};

TEST_F(PushWindowTest, ABatchShowsOnceAndTheFirstPictureShowsItAgainThenLaterBatchesStayHidden) {
  SendPicture(99);  // a picture before any list: nothing to show yet
  EXPECT_FALSE(::IsWindowVisible(window->GetHWND()));

  SendList({Reminder(1, 1, L"Film"), Reminder(7, 2, L"Series"), Reminder(3, 6, L"Show")});
  EXPECT_TRUE(::IsWindowVisible(window->GetHWND()));
  EXPECT_EQ(Text(L"Button_Text"), L"Series");  // channel 2 comes first
  EXPECT_EQ(Text(L"Button_TextSets"), L"看到3集/更新至12集");
  EXPECT_EQ(Text(L"Lable_Page"), L"1/3");
  EXPECT_FALSE(Visible(L"Button_TextSec"));
  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  EXPECT_EQ(ShownToday(), std::to_wstring(now.wYear) + std::to_wstring(now.wMonth) + std::to_wstring(now.wDay));

  // Paging on, then the first album's picture: page 1's texts again, the page stays.
  ClickNext();
  ClickNext();
  EXPECT_EQ(window->CurrentPage(), 2);
  EXPECT_EQ(Text(L"Button_Text"), L"Film");
  EXPECT_EQ(Text(L"Lable_Page"), L"3/3");
  ::ShowWindow(window->GetHWND(), SW_HIDE);
  SendPicture(7);
  EXPECT_TRUE(::IsWindowVisible(window->GetHWND()));
  EXPECT_EQ(Text(L"Button_Text"), L"Series");
  EXPECT_EQ(Text(L"Lable_Page"), L"1/3");
  EXPECT_EQ(window->CurrentPage(), 2);

  // The first picture has been shown: a new batch replaces the list but stays hidden.
  ::ShowWindow(window->GetHWND(), SW_HIDE);
  SendList({Reminder(9, 4, L"Cartoon")});
  EXPECT_FALSE(::IsWindowVisible(window->GetHWND()));
  EXPECT_EQ(window->Reminders().size(), 1u);
  EXPECT_EQ(window->CurrentPage(), 0);
}

Lumi::QRect PosOf(CPushWnd& window, const wchar_t* control) {
  Lumi::CControlUI* found = window.GetPaintManager().FindControl(control);
  return found ? found->GetPos() : Lumi::QRect(-1, -1, -1, -1);
}

// The pop-up dragged to a monitor at 150 % (or that monitor's scale changed): it takes the
// rectangle the system suggests and lays its skin out at that scale, where clicks then land.
TEST_F(PushWindowTest, AChangeOfScaleLaysThePopUpOutAgainWhereTheSystemSuggests) {
  SendList({Reminder(7, 2, L"Series"), Reminder(3, 6, L"Show")});
  const HWND popup = window->GetHWND();
  RECT at100 = {};
  ::GetWindowRect(popup, &at100);
  const Lumi::QRect picture = PosOf(*window, L"Button_BkImg");
  EXPECT_EQ(picture, Lumi::QRect(10, 36, 155, 126));

  RECT suggested = {300, 200, 746, 421};
  ::SendMessageW(popup, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT at150 = {};
  ::GetWindowRect(popup, &at150);
  EXPECT_TRUE(::EqualRect(&at150, &suggested));
  EXPECT_EQ(PosOf(*window, L"Button_BkImg"), Lumi::QRect(15, 54, 233, 189));
  ClickNext(POINT{kNextArrow.x * 3 / 2, kNextArrow.y * 3 / 2});
  EXPECT_EQ(window->CurrentPage(), 1);
  EXPECT_EQ(Text(L"Button_Text"), L"Show");

  ::SendMessageW(popup, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&at100));
  EXPECT_EQ(PosOf(*window, L"Button_BkImg"), picture);
}

// The skin (its controls, fonts and pictures) is there only from the first page to be shown
// until the viewer closes the pop-up; a page shown again after that has it again.
TEST_F(PushWindowTest, TheSkinIsLoadedForAReminderAndLetGoWhenTheViewerClosesThePopUp) {
  EXPECT_FALSE(window->HasSkin());
  SendPicture(99);
  EXPECT_FALSE(window->HasSkin());

  SendList({Reminder(7, 2, L"Series"), Reminder(3, 6, L"Show")});
  ASSERT_TRUE(window->HasSkin());
  EXPECT_TRUE(::IsWindowVisible(window->GetHWND()));
  ClickNext();
  EXPECT_EQ(Text(L"Button_Text"), L"Show");
  ASSERT_NE(window->GetPaintManager().GetToolTipWindow(), nullptr);
  const Lumi::QRect close = window->GetPaintManager().FindControl(L"ButtonUI_Close")->GetPos();
  ClickNext(POINT{(close.left + close.right) / 2, (close.top + close.bottom) / 2});
  EXPECT_FALSE(::IsWindowVisible(window->GetHWND()));
  EXPECT_FALSE(window->HasSkin());
  EXPECT_EQ(window->GetPaintManager().FindControl(L"Button_Text"), nullptr);
  EXPECT_EQ(window->GetPaintManager().GetRoot(), nullptr);
  EXPECT_EQ(window->GetPaintManager().GetToolTipWindow(), nullptr);  // the arrows' tip went with it

  // The first album's picture still shows the first page, skin and all, the page kept.
  SendPicture(7);
  ASSERT_TRUE(window->HasSkin());
  EXPECT_TRUE(::IsWindowVisible(window->GetHWND()));
  EXPECT_EQ(Text(L"Button_Text"), L"Series");
  EXPECT_EQ(Text(L"Lable_Page"), L"1/2");
  EXPECT_EQ(window->CurrentPage(), 1);
  EXPECT_TRUE(window->GetPaintManager().FindControl(L"Button_Left")->IsEnabled());
  EXPECT_FALSE(window->GetPaintManager().FindControl(L"Button_Right")->IsEnabled());
}

TEST_F(PushWindowTest, ALongTitleGoesOnToTheSecondLine) {
  const std::wstring title = L"An album title far too long to fit on the first line of the pop-up";
  SendList({Reminder(5, 7, title)});
  EXPECT_EQ(Text(L"Button_Text"), title);
  ASSERT_TRUE(Visible(L"Button_TextSec"));
  const std::wstring rest = Text(L"Button_TextSec");
  EXPECT_FALSE(rest.empty());
  EXPECT_LT(rest.size(), title.size());
  EXPECT_EQ(title.substr(title.size() - rest.size()), rest);
  EXPECT_EQ(Text(L"Button_TextSets"), L"娱乐事件新进展");
}

TEST_F(PushWindowTest, ARefusedFeedEmptiesThePopUp) {
  SendList({Reminder(5, 2, L"Series")});
  controller->PostResource(CFeedAnswer::kRequestId, std::make_unique<CFeedAnswer>());  // no reminders
  Pump();
  EXPECT_TRUE(window->Reminders().empty());
  ClickNext();  // nothing to page through, nothing to open
  EXPECT_EQ(window->CurrentPage(), 0);
}

// An answer the controller's window never took is freed with the controller, not shown.
TEST_F(PushWindowTest, AnAnswerStillQueuedWhenTheControllerGoesIsFreed) {
  class WatchedPicture : public CPictureAnswer {
  public:
    explicit WatchedPicture(bool& freed) : CPictureAnswer(7), m_freed(freed) {}
    ~WatchedPicture() override { m_freed = true; }

  private:
    bool& m_freed;
  };
  bool freed = false;
  ASSERT_TRUE(controller->PostResource(CPictureAnswer::kRequestId, std::make_unique<WatchedPicture>(freed)));
  controller.reset();
  EXPECT_TRUE(freed);
  Pump();
  EXPECT_FALSE(::IsWindowVisible(window->GetHWND()));
}

struct WindowSearch {
  const wchar_t* className;
  int found = 0;
};

BOOL CALLBACK CountIfOfClass(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (std::wstring(name) == search->className) ++search->found;
  return TRUE;
}

int CountThreadWindows(const wchar_t* className) {
  WindowSearch search{className};
  ::EnumThreadWindows(::GetCurrentThreadId(), &CountIfOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST(PushManager, MadeOnceWithItsHiddenPopUpAndMessageWindow) {
  CPushManager& first = CPushManager::GetInstance();
  CPushManager& second = CPushManager::GetInstance();
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(CountThreadWindows(L"MSG_LOOP_WND"), 1);
  EXPECT_EQ(CountThreadWindows(L"CPushWnd"), 1);
  const HWND messages = ::FindWindowW(L"MSG_LOOP_WND", L"消息循环窗口");
  ASSERT_NE(messages, nullptr);
  EXPECT_FALSE(::IsWindowVisible(messages));
  ASSERT_NE(first.PushWindow(), nullptr);
  EXPECT_FALSE(::IsWindowVisible(first.PushWindow()->GetHWND()));
  EXPECT_TRUE(first.PostToMessageWindow(WM_NULL, 0, 0));
  EXPECT_FALSE(first.IsCursorInside());
}

}  // namespace
