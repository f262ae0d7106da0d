// Reminder pop-up figures: this process's GDI objects and private bytes with the pop-up waiting
// for a reminder, showing one and closed again; a full redraw of the pop-up (the whole window invalidated) and the
// redraws it makes on a hover and on a page turn, each against one UpdateLayeredWindow of a
// plain bitmap of its size (in the same run), at 100 % and 150 %; this process's handles and private bytes across the
// redraws and feed batches with pictures; the time from the program's start to its pop-up on
// the screen with the album's picture (the loopback emulator's feed for the demo machine); and
// how soon the pop-up hides behind a full-screen program and is back once it has closed.
// Prints figures, and the figure lines of this process's handles, GDI objects and private bytes
// after the batches against before; asserts nothing.
//   vx_push_bench.exe [REDRAWS [BATCHES [STARTS [FULL-SCREEN ROUNDS]]]]
#include <algorithm>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "app/ClientLocations.h"
#include "app/Environment.h"
#include "app/resource.h"
#include "bench/Figures.h"
#include "bench/RunningProgram.h"
#include "common/ModulePath.h"
#include "common/Registry.h"
#include "common/ScopedGdi.h"
#include "common/ScopedGdiplus.h"
#include "common/ScopedWin.h"
#include "favorites/ShortcutStore.h"
#include "push/PushWnd.h"
#include "push/ReminderController.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/ProcessHarness.h"

namespace {

using namespace vxbench;

constexpr int kWidth = CPushWnd::kWidth;
constexpr int kHeight = CPushWnd::kHeight;
constexpr UINT kHighDpi = 144;  // 150 %

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

// The floor: a plain layered window handed a ready 32-bit bitmap of the pop-up's size.
double PlainUpdateMedian(int rounds, int width, int height) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VxPlainLayered";
  ::RegisterClassW(&windowClass);
  const ScopedWindow window(::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"VxPlainLayered", L"", WS_POPUP, 0,
                                              0, width, height, nullptr, nullptr, windowClass.hInstance, nullptr));
  void* bits = nullptr;
  const ScreenDc screen;
  ScopedBitmap bitmap = CreateArgbBitmap(screen.Get(), width, height, &bits);
  ScopedMemoryDc canvas(::CreateCompatibleDC(screen.Get()));
  if (!bits || !canvas) return 0;
  std::fill_n(static_cast<uint32_t*>(bits), width * height, 0xFF3A63D8u);
  ScopedSelection selection(canvas.Get(), bitmap.Get());
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  POINT origin = {0, 0};
  SIZE size = {width, height};
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const auto start = Clock::now();
    ::UpdateLayeredWindow(window.Get(), nullptr, &origin, &size, canvas.Get(), &origin, 0, &blend, ULW_ALPHA);
    times.push_back(Milliseconds(Clock::now() - start));
  }
  return Median(times);
}

POINT CentreOf(CPushWnd& popup, const wchar_t* control) {
  const Lumi::CControlUI* found = popup.GetPaintManager().FindControl(control);
  if (!found) return POINT{-1, -1};
  const RECT& at = found->GetPos();
  return POINT{(at.left + at.right) / 2, (at.top + at.bottom) / 2};
}

// A full redraw: the whole window invalidated first, so that all of the skin is painted again
// (lay out, paint every control, UpdateLayeredWindow), whatever the window keeps between redraws.
double FullRedrawMs(CPushWnd& popup) {
  const auto start = Clock::now();
  ::InvalidateRect(popup.GetHWND(), nullptr, FALSE);
  popup.RedrawLayered();
  return Milliseconds(Clock::now() - start);
}

// What the program does when the pointer moves onto "watch now" or off it again (to the empty
// middle of the pop-up): the mouse message turns the button hot (or not), then the redraw that
// the WM_PAINT it asked for runs.
double HoverRedrawMs(CPushWnd& popup, int round) {
  const POINT play = CentreOf(popup, L"Button_Play");
  const Lumi::QRect& mid = popup.GetPaintManager().FindControl(L"mid")->GetPos();
  const POINT off = {(play.x + mid.left) / 2, mid.bottom - 2};
  const POINT to = round % 2 == 0 ? play : off;
  const auto start = Clock::now();
  ::SendMessageW(popup.GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(to.x, to.y));
  popup.RedrawLayered();
  return Milliseconds(Clock::now() - start);
}

