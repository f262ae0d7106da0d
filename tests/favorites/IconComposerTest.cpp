// Album and badge icons composed from the emulator's album pictures (tools/emulator/fixtures)
// with the skin shipped beside the test program, or with a scratch skin where a test needs
// pictures missing or replaced. Every .ico is read back (IcoReadBack.h) and its pixels checked.
#include "favorites/IconComposer.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#include "common/ScopedGdiplus.h"
#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/AlbumIcons.h"
#include "favorites/HttpFetch.h"
#include "tests/favorites/IcoReadBack.h"
#include "tests/favorites/ScratchSkin.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/GdiObjects.h"
#include "tests/support/HostPathsForTests.h"
#include "tests/support/ProcessHarness.h"

namespace {

using vxtest::CountFiles;
using vxtest::EmulatorOrigin;
using vxtest::FileBytes;
using vxtest::FileExists;
using vxtest::IcoImageRead;
using vxtest::IcoRead;
using vxtest::Near;
using vxtest::Pixel;
using vxtest::ReadIco;
using vxtest::ScratchSkin;

bool IsRed(const Pixel& p) { return p.r > 150 && p.g < 100 && p.b < 100; }

// The album picture of the emulator: a colour per quadrant and another in the middle.
constexpr Pixel kTopLeft{240, 160, 40}, kTopRight{60, 180, 60}, kBottomLeft{60, 60, 220},
    kBottomRight{120, 60, 200}, kMiddle{40, 200, 220};
constexpr Pixel kMagenta{255, 0, 255};

// Colours of the tests' own masks (0xAARRGGBB).
constexpr uint32_t kClear = 0x00000000, kOpaqueRed = 0xFFFF0000, kOpaqueGreen = 0xFF00FF00, kOpaqueBlue = 0xFF0000FF;

// ---------------------------------------------------------------------------------------
// The process: GDI+ started once (as the program does), and the client data folder in a
// scratch folder, so the icon folder starts missing and no other test's icons are touched.

class IconTestEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    m_gdiplus = std::make_unique<ScopedGdiplus>();
    ASSERT_TRUE(m_gdiplus->IsStarted());
    m_dataFolder = std::make_unique<vxtest::ScratchFolder>(L"icons-data");
    vxtest::UseHostPaths(m_dataFolder->Path());
    s_dataFolder = m_dataFolder->Path().substr(0, m_dataFolder->Path().size() - 1);
  }
  void TearDown() override {
    m_dataFolder.reset();
    m_gdiplus.reset();
  }
  static std::wstring IconFolder() { return s_dataFolder + L"\\VexoClient\\Icon\\"; }
  static std::wstring DataFolder() { return s_dataFolder; }

private:
  std::unique_ptr<ScopedGdiplus> m_gdiplus;
  std::unique_ptr<vxtest::ScratchFolder> m_dataFolder;
  static inline std::wstring s_dataFolder;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new IconTestEnvironment);

std::wstring Url(const std::string& path) { return Utf8ToWide(EmulatorOrigin() + path); }

size_t RequestCount(const std::string& path) {
  size_t count = 0;
  for (const Json::Value& request : vxtest::EmulatorJson("GET", "/__emu/requests?prefix=" + path)) {
    count += request["path"].asString() == path ? 1 : 0;
  }
  return count;
}

std::wstring TempFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return folder;
}

// Runs `work` on a thread of its own and waits at most `limit`: a modal box would make it hang.
std::optional<bool> RunWithTimeLimit(std::function<bool()> work, std::chrono::milliseconds limit) {
  std::packaged_task<bool()> task(std::move(work));
  std::future<bool> result = task.get_future();
  std::thread(std::move(task)).detach();
  if (result.wait_for(limit) != std::future_status::ready) return std::nullopt;
  return result.get();
}

class IconComposerTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    vxtest::ResetEmulator();
  }

  // The album picture downloaded once into the test's folder.
  std::wstring Picture(const std::string& path = "/pictures/album_123.jpg") {
    const std::wstring file = out.File(L"picture" + std::to_wstring(++m_pictures));
    EXPECT_TRUE(HttpDownloadToFile(Url(path), nullptr, 0, 0, file));
    return file;
  }

  vxtest::ScratchFolder out{L"icons"};
  std::wstring ico = out.File(L"album.ico");

