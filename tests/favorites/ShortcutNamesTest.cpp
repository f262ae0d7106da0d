#include "favorites/ShortcutNames.h"

#include <gtest/gtest.h>

namespace {

std::wstring Clean(std::wstring name) {
  SanitizeFileName(name, L' ');
  return name;
}

TEST(SanitizeFileNameTest, ForbiddenCharactersBecomeBlanksKeepingLength) {
  EXPECT_EQ(Clean(L"a/b:c?"), L"a b c ");
  EXPECT_EQ(Clean(L"\\/?*<>:\"|"), L"         ");
  EXPECT_EQ(Clean(L"\u89c6\u9891 ABC"), L"\u89c6\u9891 ABC");
  EXPECT_EQ(Clean(L""), L"");
}

TEST(SanitizeFileNameTest, ControlCharactersAndDeviceNamesStillGiveAFile) {
  EXPECT_EQ(Clean(L"a\tb\nc\x01"), L"a b c ");
  EXPECT_EQ(Clean(L"CON"), L"CON_");
  EXPECT_EQ(Clean(L"nul"), L"nul_");
  EXPECT_EQ(Clean(L"COM1"), L"COM1_");
  EXPECT_EQ(Clean(L"lpt9"), L"lpt9_");
  EXPECT_EQ(Clean(L"AUX.txt"), L"AUX.txt_");
  EXPECT_EQ(Clean(L"CONSOLE"), L"CONSOLE");
  EXPECT_EQ(Clean(L"COM0"), L"COM0");
}

TEST(WithSourceTagTest, QuestionMarkDecidesTheJoiner) {
  EXPECT_EQ(WithSourceTag(L"http://www.vexo.com/play?x=1"), L"http://www.vexo.com/play?x=1&src=fromtailcast");
  EXPECT_EQ(WithSourceTag(L"http://www.vexo.com/play"), L"http://www.vexo.com/play?src=fromtailcast");
  EXPECT_EQ(WithSourceTag(L""), L"?src=fromtailcast");
}

TEST(WithSourceTagTest, OnlyWebAddressesAreTagged) {
  EXPECT_EQ(LinkTarget(L"http://www.vexo.com/play?x=1"), L"http://www.vexo.com/play?x=1&src=fromtailcast");
  EXPECT_EQ(LinkTarget(L"https://www.vexo.com/play"), L"https://www.vexo.com/play?src=fromtailcast");
  EXPECT_EQ(LinkTarget(L"C:\\Program Files\\Vexo\\VexoClient.exe"), L"C:\\Program Files\\Vexo\\VexoClient.exe");
  EXPECT_EQ(LinkTarget(L""), L"");
}

TEST(InsertPictureSuffixTest, BeforeTheLastDot) {
  EXPECT_EQ(InsertPictureSuffix("http://pic.vexo.com/pic/a.jpg", "_128_128"), "http://pic.vexo.com/pic/a_128_128.jpg");
  EXPECT_EQ(InsertPictureSuffix("http://pic.vexo.com/a", "_128_128"), "http://pic.vexo_128_128.com/a");
  EXPECT_EQ(InsertPictureSuffix("nodot", "_128_128"), "");
  EXPECT_EQ(InsertPictureSuffix("", "_128_128"), "");
}

TEST(ShortcutPathForTest, NameIsCutToKeepThePathWithinTheLimitAndTheSuffixWhole) {
  EXPECT_EQ(ShortcutPathFor(L"C:\\D", L"ABC"), L"C:\\D\\ABC.lnk");
  EXPECT_EQ(ShortcutPathFor(L"C:\\D", L"ABC", L" 12", 14), L"C:\\D\\AB 12.lnk");
  EXPECT_EQ(ShortcutPathFor(L"C:\\D", std::wstring(300, L'n')).size(), kLongestShortcutPath);
  // "a" then U+20000 as a surrogate pair: never half a character.
  EXPECT_EQ(ShortcutPathFor(L"C:\\D", L"a\xD840\xDC00z", L"", 11), L"C:\\D\\a.lnk");
  EXPECT_EQ(ShortcutPathFor(L"C:\\D", L"a\xD840\xDC00z", L"", 12), L"C:\\D\\a\xD840\xDC00.lnk");
  // No room for a single character, or nothing to name: no path.
  EXPECT_EQ(ShortcutPathFor(L"C:\\D", L"ABC", L"", 10), L"C:\\D\\A.lnk");
  EXPECT_EQ(ShortcutPathFor(L"C:\\D", L"ABC", L"", 9), L"");
  EXPECT_EQ(ShortcutPathFor(L"C:\\D", L""), L"");
  EXPECT_EQ(ShortcutPathFor(std::wstring(260, L'd'), L"ABC"), L"");
}

}  // namespace
