#include "common/GuidText.h"

#include <gtest/gtest.h>

namespace {

TEST(GuidTextTest, ThirtyTwoLowerCaseDigitsInFieldOrderWithLeadingZeros) {
  const GUID guid = {0x0A1B2C3D, 0x00EF, 0xA001, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0xFF}};
  EXPECT_EQ(GuidHexDigits(guid), L"0a1b2c3d00efa00100112233445566ff");
  EXPECT_EQ(GuidHexDigits(GUID{}), std::wstring(32, L'0'));
}

}  // namespace