private:
  int m_pictures = 0;
};

// Corner pixels in the cut colour; the middle and each quadrant show the picture.
void ExpectPictureInsideCutCorners(const IcoImageRead& image, const Pixel& cut) {
  SCOPED_TRACE(image.width);
  const int s = image.width, p = s * 3 / 10, q = s - 1 - p;
  EXPECT_EQ(image.At(0, 0), cut);
  EXPECT_EQ(image.At(s - 1, 0), cut);
  EXPECT_EQ(image.At(0, s - 1), cut);
  EXPECT_EQ(image.At(s - 1, s - 1), cut);
  EXPECT_PRED2(Near, image.At(s / 2, s / 2), kMiddle);
  EXPECT_PRED2(Near, image.At(p, p), kTopLeft);
  EXPECT_PRED2(Near, image.At(q, p), kTopRight);
  EXPECT_PRED2(Near, image.At(p, q), kBottomLeft);
  EXPECT_PRED2(Near, image.At(q, q), kBottomRight);
}

// How many pixels of row `y`, from the left or the right edge, have colour `color`.
int RunFromLeft(const IcoImageRead& image, int y, const Pixel& color) {
  int x = 0;
  while (x < image.width && image.At(x, y) == color) ++x;
  return x;
}

int RunFromRight(const IcoImageRead& image, int y, const Pixel& color) {
  int n = 0;
  while (n < image.width && image.At(image.width - 1 - n, y) == color) ++n;
  return n;
}

// ---------------------------------------------------------------------------------------
// The shipped skin

TEST_F(IconComposerTest, ShippedSkinBesideTheProgramHasEveryPicture) {
  const IconComposer composer;
  EXPECT_EQ(composer.SkinFolder(), vxtest::ShippedSkinFolder());
  for (const auto& [side, cut] : composer.CornerTable) {
    const std::wstring number = std::to_wstring(side);
    for (const std::wstring& relative : {L"\\skin\\mask\\mask_" + number, L"\\mask\\mask_" + number,
                                         L"\\mask_" + number, L"\\updateIcon\\update_" + number,
                                         L"\\update_" + number}) {
      EXPECT_TRUE(FileExists(composer.SkinFolder() + relative + L".png")) << WideToUtf8(relative);
    }
  }
  EXPECT_TRUE(FileExists(composer.SkinFolder() + L"\\favorite.ico"));
}

TEST_F(IconComposerTest, AlbumIconHoldsFourOpaque32BitImagesInSizeOrder) {
  ASSERT_TRUE(IconComposer().ComposeAlbumIcon(Url("/pictures/album_123.jpg"), ico, RGB(0, 0, 0), kAlbumIconSizes, 0));
  const IcoRead read = ReadIco(ico);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.fileSize, 82726u);
  ASSERT_EQ(read.Sides(), (std::vector<int>{128, 48, 32, 16}));
  const uint32_t blockSizes[] = {67624, 9640, 4264, 1128};
  for (size_t i = 0; i < read.images.size(); ++i) {
    SCOPED_TRACE(read.images[i].width);
    EXPECT_EQ(read.images[i].height, read.images[i].width);
    EXPECT_EQ(read.images[i].bitCount, 32);
    EXPECT_EQ(read.images[i].blockSize, blockSizes[i]);
    EXPECT_EQ(read.images[i].headerHeight, 2 * read.images[i].height);
    EXPECT_TRUE(read.images[i].maskAllZero);
  }
}

TEST_F(IconComposerTest, JpegAndPngShowInsideTheCutCornersInBothLooks) {
  for (const char* path : {"/pictures/album_123.jpg", "/pictures/album_123.png"}) {
    for (int episodic : {0, 1}) {
      SCOPED_TRACE(std::string(path) + (episodic ? " episodic" : " plain"));
      ASSERT_TRUE(IconComposer().ComposeAlbumIcon(Url(path), ico, RGB(255, 0, 255), kAlbumIconSizes, episodic));
      const IcoRead read = ReadIco(ico);
      ASSERT_EQ(read.Sides(), (std::vector<int>{128, 48, 32, 16}));
      for (const IcoImageRead& image : read.images) ExpectPictureInsideCutCorners(image, kMagenta);
    }
  }
}

