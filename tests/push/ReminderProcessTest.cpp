// The reminder pop-up in the real program: the feed asked for at start, the badges on the
// followed albums' shortcuts, the pop-up in the corner with the first album's picture, its
// paging and "watch now". Favourites are stored by the test beforehand; the screen is read
// back where the pop-up draws. Runs under the Chinese code page of the store's texts.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/ClientLocations.h"
#include "common/Registry.h"
#include "common/ScopedGdi.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"
#include "tests/app/ProgramUnderTest.h"
#include "tests/push/FollowedAlbums.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/HostPathsForTests.h"
#include "tests/support/LinkReader.h"

namespace {

using namespace vxtest;

using ReminderProcessTest = FollowedAlbumsTest;

TEST_F(ReminderProcessTest, StartShowsTheFirstSeriesWithItsPictureAndBadgesTheFollowedAlbums) {
  const std::wstring film = Follow(125, L"电影正片");
  const std::wstring series = Follow(123, L"ABC 都市情缘");
  const std::wstring cartoon = Follow(124, L"自然的力量");
  const std::wstring show = Follow(126, L"快乐大本营");
  const std::wstring quiet = Follow(127, L"没有新集", true);  // badged before, no news now
  const HWND foreground = ::GetForegroundWindow();
  StartAtLogOn();

  const HWND popup = WaitForPopupShowing(123);
  ASSERT_NE(popup, nullptr) << "the pop-up did not show album 123's picture";
  RECT area = {}, work = {};
  ::GetWindowRect(popup, &area);
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(area.right, work.right);
  EXPECT_EQ(area.bottom, work.bottom);
  EXPECT_EQ(area.right - area.left, 297);
  EXPECT_EQ(area.bottom - area.top, 147);
  const LONG_PTR extended = ::GetWindowLongPtrW(popup, GWL_EXSTYLE);
  EXPECT_TRUE((extended & WS_EX_LAYERED) && (extended & WS_EX_TOOLWINDOW));
  EXPECT_EQ(::GetWindowLongPtrW(popup, GWL_STYLE) & WS_POPUP, WS_POPUP);
  EXPECT_NE(::GetForegroundWindow(), popup);
  EXPECT_EQ(::GetForegroundWindow(), foreground);

  const Json::Value feeds = EmulatorJson("GET", "/__emu/requests?prefix=/apis/urc/getUpdateReminder");
  ASSERT_EQ(feeds.size(), 1u);
  EXPECT_EQ(feeds[0]["query"]["ckuid"].asString(), WideToUtf8(kMachineId));
  EXPECT_EQ(EmulatorJson("GET", "/__emu/requests?prefix=/pictures/album_123_145_90.jpg").size(), 1u);
  EXPECT_EQ(EmulatorJson("GET", "/__emu/requests?prefix=/pictures/album_999").size(), 0u);  // not followed

  for (const auto& [lnk, id] : {std::pair{film, 125}, {series, 123}, {cartoon, 124}, {show, 126}}) {
    EXPECT_TRUE(WaitUntil([&] { return IconOf(lnk) == IconFolder() + L"updatealbum_" + std::to_wstring(id) + L".ico"; },
                          kProcessTimeoutMs)) << "album " << id << ": " << WideToUtf8(IconOf(lnk));
  }
  EXPECT_EQ(IconOf(quiet), IconFolder() + L"album_127.ico");
  EXPECT_EQ(RemindIni(L"HasIKnow"), L"1");
  EXPECT_EQ(RemindIni(L"UpdateReminder"), L"");  // the start's request is a forced one

  // Pages in channel order: series 123, show 126, cartoon 124, then the film 125.
  for (int album : {126, 124, 125}) {
    Click(popup, kNextArrow);
    EXPECT_TRUE(WaitUntil([&] { return Near(PopupPixel(popup, kPicture), AlbumColour(album)); }, kProcessTimeoutMs))
        << "page of album " << album;
  }
  Click(popup, kClose);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(popup); }, kProcessTimeoutMs));
}

