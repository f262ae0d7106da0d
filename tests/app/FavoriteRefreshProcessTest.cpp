// A favourite's whole road in the real program: hand-off, shortcut, album icon from the
// emulator's picture, episode count and play address from its catalogue, play history.
// Runs under the Chinese code page, in which the store keeps the episode titles.
#include <gtest/gtest.h>

#include "app/ClientLocations.h"
#include "common/Registry.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"
#include "tests/app/ProgramUnderTest.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/LinkReader.h"

namespace {

using namespace vxtest;

const std::wstring kUserKey = std::wstring(kClientUserKeyFormat) + kClientProductKey;

std::wstring FavoriteText(int albumId, const std::wstring& name, int channel) {
  const std::wstring origin = Utf8ToWide(EmulatorOrigin());
  return L"{\"AlbumID\":" + std::to_wstring(albumId) + L",\"AlbumName\":\"" + name + L"\",\"ChannelID\":" +
         std::to_wstring(channel) + L",\"PicUrl\":\"" + origin + L"/pictures/album_123.jpg\",\"VideoUrl\":" +
         L"\"http://www.vexo.com/v_" + std::to_wstring(albumId) + L".html\"}";
}


std::string TargetOf(const std::wstring& lnk) {
  LinkInfo info;
  return FileExists(lnk) && ReadLink(lnk, info) ? info.targetItemName : std::string();
}

ULONGLONG FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class FavoriteRefreshTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    ResetEmulator();  // the writer asks for the picture's 128-pixel version, album_123_128_128.jpg
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue, data.Path()));
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"0"));
    ASSERT_TRUE(program.InstallSkin());
    desktop = GetDesktopDirectory();
    ASSERT_FALSE(desktop.empty());
  }
  void TearDown() override {
    EndAllInstances();
    DeleteStoredLinks(Store());
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey.c_str(), L"Status");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey.c_str(), L"Cookie");
  }

  void Favor(int albumId, const std::wstring& name, int channel = 2) {
    running = program.Start(L"update,,DeskFavor;strjs=" + FavoriteText(albumId, name, channel));
    ASSERT_NE(program.WaitForControlWindow(running.Id()), nullptr);
  }
  std::wstring Lnk(const std::wstring& name) const { return desktop + L"\\" + name + L".lnk"; }
  std::wstring IconFolder() const { return data.Path() + L"VexoClient\\Icon\\"; }
  // The program's store in this test's data folder (the test process keeps its own first one).
  CShortcutStore Store() const { return CShortcutStore(data.Path() + L"VexoClient\\vexo_shortCut.dll"); }
  std::optional<ShortcutRecord> StoredRow(int albumId) {
    std::vector<ShortcutRecord> rows;
    Store().Load(rows);
    for (const ShortcutRecord& row : rows) {
      if (row.nAlbumID == albumId) return row;
    }
    return std::nullopt;
  }

  ScratchFolder data{L"refresh-data"};
  ProgramUnderTest program{L"refresh"};
  ChildProcess running;
  std::wstring desktop;
};

TEST_F(FavoriteRefreshTest, WebFavoriteEndsWithEpisodeCountAlbumIconAndPlayPage) {
  Favor(123, L"ABC");
  const std::wstring renamed = Lnk(L"ABC 更新至12集");
  // The store follows the saved file: wait for both.
  ASSERT_TRUE(WaitUntil([&] {
    const auto row = StoredRow(123);
    return TargetOf(renamed) == "http://www.vexo.com/a_123.html?src=fromtailcast" && row &&
           row->strVideoURL == "http://www.vexo.com/a_123.html";
  }, kProcessTimeoutMs)) << "target now: " << TargetOf(renamed);
  EXPECT_FALSE(FileExists(Lnk(L"ABC")));

  LinkInfo info;
  ASSERT_TRUE(ReadLink(renamed, info));
  EXPECT_EQ(info.icon, IconFolder() + L"album_123.ico");
  EXPECT_EQ(info.iconIndex, 0);
  EXPECT_EQ(info.description, L"ABC");
  EXPECT_EQ(info.arguments, L"&src=fromtailcast");
  EXPECT_EQ(FileSize(IconFolder() + L"album_123.ico"), 82726u);
  EXPECT_TRUE(FileExists(IconFolder() + L"updatealbum_123.ico"));

  const auto row = StoredRow(123);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(AnsiToWide(row->strTips), L"ABC 更新至12集");
  EXPECT_EQ(AnsiToWide(row->strLNK), renamed);
  EXPECT_EQ(row->nFinished, 0);
  EXPECT_EQ(AnsiToWide(row->strIconName), IconFolder() + L"album_123.ico");
  EXPECT_EQ(row->strVideoURL, "http://www.vexo.com/a_123.html");
  EXPECT_EQ(program.Trace(L"Tailcast", L"UpdateName :"), L"Update first url");
}

TEST_F(FavoriteRefreshTest, CompleteAlbumIsNamedWithItsTotal) {
  Favor(124, L"Complete");
  const std::wstring renamed = Lnk(L"Complete 40集全");
  ASSERT_TRUE(WaitUntil([&] {
    const auto row = StoredRow(124);
    return TargetOf(renamed) == "http://www.vexo.com/a_124.html?src=fromtailcast" && row &&
           row->strVideoURL == "http://www.vexo.com/a_124.html";
  }, kProcessTimeoutMs));
  const auto row = StoredRow(124);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->nFinished, 1);
  EXPECT_EQ(AnsiToWide(row->strTips), L"Complete 40集全");
}

