// The GDI+ session owner: one session however often it is moved, usable while its owner lives.
#include "common/ScopedGdiplus.h"

#include <gtest/gtest.h>

#include <utility>

#include "common/GdiplusInclude.h"

namespace {

bool CanDraw() {
  Gdiplus::Bitmap picture(4, 4, PixelFormat32bppARGB);
  return picture.GetLastStatus() == Gdiplus::Ok &&
         Gdiplus::Graphics(&picture).Clear(Gdiplus::Color(255, 0, 128, 255)) == Gdiplus::Ok;
}

TEST(ScopedGdiplusTest, TheSessionMovesToItsLastOwner) {
  ScopedGdiplus first;
  ASSERT_TRUE(first.IsStarted());
  ScopedGdiplus second(std::move(first));
  EXPECT_FALSE(first.IsStarted());
  EXPECT_TRUE(second.IsStarted());
  EXPECT_TRUE(CanDraw());

  ScopedGdiplus third;
  third = std::move(second);  // the session third had is shut down, second's goes on
  EXPECT_FALSE(second.IsStarted());
  EXPECT_TRUE(third.IsStarted());
  EXPECT_TRUE(CanDraw());
}

}  // namespace