TEST_F(ReminderProcessTest, ThePictureStartsTheClientWithTheAlbum) {
  client.CopyFromBinaries(kClientExecutable);
  ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kInstallFolderValue, client.Path()));
  Follow(123, L"ABC 都市情缘");
  StartAtLogOn();
  const HWND popup = WaitForPopupShowing(123);
  ASSERT_NE(popup, nullptr);
  const size_t startsBefore = ReadUtf8Lines(client.File(L"VexoClient.calls.txt")).size();  // "InstStart" at start-up
  Click(popup, kPicture);
  std::vector<std::wstring> calls;
  ASSERT_TRUE(WaitUntil([&] { calls = ReadUtf8Lines(client.File(L"VexoClient.calls.txt")); return calls.size() > startsBefore; },
                        kProcessTimeoutMs));
  // The command text starts with a blank, which the client sees as the end of its own name.
  EXPECT_EQ(calls.back(), L"DeskFavor;id=123:type=1:change=0:name=第12集");
}

TEST_F(ReminderProcessTest, LoggedInUserGetsTheSignedInFeed) {
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"1"));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Cookie", L"cookie-123"));
  Follow(126, L"快乐大本营");
  StartAtLogOn();
  ASSERT_NE(WaitForPopupShowing(126), nullptr);
  const Json::Value feeds = EmulatorJson("GET", "/__emu/requests?prefix=/apis/vexorc/getUpdateReminder");
  ASSERT_EQ(feeds.size(), 1u);
  EXPECT_EQ(feeds[0]["query"]["auth"].asString(), "cookie-123");
  EXPECT_EQ(EmulatorJson("GET", "/__emu/requests?prefix=/apis/urc/").size(), 0u);
}

// The shell's handler of http addresses, replaced by the stand-in client for one test.
class HttpHandlerStandIn {
public:
  explicit HttpHandlerStandIn(const std::wstring& program) {
    m_previous = ReadRegistryText(HKEY_LOCAL_MACHINE, kCommandKey, nullptr);
    WriteRegistryText(HKEY_LOCAL_MACHINE, kCommandKey, nullptr, L"\"" + program + L"\" \"%1\"");
  }
  ~HttpHandlerStandIn() {
    if (m_previous) WriteRegistryText(HKEY_LOCAL_MACHINE, kCommandKey, nullptr, *m_previous);
  }

private:
  static constexpr wchar_t kCommandKey[] = L"Software\\Classes\\http\\shell\\open\\command";
  std::optional<std::wstring> m_previous;
};

TEST_F(ReminderProcessTest, WithoutTheClientOnlyWebAddressesOpen) {
  client.CopyFromBinaries(kClientExecutable);
  const std::wstring standIn = client.File(kClientExecutable);
  const HttpHandlerStandIn browser(standIn);
  Follow(123, L"ABC 都市情缘");

  AnswerMachine(OneReminder(WideToUtf8(standIn)));  // a program, not a web page: never started
  StartAtLogOn();
  HWND popup = WaitForPopupShowing(123);
  ASSERT_NE(popup, nullptr);
  Click(popup, kPicture);
  ::Sleep(1500);
  EXPECT_TRUE(ReadUtf8Lines(client.File(L"VexoClient.calls.txt")).empty());
  EndAllInstances();

  AnswerMachine(OneReminder("http://www.vexo.com/v_4567.html"));
  StartAtLogOn();
  popup = WaitForPopupShowing(123);
  ASSERT_NE(popup, nullptr);
  Click(popup, kPicture);
  std::vector<std::wstring> calls;
  ASSERT_TRUE(WaitUntil([&] { calls = ReadUtf8Lines(client.File(L"VexoClient.calls.txt")); return !calls.empty(); },
                        kProcessTimeoutMs));
  EXPECT_NE(calls.back().find(L"http://www.vexo.com/v_4567.html"), std::wstring::npos) << WideToUtf8(calls.back());
}