// Each corner a right triangle in the cut colour: the top rows cut, cut - 1, ..., 1 pixels
// long, the bottom rows one shorter (cut - 1, ..., 1), then the picture.
void ExpectCornerCuts(const IcoRead& read, const IconComposer& composer) {
  for (const IcoImageRead& image : read.images) {
    SCOPED_TRACE(image.width);
    const int s = image.width, cut = composer.CornerTable.at(s);
    for (int j = 0; j <= cut; ++j) {
      EXPECT_EQ(RunFromLeft(image, j, kMagenta), cut - j) << "row " << j;
      EXPECT_EQ(RunFromRight(image, j, kMagenta), cut - j) << "row " << j;
    }
    for (int k = 0; k < cut; ++k) {
      EXPECT_EQ(RunFromLeft(image, s - 1 - k, kMagenta), cut - 1 - k) << "row " << s - 1 - k;
      EXPECT_EQ(RunFromRight(image, s - 1 - k, kMagenta), cut - 1 - k) << "row " << s - 1 - k;
    }
  }
}

TEST_F(IconComposerTest, CornerCutsAreTrianglesOfTheTableLength) {
  const ScratchSkin clear(ScratchSkin::Empty);  // masks that hide nothing
  for (int side : kAlbumIconSizes) clear.PutSolid(L"skin\\mask\\mask_" + std::to_wstring(side) + L".png", side, kClear);
  const IconComposer composer(clear.Folder());
  ASSERT_TRUE(composer.ComposeIconFromPicture(Picture(), ico, RGB(255, 0, 255), kAlbumIconSizes, 0));
  const IcoRead read = ReadIco(ico);
  ASSERT_EQ(read.Sides(), (std::vector<int>{128, 48, 32, 16}));
  ExpectCornerCuts(read, composer);
  const IcoImageRead& big = read.images[0];
  EXPECT_EQ(RunFromLeft(big, 0, kMagenta), 19);
  EXPECT_EQ(RunFromRight(big, 0, kMagenta), 19);
  EXPECT_EQ(RunFromLeft(big, 127, kMagenta), 18);
  EXPECT_EQ(RunFromRight(big, 127, kMagenta), 18);
}

TEST_F(IconComposerTest, ShippedMasksLeaveTheWholeCutVisible) {
  for (int episodic : {0, 1}) {
    SCOPED_TRACE(episodic);
    const IconComposer composer;
    ASSERT_TRUE(composer.ComposeIconFromPicture(Picture(), ico, RGB(255, 0, 255), kAlbumIconSizes, episodic));
    const IcoRead read = ReadIco(ico);
    ASSERT_EQ(read.Sides(), (std::vector<int>{128, 48, 32, 16}));
    ExpectCornerCuts(read, composer);
  }
}

// ---------------------------------------------------------------------------------------
// Finding the masks

TEST_F(IconComposerTest, FirstChoiceMaskWinsThenTheSecondForEachLook) {
  struct Case {
    int episodic;
    const wchar_t* first;
    const wchar_t* second;
  };
  const Case cases[] = {{0, L"skin\\mask\\mask_32.png", L"mask\\mask_32.png"},
                        {1, L"mask\\mask_32.png", L"mask_32.png"}};
  const std::wstring picture = Picture();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.episodic);
    const ScratchSkin skin(ScratchSkin::Empty);
    skin.PutSolid(c.first, 32, kOpaqueRed);
    skin.PutSolid(c.second, 32, kOpaqueBlue);
    ASSERT_TRUE(IconComposer(skin.Folder()).ComposeIconFromPicture(picture, ico, 0, {32}, c.episodic));
    EXPECT_EQ(ReadIco(ico).images.at(0).At(16, 16), (Pixel{255, 0, 0}));

    skin.Remove(c.first);
    ASSERT_TRUE(IconComposer(skin.Folder()).ComposeIconFromPicture(picture, ico, 0, {32}, c.episodic));
    EXPECT_EQ(ReadIco(ico).images.at(0).At(16, 16), (Pixel{0, 0, 255}));
  }
}