// A click on the next (at the last page: the previous) page's arrow, then the redraw: a page
// turn as the viewer makes it, the texts, the counter, the arrows and the album's picture new.
// The pages are turned forwards to the last, then backwards to the first, and so on.
double PageTurnRedrawMs(CPushWnd& popup, bool& backwards) {
  if (popup.CurrentPage() + 1 >= popup.ReminderCount()) backwards = true;
  if (popup.CurrentPage() == 0) backwards = false;
  const POINT arrow = CentreOf(popup, backwards ? L"Button_Left" : L"Button_Right");
  const LPARAM at = MAKELPARAM(arrow.x, arrow.y);
  const auto start = Clock::now();
  ::SendMessageW(popup.GetHWND(), WM_MOUSEMOVE, 0, at);
  ::SendMessageW(popup.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(popup.GetHWND(), WM_LBUTTONUP, 0, at);
  popup.RedrawLayered();
  return Milliseconds(Clock::now() - start);
}

void ClosePopUp(CPushWnd& popup) {
  const POINT close = CentreOf(popup, L"ButtonUI_Close");
  const LPARAM at = MAKELPARAM(close.x, close.y);
  ::SendMessageW(popup.GetHWND(), WM_MOUSEMOVE, 0, at);
  ::SendMessageW(popup.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(popup.GetHWND(), WM_LBUTTONUP, 0, at);
  Pump();
}

template <class Redraw>
double MedianOf(int rounds, Redraw redraw) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) times.push_back(redraw(i));
  return Median(times);
}

// The redraws the program makes on a change of state (a hover, a page turn), against one
// UpdateLayeredWindow of a ready bitmap of the pop-up's size measured alongside.
void PrintStateRedraws(CPushWnd& popup, int rounds, const char* scale, const std::string& keySuffix, int width,
                       int height, double plain) {
  const double hover = MedianOf(rounds, [&](int i) { return HoverRedrawMs(popup, i); });
  bool backwards = false;
  const double turn = MedianOf(rounds, [&](int) { return PageTurnRedrawMs(popup, backwards); });
  std::printf("pop-up redraw after a hover (\"watch now\" hot / not hot: the redraw the program makes on a state "
              "change)%s: median %.3f ms; ratio %.1f to one UpdateLayeredWindow of a ready %dx%d bitmap (%d rounds)\n",
              scale, hover, hover / std::max(plain, 0.001), width, height, rounds);
  std::printf("pop-up redraw after a page turn (click on an arrow: the redraw the program makes)%s: median %.3f ms; "
              "ratio %.1f to one UpdateLayeredWindow of a ready %dx%d bitmap (%d rounds)\n",
              scale, turn, turn / std::max(plain, 0.001), width, height, rounds);
  PrintFigure(("popup_redraw_hover_ms" + keySuffix).c_str(), hover, "plain_layered_update_ms", plain);
  PrintFigure(("popup_redraw_page_turn_ms" + keySuffix).c_str(), turn, "plain_layered_update_ms", plain);
}

// The pop-up told that its monitor is at 150 %, then redrawn there: its skin laid out, its fonts
// and 2x pictures taken at that scale.
void RunHighDpiRedraws(CPushWnd& popup, int redraws) {
  const int width = ::MulDiv(kWidth, kHighDpi, 96), height = ::MulDiv(kHeight, kHighDpi, 96);
  RECT at = {};
  ::GetWindowRect(popup.GetHWND(), &at);
  RECT suggested = {at.right - width, at.bottom - height, at.right, at.bottom};
  ::SendMessageW(popup.GetHWND(), WM_DPICHANGED, MAKEWPARAM(kHighDpi, kHighDpi), reinterpret_cast<LPARAM>(&suggested));
  const double plain = PlainUpdateMedian(redraws, width, height);
  const double full = MedianOf(redraws, [&](int) { return FullRedrawMs(popup); });
  std::printf("pop-up full redraw at 144 dpi (%dx%d, the whole window invalidated: lay out, paint all of the skin, "
              "UpdateLayeredWindow): median %.3f ms; one UpdateLayeredWindow of a ready %dx%d bitmap: %.3f ms; "
              "ratio %.1f (%d rounds)\n",
              width, height, full, width, height, plain, full / std::max(plain, 0.001), redraws);
  PrintStateRedraws(popup, redraws, " at 144 dpi", "_144dpi", width, height, plain);
}