// Spoiled answers, a picture that is not there and a missing skin leave the program running
// and the shortcut where it was.
class SpoiledReminderTest : public ReminderProcessTest {
protected:
  void SetUp() override {
    ReminderProcessTest::SetUp();
    series = Follow(123, L"ABC 都市情缘");
    iconBefore = IconOf(series);
  }
  void StartAndWaitForFeed() {
    EmulatorRequest("DELETE", "/__emu/requests");
    StartAtLogOn();
    ASSERT_TRUE(WaitUntil([] { return EmulatorJson("GET", "/__emu/requests?prefix=/apis/urc/").size() == 1; },
                          kProcessTimeoutMs));
    ::Sleep(1500);
    EXPECT_NE(program.WaitForControlWindow(running.Id(), 2000), nullptr);
    EXPECT_TRUE(FileExists(series));
  }
  std::wstring series;
  std::wstring iconBefore;
};

TEST_F(SpoiledReminderTest, SpoiledAnswersChangeNothing) {
  for (const char* answer : {"malformed", "truncated", "wrong_code", "data_not_array", "server_error"}) {
    SCOPED_TRACE(answer);
    AnswerMachine(OneReminder("http://www.vexo.com/v_4567.html"), answer);
    StartAndWaitForFeed();
    EXPECT_EQ(VisiblePopup(), nullptr);
    EXPECT_EQ(IconOf(series), iconBefore);
    EndAllInstances();
  }
}

TEST_F(SpoiledReminderTest, MissingPictureShowsTheStandIn) {
  Follow(999, L"未收藏的剧");
  AnswerMachine(OneReminder("http://www.vexo.com/v_1.html", 999));
  StartAndWaitForFeed();
  EXPECT_NE(VisiblePopup(), nullptr);  // shown all the same, with the skin's stand-in picture
}

TEST_F(SpoiledReminderTest, MissingSkinStillBadges) {
  ASSERT_TRUE(::DeleteFileW((program.Folder() + L"tcskin\\PersonalCenter\\Push.xml").c_str()));
  AnswerMachine(OneReminder("http://www.vexo.com/v_1.html"));
  StartAndWaitForFeed();
  EXPECT_TRUE(WaitUntil([&] { return IconOf(series) == IconFolder() + L"updatealbum_123.ico"; }, kProcessTimeoutMs));
}

// The scheduled checks in the real program: one minute after start the play history is asked
// and the followed album's shortcut moves to the episode last played; the reminder feed is
// asked again only when the program's local hour is the evening. Waits the real first minute.
class ScheduleProcessTest : public EveningProcessTest, public ::testing::WithParamInterface<int> {};

TEST_P(ScheduleProcessTest, FirstChecksComeAMinuteAfterStart) {
  const int localHour = GetParam();
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"1"));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Cookie", L"cookie-123"));
  const std::wstring series = Follow(123, L"ABC 都市情缘");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"TZ", ZoneWhereItIs(localHour).c_str()));
  const auto history = [] { return EmulatorJson("GET", "/__emu/requests?prefix=/apis/playrecord/list").size(); };
  const auto feeds = [] { return EmulatorJson("GET", "/__emu/requests?prefix=/apis/vexorc/getUpdateReminder").size(); };
  StartAtLogOn();
  ASSERT_TRUE(WaitUntil([&] { return feeds() == 1; }, kProcessTimeoutMs));  // the start's own, forced
  EXPECT_EQ(history(), 0u);

  ASSERT_TRUE(WaitUntil([&] { return history() == 1; }, 60000 + kProcessTimeoutMs)) << "no play-history check";
  EXPECT_TRUE(WaitUntil([&] { return TargetOf(series) == "http://www.vexo.com/v_played123.html?src=fromtailcast"; },
                        kProcessTimeoutMs));
  const size_t expectedFeeds = localHour >= 18 && localHour <= 22 ? 2 : 1;
  WaitUntil([&] { return feeds() > 1; }, 5000);
  EXPECT_EQ(feeds(), expectedFeeds) << "local hour " << localHour;
  EXPECT_NE(program.WaitForControlWindow(running.Id(), 2000), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Evening, ScheduleProcessTest, ::testing::Values(20));
INSTANTIATE_TEST_SUITE_P(Morning, ScheduleProcessTest, ::testing::Values(9));

