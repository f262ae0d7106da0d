// A small skin painted into a 32-bit bitmap, as the layered pop-up paints: colours where the
// skin has them, opaque where something is drawn, transparent elsewhere, text with alpha.
#include <algorithm>
#include <cstdint>

#include "common/GdiplusInclude.h"
#include "platform/Lumilib/AlphaLayer.h"
#include "platform/Lumilib/Render.h"
#include "tests/support/GdiObjects.h"
#include "tests/platform/Lumilib/LumiFixture.h"

namespace lumitest {
namespace {

constexpr int kWidth = 60;
constexpr int kHeight = 50;

// A PNG: its left half opaque red, its right half fully transparent.
bool WriteHalfRedPng(const std::wstring& path) {
  Gdiplus::Bitmap picture(20, 10, PixelFormat32bppARGB);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) picture.SetPixel(x, y, x < 10 ? Gdiplus::Color(255, 255, 0, 0) : Gdiplus::Color(0, 0, 0, 0));
  }
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  return picture.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

class PaintTest : public LumiTest {
protected:
  uint32_t At(int x, int y) const { return bits[y * kWidth + x]; }
  static unsigned Alpha(uint32_t pixel) { return pixel >> 24; }

  // `clip`: the only part the painting may reach (null: all).
  void Paint(const RECT* clip = nullptr) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* memory = nullptr;
    ScopedBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
    ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(bitmap && dc && memory);
    {
      ScopedSelection selection(dc.Get(), bitmap.Get());
      if (clip) ::IntersectClipRect(dc.Get(), clip->left, clip->top, clip->right, clip->bottom);
      window.manager.PaintTree(dc.Get(), clip ? *clip : RECT{0, 0, kWidth, kHeight});
      ::GdiFlush();
    }
    const uint32_t* pixels = static_cast<const uint32_t*>(memory);
    bits.assign(pixels, pixels + kWidth * kHeight);
  }
  std::vector<uint32_t> bits;
};

TEST_F(PaintTest, ColoursPicturesAndTextHaveSaneAlpha) {
  ASSERT_TRUE(WriteHalfRedPng(skin.File(L"half.png")));
  ASSERT_NE(Load(R"(<Window><Font id="0" name="" size="14" />
      <VerticalLayout>
        <Label name="onColour" height="16" bkcolor="#FF2040C0" text="WWWW" textcolor="#FFFFFFFF" />
        <Label name="onNothing" height="16" text="WWWW" textcolor="#FFFFFF00" />
        <Control name="picture" height="10" bkimage="half.png" padding="0,0,20,0" />
      </VerticalLayout></Window>)",
                 RECT{0, 0, kWidth, kHeight}),
            nullptr);
  Paint();

  // Row 1: opaque everywhere, the background colour with white text on it.
  int textPixels = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      ASSERT_EQ(Alpha(At(x, y)), 255u) << x << "," << y;
      if (At(x, y) != 0xFF2040C0u) ++textPixels;
    }
  }
  EXPECT_EQ(At(kWidth - 1, 0), 0xFF2040C0u);
  EXPECT_GT(textPixels, 20);

  // Row 2: text on nothing: visible pixels with alpha, premultiplied (no channel above alpha).
  int opaque = 0;
  for (int y = 16; y < 32; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t pixel = At(x, y);
      ASSERT_LE((pixel >> 16) & 0xFF, Alpha(pixel));
      ASSERT_LE(pixel & 0xFF, Alpha(pixel));  // yellow text: no blue at all
      if (Alpha(pixel) == 255) ++opaque;
    }
  }
  EXPECT_GT(opaque, 10);
  EXPECT_EQ(At(kWidth - 1, 20), 0u);

  // Row 3: the picture stretched over 40 pixels: red and opaque, then transparent.
  EXPECT_EQ(At(5, 37), 0xFFFF0000u);
  EXPECT_EQ(Alpha(At(35, 37)), 0u);
  EXPECT_EQ(Alpha(At(50, 37)), 0u);  // outside the control
}

// A window that lets its skin go while it waits keeps none of the skin's drawing objects: its
// fonts, its pictures and their scaled copies, and the scratch bitmap its drawing borrows.
TEST_F(PaintTest, ReleasingTheSkinLetsGoOfItsDrawingObjects) {
  ASSERT_TRUE(WriteHalfRedPng(skin.File(L"half.png")));
  ASSERT_NE(Load(R"(<Window><Font id="0" name="" size="14" />
      <VerticalLayout>
        <Label height="16" bkcolor="#FF2040C0" text="WWWW" textcolor="#FFFFFFFF" />
        <Control height="10" bkimage="half.png" />
      </VerticalLayout></Window>)",
                 RECT{0, 0, kWidth, kHeight}),
            nullptr);
  Paint();
  const DWORD painted = vxtest::ReadGdiObjects(::GetCurrentProcess());
  ASSERT_GT(painted, 0u);
  window.manager.ReleaseSkin();
  // At least the font, the scaled picture's bitmap and DC and the scratch bitmap and its DC.
  EXPECT_LE(vxtest::ReadGdiObjects(::GetCurrentProcess()) + 5, painted);

  // The scratch bitmap alone: made again by the next drawing, freed again on request.
  ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
  const DWORD released = vxtest::ReadGdiObjects(::GetCurrentProcess());
  Lumi::FillColor(dc.Get(), RECT{0, 0, 8, 8}, 0xFF102030);
  EXPECT_EQ(vxtest::ReadGdiObjects(::GetCurrentProcess()), released + 2);
  Lumi::CAlphaLayer::ReleaseScratch();
  EXPECT_EQ(vxtest::ReadGdiObjects(::GetCurrentProcess()), released);
}

