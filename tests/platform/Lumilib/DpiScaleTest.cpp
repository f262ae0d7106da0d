#include "platform/Lumilib/DpiScale.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Lumi::ScaleByDpi;

TEST(DpiScaleTest, RoundsHalfAwayFromZeroAndLeaves96Alone) {
  EXPECT_EQ(ScaleByDpi(297, 144), 446);
  EXPECT_EQ(ScaleByDpi(147, 144), 221);
  EXPECT_EQ(ScaleByDpi(145, 144), 218);
  EXPECT_EQ(ScaleByDpi(90, 144), 135);
  EXPECT_EQ(ScaleByDpi(-3, 144), -5);
  EXPECT_EQ(ScaleByDpi(2, 120), 3);
  for (int value = -1000; value <= 1000; ++value) ASSERT_EQ(ScaleByDpi(value, 96), value);
  EXPECT_EQ(ScaleByDpi(INT_MAX, 480), INT_MAX);
  EXPECT_EQ(ScaleByDpi(INT_MIN, 480), INT_MIN);
}

TEST(DpiScaleTest, ClampsTheDpiAndTakesDoubleArtAboveOneHundredTwentyFivePercent) {
  EXPECT_EQ(Lumi::ClampDpi(0), 96u);
  EXPECT_EQ(Lumi::ClampDpi(144), 144u);
  EXPECT_EQ(Lumi::ClampDpi(481), 480u);
  EXPECT_FALSE(Lumi::WantsDoubleArt(120));
  EXPECT_TRUE(Lumi::WantsDoubleArt(121));
  EXPECT_EQ(Lumi::DoubleArtPath(L"PersonalCenter/top.png"), L"PersonalCenter/top@2x.png");
  EXPECT_EQ(Lumi::DoubleArtPath(L"skin\\a.b.png"), L"skin\\a.b@2x.png");
  EXPECT_EQ(Lumi::DoubleArtPath(L"skin.v2/top"), L"skin.v2/top@2x");
}

}  // namespace
