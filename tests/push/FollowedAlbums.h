// The real program with albums the viewer follows: the client's folders and the emulator's
// anonymous feed for this machine, favourites stored by the test as the icon task leaves them,
// and the reminder pop-up read back from the screen. For the tests of the reminders and of the
// store that run the program under the Chinese code page of the store's texts.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

#include "tests/app/ProgramUnderTest.h"
#include "tests/support/ProcessHarness.h"

namespace vxtest {

extern const std::wstring kUserKey;
extern const std::wstring kMachineId;  // the emulator's anonymous feed

// Where the skin puts things, in the pop-up's client coordinates at 100 %.
constexpr POINT kPicture = {80, 80};
constexpr POINT kNextArrow = {219, 114};
constexpr POINT kClose = {283, 14};

// The flat colour of the emulator's small picture of an album.
COLORREF AlbumColour(int albumId);
bool Near(COLORREF a, COLORREF b);
HWND VisiblePopup();
// The colour on the screen at a point of the pop-up.
COLORREF PopupPixel(HWND popup, POINT point);
void Click(HWND popup, POINT point);
std::wstring IconOf(const std::wstring& lnk);
// The web address a shortcut points at, as the link's last target item names it.
std::string TargetOf(const std::wstring& lnk);

// A feed of one reminder of `albumId` (channel 2) whose "videoUrl" is `videoUrl`.
Json::Value OneReminder(const std::string& videoUrl, int albumId = 123);
// The feed the emulator answers this machine with, sent as `answer` says.
void AnswerMachine(const Json::Value& feed, const char* answer = "complete");

class FollowedAlbumsTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  std::wstring IconFolder() const { return data.Path() + L"VexoClient\\Icon\\"; }
  std::wstring StoreFile() const { return data.Path() + L"VexoClient\\vexo_shortCut.dll"; }
  // A followed album as the icon task leaves it: its shortcut, its row naming its album icon,
  // the album and badge icons in the icon folder, and nothing left to complete.
  std::wstring Follow(int albumId, const std::wstring& name, bool badged = false);
  void StartAtLogOn();
  HWND WaitForPopupShowing(int albumId);
  std::wstring RemindIni(const wchar_t* section) const;

  ScratchFolder data{L"reminder-data"};
  ScratchFolder client{L"reminder-client"};
  ProgramUnderTest program{L"reminder"};
  ChildProcess running;
};

// The real program with its local hour set through its time zone.
class EveningProcessTest : public FollowedAlbumsTest {
protected:
  void TearDown() override;
  // A time zone in which it is now `localHour` o'clock (the offset is UTC minus local time).
  static std::wstring ZoneWhereItIs(int localHour);
  static size_t AnonymousFeeds();
};

}  // namespace vxtest
