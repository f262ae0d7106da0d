// A skin designed at 96 dpi shown at 150 %: its layout, fonts and pictures scaled, and the
// window back at 100 % exactly as it was.
#include <algorithm>

#include "tests/platform/Lumilib/LumiFixture.h"

namespace lumitest {
namespace {

using Lumi::QRect;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;

class DpiTest : public LumiTest {
protected:
  QRect Pos(const wchar_t* name) const {
    Lumi::CControlUI* control = window.manager.FindControl(name);
    return control ? control->GetPos() : QRect(-1, -1, -1, -1);
  }
  // Lays the tree out at `dpi` over the skin's window size scaled, as the window is sized, and
  // paints it.
  std::vector<uint32_t> ShowAt(UINT dpi) {
    window.manager.SetDpi(dpi);
    const SIZE design = window.manager.GetInitSize();
    window.manager.UpdateLayout(window.manager.Scale(RECT{0, 0, design.cx, design.cy}));
    return PaintPixels(window.manager.Scale(design.cx), window.manager.Scale(design.cy));
  }
  uint32_t CentreOf(const std::vector<uint32_t>& pixels, const wchar_t* name) const {
    const QRect pos = Pos(name);
    const int width = window.manager.Scale(window.manager.GetInitSize().cx);
    return pixels.at(static_cast<size_t>((pos.top + pos.bottom) / 2 * width + (pos.left + pos.right) / 2));
  }
};

TEST_F(DpiTest, LaysTheSkinOutInScaledPixelsAndBackExactlyAt96) {
  ASSERT_NE(Load(R"(<Window size="200,100">
      <VerticalLayout name="root" inset="5,5,5,5" childpadding="2">
        <Control name="fixed" height="20" />
        <HorizontalLayout name="row" padding="3,0,3,0" childpadding="4">
          <Control name="a" width="50" padding="0,2,0,2" /><Control name="b" /><Control name="c" />
        </HorizontalLayout>
        <Control name="tail" />
        <Control name="float" float="true" pos="10,10,30,20" />
      </VerticalLayout></Window>)",
                 RECT{0, 0, 200, 100}),
            nullptr);
  const auto positions = [this] {
    std::vector<QRect> all;
    for (const wchar_t* name : {L"fixed", L"row", L"a", L"b", L"c", L"tail", L"float"}) all.push_back(Pos(name));
    return all;
  };
  const std::vector<QRect> at96 = positions();

  ShowAt(144);
  EXPECT_EQ(Pos(L"fixed"), QRect(8, 8, 292, 38));  // inset 5 -> 8, height 20 -> 30
  EXPECT_EQ(Pos(L"row"), QRect(13, 41, 287, 90));  // child padding 2 -> 3, padding 3 -> 5
  EXPECT_EQ(Pos(L"tail"), QRect(8, 93, 292, 142));
  EXPECT_EQ(Pos(L"a"), QRect(13, 44, 88, 87));     // width 50 -> 75, padding 2 -> 3
  EXPECT_EQ(Pos(L"b"), QRect(94, 41, 188, 90));    // child padding 4 -> 6, the odd pixel first
  EXPECT_EQ(Pos(L"c"), QRect(194, 41, 287, 90));
  EXPECT_EQ(Pos(L"float"), QRect(15, 15, 45, 30));
  EXPECT_EQ(window.manager.FindControl(L"a")->GetFixedWidth(), 50);  // the skin's value stays

  window.manager.SetDpi(20);
  EXPECT_EQ(window.manager.GetDpi(), 96u);
  ShowAt(96);
  EXPECT_EQ(positions(), at96);
}

TEST_F(DpiTest, FontsAreMadeAgainAtTheScaledSizeAndTextKeepsItsScaledPadding) {
  ASSERT_NE(Load(R"(<Window size="60,20"><Font id="0" name="" size="14" /><HorizontalLayout>
      <Label textpadding="20,0,0,0" text="WWW" textcolor="#FFFFFFFF" /></HorizontalLayout></Window>)",
                 RECT{0, 0, 60, 20}),
            nullptr);
  const auto emHeight = [this] {
    ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
    ScopedSelection selection(dc.Get(), window.manager.GetFont(0));
    TEXTMETRICW metrics = {};
    return ::GetTextMetricsW(dc.Get(), &metrics) ? metrics.tmHeight - metrics.tmInternalLeading : -1;
  };
  const std::wstring text = L"The quick brown fox jumps over the lazy dog";
  const int fitAt96 = window.manager.GetTruncatedStringPos(text.c_str(), 150, 0);
  EXPECT_EQ(emHeight(), 14);

