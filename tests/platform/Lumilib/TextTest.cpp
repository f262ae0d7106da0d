// Text: how many characters fit with the skin's real font, and the wide string type.
#include "tests/platform/Lumilib/LumiFixture.h"

namespace lumitest {
namespace {

class TruncationTest : public LumiTest {
protected:
  TruncationTest() {
    Load(R"(<Window><Font id="0" name="" size="14" /><Font id="1" name="" size="20" bold="true" />
            <Label name="l" /></Window>)",
         RECT{0, 0, 10, 10});
  }
  int Width(const std::wstring& text, int font) {
    ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
    ScopedSelection selection(dc.Get(), window.manager.GetFont(font));
    SIZE size = {};
    ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  }
};

TEST_F(TruncationTest, CountsTheCharactersThatFitWithTheSkinFont) {
  const std::wstring text = L"The quick brown fox jumps over the lazy dog";
  for (int font : {0, 1}) {
    for (int width : {Width(L"The quick", font), Width(L"The quick", font) - 1, 60, 150}) {
      const int fit = window.manager.GetTruncatedStringPos(text.c_str(), width, font);
      ASSERT_GT(fit, 0);
      ASSERT_LT(fit, static_cast<int>(text.size()));
      EXPECT_LE(Width(text.substr(0, fit), font), width) << font << " " << width;
      EXPECT_GT(Width(text.substr(0, fit + 1), font), width) << font << " " << width;
    }
  }
  EXPECT_EQ(window.manager.GetTruncatedStringPos(L"The quick", Width(L"The quick", 0), 0), 9);
  // The bold, bigger font fits fewer characters in the same width.
  EXPECT_LT(window.manager.GetTruncatedStringPos(text.c_str(), 150, 1),
            window.manager.GetTruncatedStringPos(text.c_str(), 150, 0));
}

TEST_F(TruncationTest, EdgeCases) {
  EXPECT_EQ(window.manager.GetTruncatedStringPos(L"abc", 0, 0), 0);
  EXPECT_EQ(window.manager.GetTruncatedStringPos(L"", 100, 0), 0);
  EXPECT_EQ(window.manager.GetTruncatedStringPos(nullptr, 100, 0), 0);
  EXPECT_EQ(window.manager.GetTruncatedStringPos(L"更新至12集", 10000, 0), 6);
  // An index the skin does not define gives font 0.
  EXPECT_EQ(window.manager.GetFont(7), window.manager.GetFont(0));
}

TEST(StdStringTest, FormatsWithWideStringsAndSlices) {
  Lumi::CStdString text;
  EXPECT_EQ(text.Format(L"更新至%s期 %d", L"2013-12-05", 7), 16);
  EXPECT_TRUE(text == L"更新至2013-12-05期 7");
  EXPECT_EQ(text.ReverseFind(L'期'), 13);
  EXPECT_TRUE(text.Left(3) == L"更新至");
  EXPECT_TRUE(text.Left(100) == text);
  EXPECT_TRUE(text.Mid(3, 4) == L"2013");
  EXPECT_EQ(text.ReverseFind(L'x'), -1);
  EXPECT_TRUE(Lumi::CStdString(L"abcdef", 3) + L"+" + Lumi::CStdString(L"z") == L"abc+z");
  EXPECT_TRUE(Lumi::CStdString(nullptr).IsEmpty());
  EXPECT_EQ(text.Format(L"%s", std::wstring(5000, L'x').c_str()), 5000);
}

}  // namespace
}  // namespace lumitest
