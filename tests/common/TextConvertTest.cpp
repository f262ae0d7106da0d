#include "common/TextConvert.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(TextConvertTest, EmptyInputGivesEmptyText) {
  EXPECT_EQ(WideToAnsi(L""), "");
  EXPECT_EQ(AnsiToWide(""), L"");
  EXPECT_EQ(WideToUtf8(L""), "");
  EXPECT_EQ(Utf8ToWide(""), L"");
}

TEST(TextConvertTest, StopsAtFirstNul) {
  const std::wstring wide(L"ab\0cd", 5);
  EXPECT_EQ(WideToUtf8(wide), "ab");
  EXPECT_EQ(WideToAnsi(wide), "ab");
  const std::string narrow("xy\0z", 4);
  EXPECT_EQ(Utf8ToWide(narrow), L"xy");
  EXPECT_EQ(AnsiToWide(narrow), L"xy");
}

TEST(TextConvertTest, Utf8RoundTripOfChineseAndAstralText) {
  const std::wstring text = L"Vexo\u89c6\u9891 \U0001F600";  // "Vexo视频" and an emoji (surrogate pair)
  const std::string utf8 = WideToUtf8(text);
  EXPECT_EQ(utf8, "Vexo\xe8\xa7\x86\xe9\xa2\x91 \xf0\x9f\x98\x80");
  EXPECT_EQ(Utf8ToWide(utf8), text);
}

TEST(TextConvertTest, InvalidUtf8BecomesReplacementNotCrash) {
  const std::wstring converted = Utf8ToWide("a\xff\xfe" "b");
  ASSERT_GE(converted.size(), 2u);
  EXPECT_EQ(converted.front(), L'a');
  EXPECT_EQ(converted.back(), L'b');
}

TEST(TextConvertTest, AnsiRoundTripOfAsciiAndLongText) {
  const std::wstring text(100000, L'q');
  EXPECT_EQ(AnsiToWide(WideToAnsi(text)), text);
}

// Run under a Chinese code page (LC_ALL=zh_CN.UTF-8 gives 936).
TEST(TextConvertCodePageTest, ChineseSurvivesTheAnsiCodePage) {
  // The Chinese run sets VX_EXPECT_ACP=936: there a Western code page is a set-up fault.
  wchar_t expected[16] = {};
  if (::GetEnvironmentVariableW(L"VX_EXPECT_ACP", expected, 16) > 0) {
    ASSERT_EQ(::GetACP(), static_cast<UINT>(_wtoi(expected))) << "is the zh_CN.UTF-8 locale installed?";
  }
  if (::GetACP() != 936) GTEST_SKIP() << "code page " << ::GetACP() << ", not 936";
  const std::wstring name = L"Vexo\u89c6\u9891";  // "Vexo视频"
  const std::string ansi = WideToAnsi(name);
  EXPECT_EQ(ansi, "Vexo\xca\xd3\xc6\xb5");  // GBK bytes
  EXPECT_EQ(AnsiToWide(ansi), name);
}

}  // namespace
