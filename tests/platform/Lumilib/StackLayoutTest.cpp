#include "platform/Lumilib/StackLayout.h"

#include <gtest/gtest.h>

#include "platform/Lumilib/AttributeText.h"

namespace {

using Lumi::PlaceStack;
using Lumi::StackItem;

std::vector<std::pair<int, int>> Slots(const std::vector<StackItem>& items, int extent, int gap) {
  std::vector<std::pair<int, int>> result;
  for (const Lumi::StackSlot& slot : PlaceStack(items, extent, gap)) result.emplace_back(slot.offset, slot.size);
  return result;
}

TEST(StackLayoutTest, FixedItemsKeepTheirSizeAndStretchingOnesShareTheRest) {
  EXPECT_EQ(Slots({{20, 0, 0}, {0, 0, 0}, {0, 0, 0}}, 100, 0),
            (std::vector<std::pair<int, int>>{{0, 20}, {20, 40}, {60, 40}}));
  // Margins and gaps come off before sharing; the odd pixel goes to the first stretching item.
  EXPECT_EQ(Slots({{0, 3, 2}, {10, 0, 0}, {0, 0, 0}}, 50, 4),
            (std::vector<std::pair<int, int>>{{3, 14}, {23, 10}, {37, 13}}));
  EXPECT_TRUE(PlaceStack({}, 100, 5).empty());
}

TEST(StackLayoutTest, TooLittleRoomNeverGivesNegativeSizes) {
  EXPECT_EQ(Slots({{80, 0, 0}, {0, 0, 0}, {40, 0, 0}}, 100, 0),
            (std::vector<std::pair<int, int>>{{0, 80}, {80, 0}, {80, 40}}));
  EXPECT_EQ(Slots({{0, 0, 0}}, -5, 0), (std::vector<std::pair<int, int>>{{0, 0}}));
}

TEST(AttributeTextTest, NumberListsColoursAndFlags) {
  int numbers[4] = {9, 9, 9, 9};
  EXPECT_TRUE(Lumi::ParseIntList(L"10, 8,-1,0", numbers, 4));
  EXPECT_EQ(numbers[0] + numbers[1] + numbers[2] + numbers[3], 17);
  for (const wchar_t* bad : {L"1,2,3", L"1,2,3,4,5", L"1,,3,4", L"a,b,c,d", L"", L"1,2,3,4x", L"99999999999,1,1,1"}) {
    EXPECT_FALSE(Lumi::ParseIntList(bad, numbers, 4)) << bad;
  }
  EXPECT_FALSE(Lumi::ParseIntList(nullptr, numbers, 1));
  EXPECT_EQ(numbers[1], 8);  // untouched by the failures

  uint32_t color = 0;
  EXPECT_TRUE(Lumi::ParseColor(L"#80FF0a84", &color));
  EXPECT_EQ(color, 0x80FF0A84u);
  EXPECT_TRUE(Lumi::ParseColor(L"#0A84FF", &color));
  EXPECT_EQ(color, 0xFF0A84FFu);
  for (const wchar_t* bad : {L"FF0A84FF", L"#FF0A84F", L"#GG0A84FF", L"#", L"#FF0A84FF00"}) {
    EXPECT_FALSE(Lumi::ParseColor(bad, &color)) << bad;
  }
  EXPECT_TRUE(Lumi::ParseFlag(L"true"));
  EXPECT_TRUE(Lumi::ParseFlag(L"1"));
  EXPECT_FALSE(Lumi::ParseFlag(L"yes"));
  EXPECT_FALSE(Lumi::ParseFlag(nullptr));
}

}  // namespace