TEST_F(PaintTest, ButtonPaintsItsStatePictureAndDisabledColour) {
  ASSERT_TRUE(WriteHalfRedPng(skin.File(L"half.png")));
  ASSERT_NE(Load(R"(<Window><HorizontalLayout>
        <Button name="b" width="20" normalimage="missing.png" hotimage="half.png" disabledbkcolor="#FF00FF00" />
      </HorizontalLayout></Window>)",
                 RECT{0, 0, kWidth, kHeight}),
            nullptr);
  Lumi::CControlUI* button = window.manager.FindControl(L"b");
  Paint();
  EXPECT_EQ(At(2, 2), 0u);  // its normal picture is missing: nothing drawn
  MoveTo(POINT{2, 2});
  Paint();
  EXPECT_EQ(At(2, 2), 0xFFFF0000u);
  button->SetEnabled(false);
  Paint();
  EXPECT_EQ(At(2, 2), 0xFF00FF00u);
}

// A repaint of a small area (a clipped context) draws exactly what a whole paint draws there,
// pictures and text cut at its edge included, and nothing outside it.
TEST_F(PaintTest, APaintClippedToAnAreaDrawsTheSameThereAndNothingElse) {
  ASSERT_TRUE(WriteHalfRedPng(skin.File(L"half.png")));
  ASSERT_NE(Load(R"(<Window><Font id="0" name="" size="14" />
      <VerticalLayout bkcolor="#80FFFFFF">
        <Label height="20" bkcolor="#FF2040C0" text="WWWW" textcolor="#FFFFFFFF" align="center" />
        <Control height="20" bkimage="half.png" />
      </VerticalLayout></Window>)",
                 RECT{0, 0, kWidth, kHeight}),
            nullptr);
  Paint();
  const std::vector<uint32_t> whole = bits;
  const RECT area = {13, 7, 41, 33};  // across the text and the picture's edges
  Paint(&area);
  int drawn = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
      ASSERT_EQ(At(x, y), inside ? whole[y * kWidth + x] : 0u) << x << "," << y;
      if (inside && At(x, y) != 0xFF2040C0u && y < 20) ++drawn;
    }
  }
  EXPECT_GT(drawn, 10);  // some of the text lies in the area
}

// The area a layered window repaints: what its controls asked for since the last time, a hot
// state only when the control shows one, and all of it after a new layout of the root.
TEST_F(PaintTest, TheInvalidAreaIsWhatChangedSinceItWasLastTaken) {
  ASSERT_NE(Load(R"(<Window><HorizontalLayout>
        <Button name="hot" width="20" hotbkcolor="#FF00FF00" /><Button name="plain" width="20" text="x" />
      </HorizontalLayout></Window>)",
                 RECT{0, 0, kWidth, kHeight}),
            nullptr);
  const RECT client = {0, 0, kWidth, kHeight};
  window.manager.UpdateLayout(client);
  window.manager.TakeInvalidArea(client);
  MoveTo(POINT{5, 5});
  EXPECT_EQ(window.manager.TakeInvalidArea(client), Lumi::QRect(0, 0, 20, kHeight));
  MoveTo(POINT{25, 5});  // off the hot one, onto one without a hot look
  EXPECT_EQ(window.manager.TakeInvalidArea(client), Lumi::QRect(0, 0, 20, kHeight));
  EXPECT_TRUE(window.manager.TakeInvalidArea(client).IsEmpty());
  window.manager.FindControl(L"plain")->SetText(L"y");
  window.manager.FindControl(L"hot")->SetEnabled(false);
  EXPECT_EQ(window.manager.TakeInvalidArea(client), Lumi::QRect(0, 0, 40, kHeight));
  window.manager.SetDpi(144);
  window.manager.UpdateLayout(client);
  EXPECT_EQ(window.manager.TakeInvalidArea(client), Lumi::QRect(client));
}

// Under the default UI font Chinese characters come out as their own glyphs, not as the box
// of a missing one (which would look the same for every character).
TEST_F(PaintTest, ChineseTextGetsRealGlyphsWithTheDefaultFont) {
  ASSERT_NE(Load(R"(<Window><Font id="0" name="" size="16" /><HorizontalLayout>
        <Label width="20" text="中" /><Label width="20" text="文" /><Label width="20" text="&#xE000;" />
      </HorizontalLayout></Window>)",
                 RECT{0, 0, kWidth, kHeight}),
            nullptr);
  Paint();
  const auto glyph = [this](int left) {
    std::vector<uint32_t> cell;
    for (int y = 0; y < kHeight; ++y) cell.insert(cell.end(), &bits[y * kWidth + left], &bits[y * kWidth + left + 20]);
    return cell;
  };
  const auto inked = [](const std::vector<uint32_t>& cell) {
    return std::count_if(cell.begin(), cell.end(), [](uint32_t pixel) { return Alpha(pixel) > 128; });
  };
  EXPECT_GT(inked(glyph(0)), 15);
  EXPECT_GT(inked(glyph(20)), 15);
  EXPECT_NE(glyph(0), glyph(20));
  EXPECT_NE(glyph(0), glyph(40));
}

}  // namespace
}  // namespace lumitest