std::unique_ptr<ReminderList> Batch(int round) {
  auto list = std::make_unique<ReminderList>();
  for (int i = 0; i < 4; ++i) {
    ReminderItem item;
    item.albumId = 900 + i;
    item.channelId = 2 + 2 * i;
    item.albumName = L"追剧提醒 " + std::to_wstring(round) + L"-" + std::to_wstring(i);
    item.videoOrder = i;
    item.mpdNumber = 20131205;
    list->push_back(std::move(item));
  }
  return list;
}

void RunPopUp(int redraws, int batches) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  // Two pictures, page after page: a page turn brings another album's picture.
  const std::wstring pictures[2] = {ModuleFolderWithSeparator() + L"tcskin\\PersonalCenter\\picture_frame.png",
                                    ModuleFolderWithSeparator() + L"tcskin\\PersonalCenter\\picture_tips.png"};
  Lumi::CUISystem::GetInstance().SetResourcePath((ModuleFolderWithSeparator() + L"tcskin").c_str());
  const ReminderContextSource context = [folder = std::wstring(temp)] {
    ReminderContext bench;
    bench.clientFolder = folder;
    bench.machineId = "bench";
    return bench;
  };
  CPushWnd popup(context);
  CReminderController reminders(context, popup);
  if (!popup.CreatePopup() || !reminders.Start()) {
    std::printf("pop-up: could not be made\n");
    return;
  }
  Pump();
  const Usage waiting = ReadProcessUsage(::GetCurrentProcess());
  const auto sendBatch = [&](int round) {
    auto feed = std::make_unique<CFeedAnswer>();
    feed->reminders = Batch(round);
    reminders.PostResource(CFeedAnswer::kRequestId, std::move(feed));
    for (int i = 0; i < 4; ++i) {
      auto arrived = std::make_unique<CPictureAnswer>(900 + i);
      arrived->storedPath = pictures[i % 2];
      reminders.PostResource(CPictureAnswer::kRequestId, std::move(arrived));
    }
    Pump();
  };
  sendBatch(0);
  Pump();
  const Usage showing = ReadProcessUsage(::GetCurrentProcess());

  const double plain = PlainUpdateMedian(redraws, kWidth, kHeight);
  const Usage before = ReadProcessUsage(::GetCurrentProcess());
  std::vector<double> times;
  Usage halfway;
  for (int i = 0; i < redraws; ++i) {
    times.push_back(FullRedrawMs(popup));
    if (i % std::max(1, redraws / std::max(1, batches)) == 0) sendBatch(i + 1);
    if (i == redraws / 2) halfway = ReadProcessUsage(::GetCurrentProcess());
  }
  const Usage after = ReadProcessUsage(::GetCurrentProcess());
  std::printf("pop-up full redraw (the whole window invalidated: lay out, paint all of the skin, UpdateLayeredWindow): "
              "median %.3f ms; one UpdateLayeredWindow of a ready %dx%d bitmap: %.3f ms; ratio %.1f (%d rounds)\n",
              Median(times), kWidth, kHeight, plain, Median(times) / std::max(plain, 0.001), redraws);
  std::printf("this process across %d redraws and %d feed batches of 4 reminders with pictures:\n", redraws, batches);
  std::printf("  handles %lu before, %lu halfway, %lu after; GDI objects %lu, %lu, %lu; private bytes %.0f KiB, %.0f KiB, "
              "%.0f KiB\n",
              static_cast<unsigned long>(before.handles), static_cast<unsigned long>(halfway.handles),
              static_cast<unsigned long>(after.handles), static_cast<unsigned long>(before.gdiObjects),
              static_cast<unsigned long>(halfway.gdiObjects), static_cast<unsigned long>(after.gdiObjects),
              before.privateKiB, halfway.privateKiB, after.privateKiB);
  PrintUsageFigures("popup_process", before, after);
  PrintStateRedraws(popup, redraws, "", "", kWidth, kHeight, plain);
  RunHighDpiRedraws(popup, redraws);
  ClosePopUp(popup);
  const Usage closed = ReadProcessUsage(::GetCurrentProcess());
  std::printf("this process with the pop-up made and hidden, no reminder yet: GDI objects %lu, private bytes %.0f KiB; "
              "its first batch on the screen: %lu, %.0f KiB; after all the redraws, closed by the viewer: %lu, %.0f KiB\n",
              static_cast<unsigned long>(waiting.gdiObjects), waiting.privateKiB,
              static_cast<unsigned long>(showing.gdiObjects), showing.privateKiB,
              static_cast<unsigned long>(closed.gdiObjects), closed.privateKiB);
}

