#include "common/SplitText.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separator = L",,") {
  std::vector<std::wstring> pieces;
  SplitText(text, separator, pieces);
  return pieces;
}

using Pieces = std::vector<std::wstring>;

TEST(SplitTextTest, PiecesBetweenSeparators) {
  EXPECT_EQ(Split(L"update,,autostart"), (Pieces{L"update", L"autostart"}));
  EXPECT_EQ(Split(L"a,,b,,c"), (Pieces{L"a", L"b", L"c"}));
  EXPECT_EQ(Split(L"single"), (Pieces{L"single"}));
}

TEST(SplitTextTest, EmptyPiecesNeverAppear) {
  EXPECT_EQ(Split(L""), Pieces{});
  EXPECT_EQ(Split(L",,"), Pieces{});
  EXPECT_EQ(Split(L",,,,,,"), Pieces{});
  EXPECT_EQ(Split(L"update,,,,DeskFavor;strjs=abc"), (Pieces{L"update", L"DeskFavor;strjs=abc"}));
  EXPECT_EQ(Split(L",,a,,"), (Pieces{L"a"}));
}

TEST(SplitTextTest, OddCommaRunsLeaveASingleComma) {
  // ",,," is a separator followed by a lone comma that starts the next piece.
  EXPECT_EQ(Split(L"a,,,b"), (Pieces{L"a", L",b"}));
}

TEST(SplitTextTest, AppendsToExistingList) {
  Pieces pieces{L"kept"};
  SplitText(L"x,,y", L",,", pieces);
  EXPECT_EQ(pieces, (Pieces{L"kept", L"x", L"y"}));
}

TEST(SplitTextTest, EmptySeparatorGivesWholeText) {
  EXPECT_EQ(Split(L"a,,b", L""), (Pieces{L"a,,b"}));
  EXPECT_EQ(Split(L"", L""), Pieces{});
}

}  // namespace