  const std::vector<uint32_t> pixels = ShowAt(144);
  EXPECT_EQ(emHeight(), 21);
  EXPECT_LT(window.manager.GetTruncatedStringPos(text.c_str(), 150, 0), fitAt96);
  int firstInkedColumn = 90;
  for (size_t i = 0; i < pixels.size(); ++i) {
    if ((pixels[i] >> 24) > 128) firstInkedColumn = std::min(firstInkedColumn, static_cast<int>(i % 90));
  }
  EXPECT_GE(firstInkedColumn, 30);  // text padding 20 -> 30
  EXPECT_LT(firstInkedColumn, 36);

  ShowAt(96);
  EXPECT_EQ(emHeight(), 14);
  EXPECT_EQ(window.manager.GetTruncatedStringPos(text.c_str(), 150, 0), fitAt96);
}

// A file written anew within the file system's clock tick would keep its write time.
bool BackdateWriteTime(const std::wstring& path) {
  ScopedKernelHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  const FILETIME longAgo = {0, 0x01C00000};
  return file && ::SetFileTime(file.Get(), nullptr, nullptr, &longAgo);
}

TEST_F(DpiTest, TakesTheTwoTimesPictureAboveOneHundredTwentyFivePercent) {
  ASSERT_TRUE(::CreateDirectoryW(skin.File(L"art").c_str(), nullptr));
  const struct {
    const wchar_t* name;
    int side;
    uint32_t colour;
  } pictures[] = {{L"art\\both.png", 10, kRed},    {L"art\\both@2x.png", 20, kGreen}, {L"art\\single.png", 10, kBlue},
                  {L"album.png", 10, kRed},        {L"album@2x.png", 20, kGreen}};
  for (const auto& picture : pictures) {
    ASSERT_TRUE(WritePng(skin.File(picture.name), picture.side, picture.side, picture.colour));
  }
  ASSERT_NE(Load(R"(<Window size="30,10"><HorizontalLayout><Control name="both" bkimage="art/both.png" />
      <Control name="single" bkimage="art/single.png" /><Control name="album" /></HorizontalLayout></Window>)",
                 RECT{0, 0, 30, 10}),
            nullptr);
  // A downloaded picture, named by its absolute path, has no 2x file.
  window.manager.FindControl(L"album")->SetBkImage(skin.File(L"album.png").c_str());
  const auto centres = [this](UINT dpi) {
    const std::vector<uint32_t> pixels = ShowAt(dpi);
    return std::vector<uint32_t>{CentreOf(pixels, L"both"), CentreOf(pixels, L"single"), CentreOf(pixels, L"album")};
  };
  EXPECT_EQ(centres(96), (std::vector<uint32_t>{kRed, kBlue, kRed}));
  EXPECT_EQ(centres(120), (std::vector<uint32_t>{kRed, kBlue, kRed}));
  EXPECT_EQ(centres(144), (std::vector<uint32_t>{kGreen, kBlue, kRed}));
  EXPECT_EQ(centres(96), (std::vector<uint32_t>{kRed, kBlue, kRed}));

  // Files that arrive or change later are read again.
  EXPECT_EQ(centres(144), (std::vector<uint32_t>{kGreen, kBlue, kRed}));
  ASSERT_TRUE(WritePng(skin.File(L"art\\single@2x.png"), 20, 20, kGreen));
  ASSERT_TRUE(WritePng(skin.File(L"album.png"), 10, 10, kBlue));
  ASSERT_TRUE(BackdateWriteTime(skin.File(L"album.png")));
  EXPECT_EQ(centres(144), (std::vector<uint32_t>{kGreen, kGreen, kBlue}));
}

// Shrunk (a 2x picture) or stretched (a 1x one without 2x) by an uneven factor, a picture
// still covers its rectangle to the edge pixels and nothing beside it.
TEST_F(DpiTest, APictureFillsItsScaledRectangle) {
  ASSERT_TRUE(WritePng(skin.File(L"shrunk.png"), 20, 10, kBlue));
  ASSERT_TRUE(WritePng(skin.File(L"shrunk@2x.png"), 40, 20, kBlue));
  ASSERT_TRUE(WritePng(skin.File(L"stretched.png"), 20, 10, kGreen));
  ASSERT_NE(Load(R"(<Window size="50,20"><Container>
        <Control float="true" pos="3,3,23,13" bkimage="shrunk.png" />
        <Control float="true" pos="27,3,47,13" bkimage="stretched.png" /></Container></Window>)",
                 RECT{0, 0, 50, 20}),
            nullptr);
  const std::vector<uint32_t> pixels = ShowAt(144);
  ASSERT_EQ(pixels.size(), 75u * 30u);
  const QRect shrunk(5, 5, 35, 20);
  const QRect stretched(41, 5, 71, 20);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 75; ++x) {
      const POINT pt = {x, y};
      const uint32_t expected = shrunk.Contains(pt) ? kBlue : stretched.Contains(pt) ? kGreen : 0u;
      ASSERT_EQ(pixels[y * 75 + x], expected) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace lumitest