TEST_F(IconComposerTest, EachLookIgnoresTheOtherLooksFirstChoice) {
  const std::wstring picture = Picture();
  const ScratchSkin plainOnly(ScratchSkin::Empty);
  plainOnly.PutSolid(L"skin\\mask\\mask_32.png", 32, kOpaqueRed);
  plainOnly.PutSolid(L"skin\\mask\\mask_128.png", 128, kOpaqueRed);
  EXPECT_FALSE(IconComposer(plainOnly.Folder()).ComposeIconFromPicture(picture, ico, 0, {32}, 1));
  EXPECT_FALSE(FileExists(ico));

  const ScratchSkin episodicSecondOnly(ScratchSkin::Empty);
  episodicSecondOnly.PutSolid(L"mask_32.png", 32, kOpaqueRed);
  EXPECT_FALSE(IconComposer(episodicSecondOnly.Folder()).ComposeIconFromPicture(picture, ico, 0, {32}, 0));
  EXPECT_FALSE(FileExists(ico));
}

TEST_F(IconComposerTest, MissingSixteenMaskFallsBackToTwentyFour) {
  const std::wstring picture = Picture();
  for (const wchar_t* place24 : {L"skin\\mask\\mask_24.png", L"mask\\mask_24.png"}) {
    SCOPED_TRACE(WideToUtf8(place24));
    const ScratchSkin skin(ScratchSkin::Empty);
    for (int side : {128, 48, 32}) skin.PutSolid(L"skin\\mask\\mask_" + std::to_wstring(side) + L".png", side, kClear);
    skin.PutSolid(place24, 24, kOpaqueGreen);
    ASSERT_TRUE(IconComposer(skin.Folder()).ComposeIconFromPicture(picture, ico, 0, kAlbumIconSizes, 0));
    const IcoRead read = ReadIco(ico);
    ASSERT_EQ(read.Sides(), (std::vector<int>{128, 48, 32, 16}));
    EXPECT_EQ(read.images[3].At(8, 8), (Pixel{0, 255, 0}));  // the 24 mask, scaled down over the picture
    EXPECT_PRED2(Near, read.images[0].At(64, 64), kMiddle);  // the clear masks of the other sizes
  }
}

TEST_F(IconComposerTest, OtherSizesFallBackTo128AndASizeWithoutAnyMaskIsLeftOut) {
  const ScratchSkin skin(ScratchSkin::Empty);
  skin.PutSolid(L"mask\\mask_128.png", 128, kOpaqueBlue);  // the plain look's second choice
  ASSERT_TRUE(IconComposer(skin.Folder()).ComposeIconFromPicture(Picture(), ico, 0, kAlbumIconSizes, 0));
  const IcoRead read = ReadIco(ico);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.Sides(), (std::vector<int>{128, 48, 32}));  // 16 falls back to 24, which is missing
  EXPECT_EQ(read.fileSize, 6u + 3 * 16 + 67624 + 9640 + 4264);
  for (const IcoImageRead& image : read.images) {
    EXPECT_EQ(image.At(image.width / 2, image.width / 2), (Pixel{0, 0, 255})) << image.width;
  }
}

TEST_F(IconComposerTest, NoMasksAtAllWritesNoFile) {
  const ScratchSkin skin(ScratchSkin::Empty);
  const IconComposer composer(skin.Folder());
  EXPECT_FALSE(composer.ComposeAlbumIcon(Url("/pictures/album_123.jpg"), ico, 0, kAlbumIconSizes, 0));
  EXPECT_FALSE(FileExists(ico));
  EXPECT_EQ(RequestCount("/pictures/album_123.jpg"), 1u);  // the picture came; only the masks were missing
}

TEST_F(IconComposerTest, ShippedSkinWithoutASixteenMaskStillGivesFourImages) {
  const ScratchSkin skin(ScratchSkin::CopyOfShipped);
  skin.Remove(L"skin\\mask\\mask_16.png");
  skin.Remove(L"mask\\mask_16.png");
  ASSERT_TRUE(IconComposer(skin.Folder()).ComposeIconFromPicture(Picture(), ico, RGB(255, 0, 255), kAlbumIconSizes, 0));
  const IcoRead read = ReadIco(ico);
  ASSERT_EQ(read.Sides(), (std::vector<int>{128, 48, 32, 16}));
  EXPECT_PRED2(Near, read.images[3].At(8, 8), kMiddle);
}