TEST_F(FavoriteRefreshTest, FilmKeepsItsName) {
  Favor(125, L"Film", 1);
  const std::wstring lnk = Lnk(L"Film");
  ASSERT_TRUE(WaitUntil([&] { return TargetOf(lnk) == "http://www.vexo.com/v_125.html?src=fromtailcast" &&
                                     StoredRow(125) && StoredRow(125)->strVideoURL == "http://www.vexo.com/v_125.html" &&
                                     program.Trace(L"Tailcast", L"UpdateName :") == L"Update first url"; },
                        kProcessTimeoutMs));
  LinkInfo info;
  ASSERT_TRUE(ReadLink(lnk, info));
  EXPECT_EQ(info.icon, IconFolder() + L"album_125.ico");
  ASSERT_TRUE(StoredRow(125).has_value());
  EXPECT_EQ(StoredRow(125)->nFinished, 0);
}

TEST_F(FavoriteRefreshTest, PlayRecordWinsOverThePlayPage) {
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"1"));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Cookie", L"cookie-123"));
  Favor(123, L"ABC");
  const std::wstring renamed = Lnk(L"ABC 更新至12集");
  ASSERT_TRUE(WaitUntil([&] { return TargetOf(renamed) == "http://www.vexo.com/v_played123.html?src=fromtailcast"; },
                        kProcessTimeoutMs))
      << "target now: " << TargetOf(renamed);
  // The row follows the shortcut once it is saved, a moment later.
  EXPECT_TRUE(WaitUntil(
      [&] { return StoredRow(123) && StoredRow(123)->strVideoURL == "http://www.vexo.com/v_played123.html"; },
      kProcessTimeoutMs))
      << (StoredRow(123) ? StoredRow(123)->strVideoURL : std::string("no row"));
}

TEST_F(FavoriteRefreshTest, UnreadableEpisodeCountLeavesTheName) {
  Favor(901, L"Garbled");  // the emulator answers this album with bytes that are no message
  const std::wstring lnk = Lnk(L"Garbled");
  ASSERT_TRUE(WaitUntil([&] { return program.Trace(L"Tailcast", L"UpdateName :").has_value(); }, kProcessTimeoutMs));
  EXPECT_TRUE(WaitUntil([&] { return program.Trace(L"Tailcast", L"UpdateName :") == L"Update first url"; },
                        kProcessTimeoutMs));
  EXPECT_TRUE(FileExists(lnk));
  LinkInfo info;
  ASSERT_TRUE(ReadLink(lnk, info));
  EXPECT_EQ(info.icon, IconFolder() + L"album_901.ico");
  ::Sleep(500);  // the album information (also garbled) changes nothing either
  EXPECT_EQ(TargetOf(lnk), "http://www.vexo.com/v_901.html?src=fromtailcast");
}

TEST_F(FavoriteRefreshTest, AlbumWithoutRequiredFieldsChangesNoAddress) {
  Favor(902, L"Partial");
  const std::wstring renamed = Lnk(L"Partial");
  ASSERT_TRUE(WaitUntil([&] {
    return EmulatorJson("GET", "/__emu/requests?prefix=/r/dorsa/album/b/902/pb/").size() == 1;
  }, kProcessTimeoutMs));
  ::Sleep(1000);
  EXPECT_EQ(TargetOf(renamed), "http://www.vexo.com/v_902.html?src=fromtailcast");
  ASSERT_TRUE(StoredRow(902).has_value());
  EXPECT_EQ(StoredRow(902)->strVideoURL, "http://www.vexo.com/v_902.html");
}

// The episode count still shows on a shortcut whose album name alone would pass MAX_PATH:
// the name is cut in the file name only.
TEST_F(FavoriteRefreshTest, LongNameIsCutBeforeItsEpisodeCount) {
  const std::wstring name = L"L" + std::wstring(299, L'o');
  Favor(123, name);
  std::wstring lnk;
  ASSERT_TRUE(WaitUntil([&] {
    const auto row = StoredRow(123);
    lnk = row ? AnsiToWide(row->strLNK) : std::wstring();
    return TargetOf(lnk) == "http://www.vexo.com/a_123.html?src=fromtailcast";
  }, kProcessTimeoutMs)) << "shortcut now: " << WideToUtf8(lnk);
  EXPECT_LE(lnk.size(), static_cast<size_t>(MAX_PATH - 1));
  EXPECT_EQ(lnk.substr(0, desktop.size() + 3), desktop + L"\\Lo");
  EXPECT_EQ(lnk.substr(lnk.size() - 12), L"o 更新至12集.lnk");
  LinkInfo info;
  ASSERT_TRUE(ReadLink(lnk, info));
  EXPECT_EQ(info.description, name);
  EXPECT_EQ(AnsiToWide(StoredRow(123)->strTips), name + L" 更新至12集");
  EXPECT_EQ(AnsiToWide(StoredRow(123)->strAlbumName), name);
}

}  // namespace
