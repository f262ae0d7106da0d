// The bookkeeping file through the real profile functions, read back by Windows and as bytes.
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

std::wstring Today() {
  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  return AnsiToWide(ReminderDateText(now.wYear, now.wMonth, now.wDay));
}

class ReminderBookkeepingTest : public ::testing::Test {
protected:
  std::wstring Read(const wchar_t* section) const {
    wchar_t value[64] = {};
    ::GetPrivateProfileStringW(section, L"1234567", L"<none>", value, 64, File().c_str());
    return value;
  }
  void WriteShown(const std::wstring& value) const {
    ASSERT_TRUE(::WritePrivateProfileStringW(L"UpdateReminder", L"1234567", value.c_str(), File().c_str()));
  }
  std::wstring File() const { return folder.File(L"vexo_remind.ini"); }
  std::string Bytes() const {
    std::ifstream in(std::filesystem::path(File()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  vxtest::ScratchFolder folder{L"remind"};
  CReminderBookkeeping user{folder.Path(), L"1234567"};
};

TEST_F(ReminderBookkeepingTest, ShowingAndIKnowAreRecordedPerUser) {
  EXPECT_FALSE(user.ReminderShownToday());
  user.MarkShownToday(false);
  user.MarkIKnow(false);
  EXPECT_FALSE(vxtest::FileExists(File()));

  user.MarkShownToday(true);
  EXPECT_TRUE(user.ReminderShownToday());
  EXPECT_EQ(Bytes(), "[UpdateReminder]\r\n1234567=" + WideToAnsi(Today()) + "\r\n");
  EXPECT_FALSE(CReminderBookkeeping(folder.Path(), L"0f3a9c21d4e5b6a7").ReminderShownToday());
  user.MarkIKnow(true);
  EXPECT_EQ(Read(L"HasIKnow"), L"1");
  EXPECT_EQ(Read(L"UpdateReminder"), Today());
}

TEST_F(ReminderBookkeepingTest, OnlyTodaysExactTextCounts) {
  // Only 15 characters are read: a longer value never matches, whatever it starts with.
  for (const std::wstring& other : {std::wstring(L"201411"), Today() + L"1", Today() + L"\x4e00\x4e8c\x4e09\x56db"
                                                                                        L"\x4e94\x516d\x4e03\x516b"}) {
    WriteShown(other);
    EXPECT_FALSE(user.ReminderShownToday()) << WideToUtf8(other);
  }
  WriteShown(Today());
  EXPECT_TRUE(user.ReminderShownToday());
}

TEST_F(ReminderBookkeepingTest, KeysAFileCannotHoldAndNoFolderChangeNothing) {
  WriteShown(Today());
  const std::string before = Bytes();
  for (const wchar_t* key : {L"", L"a=b", L"[a]", L"a\r\nb", L"a\nUpdateReminder"}) {
    const CReminderBookkeeping hostile(folder.Path(), key);
    hostile.MarkShownToday(true);
    hostile.MarkIKnow(true);
    EXPECT_FALSE(hostile.ReminderShownToday());
  }
  EXPECT_EQ(Bytes(), before);

  // Without a client folder the profile functions would fall back to the Windows folder.
  const CReminderBookkeeping nowhere(L"", L"1234567");
  nowhere.MarkShownToday(true);
  EXPECT_FALSE(nowhere.ReminderShownToday());
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_FALSE(vxtest::FileExists(std::wstring(windows) + L"\\vexo_remind.ini"));
}

}  // namespace