// ---------------------------------------------------------------------------------------
// Pictures that cannot be used

TEST_F(IconComposerTest, DownloadsThatGiveNoPictureWriteNoFileAndLeaveNoTemporaryFile) {
  const std::wstring temp = TempFolder();
  const int temporaryBefore = CountFiles(temp, L"~pi*.tmp");
  for (const char* path : {"/pictures/missing.jpg", "/pictures/error.jpg", "/pictures/exact1024.jpg",
                           "/pictures/empty.jpg", "/pictures/not_a_picture.jpg", "/pictures/not-served.jpg"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(IconComposer().ComposeAlbumIcon(Url(path), ico, 0, kAlbumIconSizes, 0));
    EXPECT_FALSE(FileExists(ico));
  }
  EXPECT_FALSE(IconComposer().ComposeAlbumIcon(L"", ico, 0, kAlbumIconSizes, 0));
  ASSERT_TRUE(IconComposer().ComposeAlbumIcon(Url("/pictures/album_123.png"), ico, 0, kAlbumIconSizes, 0));
  EXPECT_EQ(CountFiles(temp, L"~pi*.tmp"), temporaryBefore);
  EXPECT_EQ(CountFiles(out.Path(), L"*.tmp"), 0);
}

TEST_F(IconComposerTest, MissingPictureOrNoSizesWriteNoFile) {
  const IconComposer composer;
  EXPECT_FALSE(composer.ComposeIconFromPicture(out.File(L"no-such-picture.jpg"), ico, 0, kAlbumIconSizes, 0));
  EXPECT_FALSE(composer.ComposeIconFromPicture(Picture(), ico, 0, {}, 0));
  EXPECT_FALSE(composer.ComposeIconFromPicture(out.Path(), ico, 0, kAlbumIconSizes, 0));  // a folder
  EXPECT_FALSE(FileExists(ico));
}

// ---------------------------------------------------------------------------------------
// The badge icon

TEST_F(IconComposerTest, BadgeSitsInTheTopRightThirdOverTheAlbumIcon) {
  ASSERT_TRUE(IconComposer().ComposeIconFromPicture(Picture(), ico, 0, kAlbumIconSizes, 0));
  const std::vector<uint8_t> albumBytes = FileBytes(ico);
  const std::wstring badgeIco = out.File(L"updatealbum.ico");
  ASSERT_TRUE(IconComposer().ComposeUpdateBadgeIcon(ico, badgeIco, 0, kAlbumIconSizes));
  EXPECT_TRUE(FileBytes(ico) == albumBytes) << "the album icon changed";

  const IcoRead read = ReadIco(badgeIco);
  ASSERT_EQ(read.Sides(), (std::vector<int>{128, 48, 32, 16}));
  EXPECT_EQ(read.fileSize, 82726u);
  for (const IcoImageRead& image : read.images) {
    SCOPED_TRACE(image.width);
    const int s = image.width, left = 2 * s / 3, side = s / 3;
    int minX = s, maxX = -1, maxY = -1, red = 0;
    for (int y = 0; y < s; ++y) {
      for (int x = 0; x < s; ++x) {
        if (!IsRed(image.At(x, y))) continue;
        ++red;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
      }
    }
    EXPECT_GE(minX, left);
    EXPECT_LE(maxX, left + side - 1);
    EXPECT_LE(maxY, side - 1);
    EXPECT_GE(maxX - minX + 1, side - 2);  // as wide as the badge, less its antialiased rim
    EXPECT_GE(red, side * side / 3);
    EXPECT_PRED2(Near, image.At(s / 2, s / 2), kMiddle);  // the album icon below
  }
  const IcoImageRead& small = read.images[3];
  EXPECT_TRUE(IsRed(small.At(12, 0)) || IsRed(small.At(12, 1))) << small.At(12, 0) << small.At(12, 1);
}

TEST_F(IconComposerTest, BadgeNeedsTheAlbumIconAndABadgePicture) {
  const std::wstring badgeIco = out.File(L"updatealbum.ico");
  EXPECT_FALSE(IconComposer().ComposeUpdateBadgeIcon(out.File(L"album-missing.ico"), badgeIco, 0, kAlbumIconSizes));
  EXPECT_FALSE(FileExists(badgeIco));

  ASSERT_TRUE(IconComposer().ComposeIconFromPicture(Picture(), ico, 0, kAlbumIconSizes, 0));
  const ScratchSkin noBadges(ScratchSkin::CopyOfShipped);
  for (const auto& [side, cut] : IconComposer().CornerTable) {
    noBadges.Remove(L"updateIcon\\update_" + std::to_wstring(side) + L".png");
    noBadges.Remove(L"update_" + std::to_wstring(side) + L".png");
  }
  EXPECT_FALSE(IconComposer(noBadges.Folder()).ComposeUpdateBadgeIcon(ico, badgeIco, 0, kAlbumIconSizes));
  EXPECT_FALSE(FileExists(badgeIco));
}

// ---------------------------------------------------------------------------------------
// Writing the file

TEST_F(IconComposerTest, UnwritableTargetLeavesATraceInsteadOfABox) {
  const std::wstring picture = Picture();
  ::CreateDirectoryW(out.File(L"taken.ico").c_str(), nullptr);
  for (const std::wstring& target : {out.File(L"no-such-folder\\album.ico"), out.File(L"taken.ico")}) {
    SCOPED_TRACE(WideToUtf8(target));
    WriteTrace(L"tailcast", L"WriteIcoFile : ", L"");
    const std::optional<bool> written = RunWithTimeLimit(
        [picture, target] { return IconComposer().ComposeIconFromPicture(picture, target, 0, kAlbumIconSizes, 0); },
        std::chrono::seconds(30));
    ASSERT_TRUE(written.has_value()) << "the composition hung (a message box?)";
    EXPECT_FALSE(*written);
    const std::wstring trace = vxtest::ReadTrace(kTraceFile, L"tailcast", L"WriteIcoFile : ").value_or(L"");
    EXPECT_NE(trace.find(L"Error to open file to save!"), std::wstring::npos) << WideToUtf8(trace);
    EXPECT_NE(trace.find(target), std::wstring::npos) << WideToUtf8(trace);
  }
  EXPECT_EQ(CountFiles(out.Path(), L"*.tmp"), 0);
}

TEST_F(IconComposerTest, RewriteReplacesTheWholeFileAndLeavesNoTemporaryFile) {
  const std::wstring picture = Picture();
  {
    ScopedKernelHandle junk(::CreateFileW(ico.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string bytes(200000, 'x');  // longer than any album icon
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(junk.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }
  ASSERT_TRUE(IconComposer().ComposeIconFromPicture(picture, ico, 0, kAlbumIconSizes, 0));
  const IcoRead read = ReadIco(ico);
  EXPECT_TRUE(read.ok);
  EXPECT_EQ(read.fileSize, 82726u);
  EXPECT_EQ(CountFiles(out.Path(), L"*.tmp"), 0);
}

TEST_F(IconComposerTest, WriteIcoFileNeedsBitmaps) {
  EXPECT_FALSE(IconComposer::WriteIcoFile({}, ico));
  EXPECT_FALSE(IconComposer::WriteIcoFile({nullptr}, ico));
  EXPECT_FALSE(FileExists(ico));
  EXPECT_FALSE(IconComposer::BitmapToIconImage(nullptr).IsValid());
}

TEST_F(IconComposerTest, GdiObjectsDoNotGrowOverFiftyCompositions) {
  const std::wstring picture = Picture();
  const std::wstring badgeIco = out.File(L"updatealbum.ico");
  auto compose = [&] {
    EXPECT_TRUE(IconComposer().ComposeIconFromPicture(picture, ico, 0, kAlbumIconSizes, 0));
    EXPECT_TRUE(IconComposer().ComposeUpdateBadgeIcon(ico, badgeIco, 0, kAlbumIconSizes));
  };
  compose();  // first use of GDI+ codecs and caches
  const DWORD before = vxtest::ReadGdiObjects(::GetCurrentProcess());
  ASSERT_GT(before, 0u);
  for (int i = 0; i < 50; ++i) compose();
  EXPECT_LE(vxtest::ReadGdiObjects(::GetCurrentProcess()), before);
}

// ---------------------------------------------------------------------------------------
// The icon files of an album

class AlbumIconFileTest : public IconComposerTest {
protected:
  static std::wstring AlbumIcon(int albumId) {
    return IconTestEnvironment::IconFolder() + L"album_" + std::to_wstring(albumId) + L".ico";
  }
  static std::string AnsiUrl(const std::string& path) { return WideToAnsi(Url(path)); }
};

TEST_F(AlbumIconFileTest, IconFolderIsMadeAndTheIconHasBlackCorners) {
  vxtest::RemoveTree(IconTestEnvironment::DataFolder() + L"\\VexoClient");
  ASSERT_FALSE(FileExists(IconTestEnvironment::DataFolder() + L"\\VexoClient"));
  const std::wstring path = MakeAlbumIconFile(4101, AnsiUrl("/pictures/album_123.jpg"), 0);
  EXPECT_EQ(path, AlbumIcon(4101));
  const IcoRead read = ReadIco(path);
  ASSERT_EQ(read.Sides(), (std::vector<int>{128, 48, 32, 16}));
  EXPECT_EQ(read.fileSize, 82726u);
  for (const IcoImageRead& image : read.images) ExpectPictureInsideCutCorners(image, Pixel{0, 0, 0});
  EXPECT_EQ(CountFiles(IconTestEnvironment::IconFolder(), L"*.tmp"), 0);
}

TEST_F(AlbumIconFileTest, ExistingIconIsReusedEvenWhenThePictureChanged) {
  const std::wstring path = MakeAlbumIconFile(4102, AnsiUrl("/pictures/album_123.jpg"), 0);
  const std::vector<uint8_t> first = FileBytes(path);
  ASSERT_EQ(first.size(), 82726u);
  EXPECT_EQ(MakeAlbumIconFile(4102, AnsiUrl("/pictures/album_123.png"), 1), path);
  EXPECT_TRUE(FileBytes(path) == first) << "the album icon was made again";
  EXPECT_EQ(RequestCount("/pictures/album_123.png"), 0u);
}

TEST_F(AlbumIconFileTest, PathComesBackEvenWhenNoIconCouldBeMade) {
  for (const std::string& url : {AnsiUrl("/pictures/missing.jpg"), AnsiUrl("/pictures/not_a_picture.jpg"),
                                 std::string()}) {
    SCOPED_TRACE(url);
    EXPECT_EQ(MakeAlbumIconFile(4103, url, 0), AlbumIcon(4103));
    EXPECT_FALSE(FileExists(AlbumIcon(4103)));
  }
  EXPECT_EQ(MakeAlbumIconFile(-7, AnsiUrl("/pictures/missing.jpg"), 0), AlbumIcon(-7));
}

TEST_F(AlbumIconFileTest, BadgeIconIsWrittenBesideAndRenewedEachTime) {
  const std::wstring path = MakeAlbumIconFile(4104, AnsiUrl("/pictures/album_123.png"), 1);
  const std::wstring badge = IconTestEnvironment::IconFolder() + L"updatealbum_4104.ico";
  EXPECT_EQ(UpdateIconPathFor(path), badge);
  {
    ScopedKernelHandle stale(::CreateFileW(badge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  MakeUpdateIconFile(path);
  const IcoRead read = ReadIco(badge);
  ASSERT_EQ(read.Sides(), (std::vector<int>{128, 48, 32, 16}));
  EXPECT_EQ(read.fileSize, 82726u);
  EXPECT_TRUE(IsRed(read.images[0].At(106, 4)) || IsRed(read.images[0].At(106, 8)));

  MakeUpdateIconFile(AlbumIcon(4199));  // no album icon, no badge
  EXPECT_FALSE(FileExists(IconTestEnvironment::IconFolder() + L"updatealbum_4199.ico"));
}

TEST(UpdateIconPath, UpdateGoesInFrontOfTheFileName) {
  EXPECT_EQ(UpdateIconPathFor(L"C:\\data\\Icon\\album_12.ico"), L"C:\\data\\Icon\\updatealbum_12.ico");
  EXPECT_EQ(UpdateIconPathFor(L"album_12.ico"), L"updatealbum_12.ico");
  EXPECT_EQ(UpdateIconPathFor(L"C:\\a.b\\c"), L"C:\\a.b\\updatec");
}

}  // namespace