// What a full-screen video player or a borderless game looks like to the program: the stand-in
// FullScreenWindow.exe, another process's top-most borderless window over the whole screen.
class FullScreenProgram {
public:
  FullScreenProgram() : m_process(ChildProcess::Start(BinaryFolder() + L"FullScreenWindow.exe", L"")) {
    m_window = WaitForWindow(L"VX full screen", kProcessTimeoutMs);
    WaitUntil([this] { return IsInFront(); }, kProcessTimeoutMs);  // it takes the foreground once made
  }
  ~FullScreenProgram() {
    if (m_window) ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    m_process.WaitForExit(kProcessTimeoutMs);
  }
  FullScreenProgram(const FullScreenProgram&) = delete;
  FullScreenProgram& operator=(const FullScreenProgram&) = delete;

  bool IsInFront() const { return m_window && ::GetForegroundWindow() == m_window; }

private:
  ChildProcess m_process;
  HWND m_window = nullptr;
};

// The evening check of a viewer who watches in full screen: nothing shows and nothing counts
// as shown while the full-screen program is in front; the pop-up comes once it is gone, hides
// when it comes back, and a locked session hides it until the unlock. Waits the real first
// minute for the evening check, whose showing counts for the day (the start's is forced).
class FullScreenScheduleProcessTest : public EveningProcessTest {
protected:
  static std::wstring Today() {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return std::to_wstring(now.wYear) + std::to_wstring(now.wMonth) + std::to_wstring(now.wDay);
  }
  std::wstring ReminderTrace(const wchar_t* key) const { return program.Trace(L"Reminder", key).value_or(L""); }
  static bool ShowsAlbum(HWND popup, int albumId) {
    return ::IsWindowVisible(popup) && Near(PopupPixel(popup, kPicture), AlbumColour(albumId));
  }
};

TEST_F(FullScreenScheduleProcessTest, TheReminderWaitsForTheViewer) {
  Follow(123, L"ABC 都市情缘");
  Follow(126, L"快乐大本营");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"TZ", ZoneWhereItIs(20).c_str()));
  auto fullScreen = std::make_unique<FullScreenProgram>();
  ASSERT_TRUE(fullScreen->IsInFront());
  StartAtLogOn();
  bool popupSeen = false;
  const auto feedsReach = [&](size_t count) {
    popupSeen = popupSeen || VisiblePopup() != nullptr;
    return AnonymousFeeds() >= count;
  };
  ASSERT_TRUE(WaitUntil([&] { return feedsReach(1); }, kProcessTimeoutMs));
  ASSERT_TRUE(WaitUntil([&] { return feedsReach(2); }, 60000 + kProcessTimeoutMs)) << "no evening check";
  WaitUntil([&] { return feedsReach(3); }, 2000);  // its answer and the pictures arrive meanwhile
  EXPECT_FALSE(popupSeen);
  EXPECT_EQ(VisiblePopup(), nullptr);
  EXPECT_EQ(RemindIni(L"UpdateReminder"), L"");
  EXPECT_EQ(ReminderTrace(L"Held"), L"full-screen window");

  fullScreen.reset();
  HWND popup = nullptr;
  ASSERT_TRUE(WaitUntil([&] { popup = VisiblePopup(); return popup && ShowsAlbum(popup, 123); }, 20000))
      << "the pop-up did not come within 20 s of the full-screen program's end";
  EXPECT_EQ(RemindIni(L"UpdateReminder"), Today());
  const std::wstring shownAfterWait = ReminderTrace(L"ShownAfterWait");
  EXPECT_EQ(shownAfterWait.rfind(L"full-screen window, ", 0), 0u) << WideToUtf8(shownAfterWait);

  // On screen, at the second page: a full-screen program hides it, and it comes back on that page.
  Click(popup, kNextArrow);
  ASSERT_TRUE(WaitUntil([&] { return ShowsAlbum(popup, 126); }, kProcessTimeoutMs));
  fullScreen = std::make_unique<FullScreenProgram>();
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(popup); }, kProcessTimeoutMs)) << "not hidden";
  fullScreen.reset();
  EXPECT_TRUE(WaitUntil([&] { return ShowsAlbum(popup, 126); }, 20000)) << "not back on its page";

  // A locked session hides it as well; the unlock brings it back at once.
  const HWND controller = ::FindWindowExW(HWND_MESSAGE, nullptr, L"VXReminderController", nullptr);
  ASSERT_NE(controller, nullptr);
  ::PostMessageW(controller, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(popup); }, kProcessTimeoutMs));
  EXPECT_EQ(ReminderTrace(L"Held"), L"locked");
  ::PostMessageW(controller, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  EXPECT_TRUE(WaitUntil([&] { return ShowsAlbum(popup, 126); }, 3000)) << "not back at the unlock";
}