bool PopUpShowsAlbum123(HWND popup) {
  if (!popup || !::IsWindowVisible(popup)) return false;
  POINT point = {80, 80};  // on the album picture
  ::ClientToScreen(popup, &point);
  const COLORREF colour = ::GetPixel(ScreenDc().Get(), point.x, point.y);
  return GetRValue(colour) > 170 && GetGValue(colour) < 80 && GetBValue(colour) < 80;  // the red of album 123
}

// The demo machine's feed names album 123: a favourite of it makes the pop-up show at start.
bool MakeDemoFavorite() {
  WriteRegistryText(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue, L"vx-demo-machine");
  RunningProgram program;
  const std::wstring favorite = L"{\"AlbumID\":123,\"AlbumName\":\"ABC\",\"ChannelID\":2,\"VideoUrl\":"
                                L"\"http://www.vexo.com/v_123.html\",\"PicUrl\":\"\"}";
  return program.IsReady() && program.HandOver(favorite);
}

void ForgetDemoFavorite() {
  RemoveStoredShortcuts();
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue);
}

HWND WaitForPopUpWithAlbum123(Clock::time_point since) {
  HWND popup = nullptr;
  while (Milliseconds(Clock::now() - since) < 30000 && !PopUpShowsAlbum123(popup)) {
    popup = ::FindWindowW(L"CPushWnd", nullptr);
    ::Sleep(5);
  }
  return PopUpShowsAlbum123(popup) ? popup : nullptr;
}

void RunStartToPopUp(int starts) {
  std::vector<double> times;
  for (int i = 0; i < starts; ++i) {
    const auto start = Clock::now();
    RunningProgram program;
    if (WaitForPopUpWithAlbum123(start)) times.push_back(Milliseconds(Clock::now() - start));
  }
  if (times.empty()) {
    std::printf("start to pop-up: the pop-up never showed the album's picture\n");
    return;
  }
  std::printf("program start to the pop-up on the screen with its picture (loopback): median %.0f ms of %zu starts\n",
              Median(times), times.size());
}

// A full-screen program (the tests' FullScreenWindow.exe) comes in front of the pop-up and goes
// again, round after round: how soon the pop-up hides, and how soon it is back on the screen
// once the full-screen window has closed.
void RunFullScreenRounds(int rounds) {
  RunningProgram program;
  const HWND popup = WaitForPopUpWithAlbum123(Clock::now());
  if (!popup) {
    std::printf("full-screen rounds: the pop-up never showed\n");
    return;
  }
  std::vector<double> hidden, back;
  for (int i = 0; i < rounds; ++i) {
    const auto start = Clock::now();
    vxtest::ChildProcess fullScreen =
        vxtest::ChildProcess::Start(vxtest::BinaryFolder() + L"FullScreenWindow.exe", L"");
    const HWND window = vxtest::WaitForWindow(L"VX full screen", 20000);
    if (!window || !vxtest::WaitUntil([&] { return !::IsWindowVisible(popup); }, 30000)) break;
    hidden.push_back(Milliseconds(Clock::now() - start));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    fullScreen.WaitForExit(20000);
    const auto closed = Clock::now();
    if (!vxtest::WaitUntil([&] { return PopUpShowsAlbum123(popup); }, 30000)) break;
    back.push_back(Milliseconds(Clock::now() - closed));
  }
  if (back.empty()) {
    std::printf("full-screen rounds: the pop-up did not hide and come back\n");
    return;
  }
  std::printf("full-screen window closed to the pop-up back on the screen: median %.0f ms of %zu rounds; "
              "a full-screen window started to the pop-up hidden: median %.0f ms\n",
              Median(back), back.size(), Median(hidden));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int redraws = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 1000;
  const int batches = argc > 2 ? std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10))) : 100;
  const int starts = argc > 3 ? std::max(1, static_cast<int>(std::wcstol(argv[3], nullptr, 10))) : 5;
  const int rounds = argc > 4 ? std::max(1, static_cast<int>(std::wcstol(argv[4], nullptr, 10))) : 10;
  const ScopedGdiplus gdiplus;
  RunPopUp(redraws, batches);
  if (vxtest::EmulatorOrigin().empty()) {
    std::printf("start to pop-up, full-screen rounds: no emulator (VXTAILCAST_SERVICE_URL)\n");
  } else if (!MakeDemoFavorite()) {
    std::printf("start to pop-up, full-screen rounds: the favourite could not be made\n");
  } else {
    RunStartToPopUp(starts);
    RunFullScreenRounds(rounds);
    ForgetDemoFavorite();
  }
  return 0;
}
