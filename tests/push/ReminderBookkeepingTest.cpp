// The bookkeeping file written and read through the real profile functions, read back as
// Windows reads it and as bytes.
#include "push/ReminderBookkeeping.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/TextConvert.h"
#include "push/ReminderFeed.h"
#include "tests/support/ProcessHarness.h"

namespace {

std::string TodayText() {
  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  return ReminderDateText(now.wYear, now.wMonth, now.wDay);
}

class ReminderBookkeepingTest : public ::testing::Test {
protected:
  std::wstring Read(const wchar_t* section, const wchar_t* key) const {
    wchar_t value[64] = {};
    ::GetPrivateProfileStringW(section, key, L"<none>", value, 64, File().c_str());
    return value;
  }
  void Write(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
    ASSERT_TRUE(::WritePrivateProfileStringW(section, key, value.c_str(), File().c_str()));
  }
  std::wstring File() const { return folder.File(L"vexo_remind.ini"); }
  std::string Bytes() const {
    std::ifstream in(std::filesystem::path(File()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  vxtest::ScratchFolder folder{L"remind"};
  CReminderBookkeeping user{folder.Path(), L"1234567"};
};

TEST_F(ReminderBookkeepingTest, ShowingIsRecordedPerUserForToday) {
  EXPECT_EQ(user.FilePath(), File());
  EXPECT_FALSE(user.ReminderShownToday());
  user.MarkShownToday(false);
  EXPECT_FALSE(vxtest::FileExists(File()));

  user.MarkShownToday(true);
  EXPECT_TRUE(user.ReminderShownToday());
  EXPECT_EQ(Read(L"UpdateReminder", L"1234567"), AnsiToWide(TodayText()));
  EXPECT_EQ(Bytes(), "[UpdateReminder]\r\n1234567=" + TodayText() + "\r\n");

  const CReminderBookkeeping machine(folder.Path(), L"0f3a9c21d4e5b6a7");
  EXPECT_FALSE(machine.ReminderShownToday());
}

TEST_F(ReminderBookkeepingTest, OnlyTodaysExactTextCounts) {
  Write(L"UpdateReminder", L"1234567", L"201411");
  EXPECT_FALSE(user.ReminderShownToday());
  Write(L"UpdateReminder", L"1234567", AnsiToWide(TodayText()) + L"1");
  EXPECT_FALSE(user.ReminderShownToday());
  // Only 15 characters are read: a longer value never matches, whatever it starts with.
  Write(L"UpdateReminder", L"1234567", AnsiToWide(TodayText()) + L"\x4e00\x4e8c\x4e09\x56db\x4e94\x516d\x4e03\x516b");
  EXPECT_FALSE(user.ReminderShownToday());
  Write(L"UpdateReminder", L"1234567", AnsiToWide(TodayText()));
  EXPECT_TRUE(user.ReminderShownToday());
}

TEST_F(ReminderBookkeepingTest, IKnowIsMarkedWithOne) {
  user.MarkIKnow(false);
  EXPECT_FALSE(vxtest::FileExists(File()));
  user.MarkIKnow(true);
  EXPECT_EQ(Read(L"HasIKnow", L"1234567"), L"1");
  user.MarkShownToday(true);
  EXPECT_EQ(Read(L"HasIKnow", L"1234567"), L"1");
  EXPECT_FALSE(CReminderBookkeeping(folder.Path(), L"other").ReminderShownToday());
}

TEST_F(ReminderBookkeepingTest, KeysAFileCannotHoldChangeNothing) {
  Write(L"UpdateReminder", L"a", AnsiToWide(TodayText()));
  const std::string before = Bytes();
  for (const wchar_t* key : {L"", L"a=b", L"[a]", L"a\r\nb", L"a\nUpdateReminder"}) {
    const CReminderBookkeeping hostile(folder.Path(), key);
    hostile.MarkShownToday(true);
    hostile.MarkIKnow(true);
    EXPECT_FALSE(hostile.ReminderShownToday());
  }
  EXPECT_EQ(Bytes(), before);

  // Without a client folder there is no file: nothing may land in the Windows folder instead.
  const CReminderBookkeeping nowhere(L"", L"1234567");
  nowhere.MarkShownToday(true);
  nowhere.MarkIKnow(true);
  EXPECT_FALSE(nowhere.ReminderShownToday());
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_FALSE(vxtest::FileExists(std::wstring(windows) + L"\\vexo_remind.ini"));
}

}  // namespace