// The pop-up on a display at 150 % (a session whose "LogPixels" is 144): drawn at that scale,
// not stretched; its size, its picture and its text 1.5 times those at 100 %, and clicks and
// the drag strip where the scaled controls are.
class HighDpiReminderProcessTest : public ReminderProcessTest {
protected:
  static int ScreenDpi() { return ::GetDeviceCaps(ScreenDc().Get(), LOGPIXELSX); }
  static POINT Scaled(POINT point) { return POINT{point.x * 3 / 2, point.y * 3 / 2}; }
};

// The screen's pixels over a rectangle, as 0x00RRGGBB.
class ScreenPixels {
public:
  explicit ScreenPixels(const RECT& area) : m_area(area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    void* bits = nullptr;
    const ScreenDc screen;
    ScopedBitmap bitmap = CreateArgbBitmap(screen.Get(), width, height, &bits);
    ScopedMemoryDc canvas(::CreateCompatibleDC(screen.Get()));
    if (!bits || !canvas) return;
    ScopedSelection selection(canvas.Get(), bitmap.Get());
    ::BitBlt(canvas.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    m_pixels.assign(pixels, pixels + width * height);
  }
  // In the rectangle's own coordinates.
  COLORREF At(int x, int y) const {
    const int width = m_area.right - m_area.left;
    const uint32_t pixel = m_pixels.empty() ? 0 : m_pixels[static_cast<size_t>(y * width + x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }
  // How many rows of the columns [left, right) hold a pixel that `ink` accepts, first to last.
  int InkHeight(int left, int right, int top, int bottom, bool (*ink)(COLORREF)) const {
    int first = -1, last = -1;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        if (!ink(At(x, y))) continue;
        if (first < 0) first = y;
        last = y;
        break;
      }
    }
    return first < 0 ? 0 : last - first + 1;
  }
  // The first and last coordinate of the run of pixels near `colour` through (x, y), along a
  // row (vertical false) or a column; {0, -1} when (x, y) is not of that colour.
  std::pair<int, int> Run(int x, int y, bool vertical, COLORREF colour) const {
    const auto inside = [&](int along) {
      const int px = vertical ? x : along, py = vertical ? along : y;
      return px >= 0 && py >= 0 && px < m_area.right - m_area.left && py < m_area.bottom - m_area.top &&
             Near(At(px, py), colour);
    };
    const int start = vertical ? y : x;
    if (!inside(start)) return {0, -1};
    int first = start, last = start;
    while (inside(first - 1)) --first;
    while (inside(last + 1)) ++last;
    return {first, last};
  }

private:
  RECT m_area;
  std::vector<uint32_t> m_pixels;
};

bool IsTitleInk(COLORREF colour) {
  return GetRValue(colour) < 128 && GetGValue(colour) < 128 && GetBValue(colour) < 160;
}

// The rows the title takes when drawn as the skin asks at 100 %: its bold 14-pixel font.
int TitleInkAt100Percent(const std::wstring& title) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  LOGFONTW face = {};
  face.lfHeight = -14;
  face.lfWeight = FW_BOLD;
  face.lfCharSet = DEFAULT_CHARSET;
  face.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynW(face.lfFaceName, metrics.lfMessageFont.lfFaceName, LF_FACESIZE);
  const ScopedHandle<GdiObjectTraits<HFONT>> font(::CreateFontIndirectW(&face));
  void* bits = nullptr;
  const ScreenDc screen;
  ScopedBitmap bitmap = CreateArgbBitmap(screen.Get(), 300, 40, &bits);
  ScopedMemoryDc canvas(::CreateCompatibleDC(screen.Get()));
  if (!bits || !canvas || !font) return 0;
  ScopedSelection selection(canvas.Get(), bitmap.Get());
  ScopedSelection selectedFont(canvas.Get(), font.Get());
  std::fill_n(static_cast<uint32_t*>(bits), 300 * 40, 0x00FFFFFFu);
  ::SetBkMode(canvas.Get(), TRANSPARENT);
  ::SetTextColor(canvas.Get(), RGB(0x1F, 0x25, 0x33));
  RECT line = {0, 0, 300, 40};
  ::DrawTextW(canvas.Get(), title.c_str(), -1, &line, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  ::GdiFlush();
  int first = -1, last = -1;
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 300; ++x) {
      const uint32_t pixel = pixels[y * 300 + x];
      if (!IsTitleInk(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF))) continue;
      if (first < 0) first = y;
      last = y;
      break;
    }
  }
  return first < 0 ? 0 : last - first + 1;
}

TEST_F(HighDpiReminderProcessTest, ThePopUpIsDrawnAtTheDisplaysScale) {
  ASSERT_EQ(ScreenDpi(), 144) << "a test of a display at 150 % (VX_WINE_LOGPIXELS=144)";
  client.CopyFromBinaries(kClientExecutable);
  ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kInstallFolderValue, client.Path()));
  const std::wstring title = L"ABC 都市情缘";
  Follow(123, title);
  StartAtLogOn();
  HWND popup = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    popup = VisiblePopup();
    return popup && Near(PopupPixel(popup, Scaled(kPicture)), AlbumColour(123));
  }, kProcessTimeoutMs)) << "no pop-up with album 123's picture";

  RECT area = {}, work = {};
  ::GetWindowRect(popup, &area);
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(area.right - area.left, 446, 1);
  EXPECT_NEAR(area.bottom - area.top, 221, 1);
  EXPECT_EQ(area.right, work.right);
  EXPECT_EQ(area.bottom, work.bottom);

  // The album's 145 x 90 picture fills its 218 x 135 place at (15, 54) (its edges blend with the
  // frame; the fixture picture has a white band across its top, hence two runs down).
  const ScreenPixels shot(area);
  const POINT inPicture = Scaled(kPicture);
  const auto across = shot.Run(inPicture.x, inPicture.y, false, AlbumColour(123));
  EXPECT_NEAR(across.first, 15, 2);
  EXPECT_NEAR(across.second - across.first + 1, 218, 3);
  EXPECT_NEAR(shot.Run(inPicture.x, 56, true, AlbumColour(123)).first, 54, 2);
  EXPECT_NEAR(shot.Run(inPicture.x, inPicture.y, true, AlbumColour(123)).second, 54 + 135 - 1, 2);
  // The title (to the right of the picture, in the first 30 rows below the top strip) is drawn
  // with a font half as high again as at 100 %, not the same glyphs spread out.
  const int inkAt100 = TitleInkAt100Percent(title);
  const int ink = shot.InkHeight(248, 431, 54, 84, &IsTitleInk);
  ASSERT_GT(inkAt100, 0);
  EXPECT_GE(ink * 100, inkAt100 * 135) << ink << " rows against " << inkAt100 << " at 100 %";
  EXPECT_LE(ink * 100, inkAt100 * 165) << ink << " rows against " << inkAt100 << " at 100 %";

  // The top strip drags the window except at its scaled right end, where the close button is.
  const auto hitTest = [&](POINT client) {
    ::ClientToScreen(popup, &client);
    return ::SendMessageW(popup, WM_NCHITTEST, 0, MAKELPARAM(client.x, client.y));
  };
  EXPECT_EQ(hitTest(POINT{200, 30}), HTCAPTION);
  EXPECT_NE(hitTest(POINT{430, 20}), HTCAPTION);
  EXPECT_NE(hitTest(POINT{200, 50}), HTCAPTION);

  // A click on the scaled picture opens the album.
  const size_t startsBefore = ReadUtf8Lines(client.File(L"VexoClient.calls.txt")).size();
  Click(popup, inPicture);
  std::vector<std::wstring> calls;
  ASSERT_TRUE(WaitUntil([&] { calls = ReadUtf8Lines(client.File(L"VexoClient.calls.txt")); return calls.size() > startsBefore; },
                        kProcessTimeoutMs));
  EXPECT_EQ(calls.back(), L"DeskFavor;id=123:type=1:change=0:name=第12集");
}

}  // namespace
