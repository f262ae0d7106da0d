// Desk favourites written as real .lnk files on Wine's desktop, remembered in a real store.
#include "favorites/DesktopShortcut.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/ComScope.h"
#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/HostPaths.h"
#include "favorites/ShortcutStore.h"
#include "tests/support/HostPathsForTests.h"
#include "tests/support/LinkReader.h"
#include "tests/support/ProcessHarness.h"

namespace {

using vxtest::LinkInfo;
using vxtest::ReadLink;

// The client's data folder in a scratch folder, for the whole process.
class ClientDataFolder : public ::testing::Environment {
public:
  void SetUp() override {
    folder = std::make_unique<vxtest::ScratchFolder>(L"desk-data");
    vxtest::UseHostPaths(folder->Path());
  }
  void TearDown() override {
    SetHostPaths(HostPaths());
    folder.reset();
  }
  std::unique_ptr<vxtest::ScratchFolder> folder;
};
::testing::Environment* const g_dataFolder = ::testing::AddGlobalTestEnvironment(new ClientDataFolder);

DeskFavorRequest WebRequest(const std::wstring& name, int albumId) {
  DeskFavorRequest request;
  request.AlbumName = name;
  request.AlbumID = albumId;
  request.ChannelID = 2;
  request.VideoUrl = L"http://www.vexo.com/v_" + std::to_wstring(albumId) + L".html";
  request.PicUrl = L"http://pic.vexo.com/a.jpg";
  request.SourceName = L"vexo";
  request.TvYear = 2013;
  return request;
}

std::vector<ShortcutRecord> StoredShortcuts() {
  std::vector<ShortcutRecord> rows;
  LoadShortcuts(rows);
  return rows;
}

class DesktopShortcutTest : public ::testing::Test {
protected:
  void SetUp() override {
    desktop = GetDesktopDirectory();
    ASSERT_FALSE(desktop.empty());
    ::DeleteFileW(kTraceFile);
  }
  void TearDown() override {
    for (const ShortcutRecord& row : StoredShortcuts()) ::DeleteFileW(AnsiToWide(row.strLNK).c_str());
  }
  std::wstring desktop;
};

TEST_F(DesktopShortcutTest, ShortcutFileHasTargetArgumentsIconAndDescription) {
  const std::wstring lnk = CreateDesktopShotCut(L"Probe", L"&src=fromtailcast", L"C:\\prog\\tcskin\\favorite.ico",
                                                L"http://www.vexo.com/play?x=1", L"");
  ASSERT_EQ(lnk, desktop + L"\\Probe.lnk");
  LinkInfo info;
  ASSERT_TRUE(ReadLink(lnk, info));
  EXPECT_EQ(info.arguments, L"&src=fromtailcast");
  EXPECT_EQ(info.icon, L"C:\\prog\\tcskin\\favorite.ico");
  EXPECT_EQ(info.iconIndex, 0);
  EXPECT_EQ(info.description, L"Probe");
  EXPECT_EQ(vxtest::ReadTrace(kTraceFile, L"tailcast", L"CreateDesktopShotCut"), L"释放CLSID_ShellLink成功！");
  ::DeleteFileW(lnk.c_str());
}

TEST_F(DesktopShortcutTest, FavoriteBecomesShortcutAndStoreRow) {
  const DeskFavorRequest request = WebRequest(L"a/b:c?", 123);
  const int length = CreateDeskFavor(&request);
  const std::wstring lnk = desktop + L"\\a b c .lnk";
  EXPECT_EQ(length, static_cast<int>(lnk.size()));
  ASSERT_TRUE(vxtest::FileExists(lnk));
  LinkInfo info;
  ASSERT_TRUE(ReadLink(lnk, info));
  EXPECT_EQ(info.description, L"a b c ");
  EXPECT_EQ(info.icon, ProvisionalIconPath());

  const auto rows = StoredShortcuts();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].strAlbumName, "a b c ");
  EXPECT_EQ(AnsiToWide(rows[0].strLNK), lnk);
  EXPECT_EQ(rows[0].strTips, std::string("Vexo\xca\xd3\xc6\xb5"));
  EXPECT_EQ(rows[0].strVideoURL, "http://www.vexo.com/v_123.html");
  EXPECT_EQ(rows[0].strStartupParams, "&src=fromtailcast");
  EXPECT_EQ(rows[0].nAlbumID, 123);
  EXPECT_EQ(rows[0].iInfoType, 0);
}

// A client favourite starts the client program itself: its path carries no web tag.
TEST_F(DesktopShortcutTest, ClientFavoritePointsAtTheClientProgram) {
  vxtest::ScratchFolder client(L"client-install");
  client.Touch(L"VexoClient.exe");
  const HostPaths before = GetHostPaths();
  HostPaths withClient = before;
  withClient.clientExePath = client.File(L"VexoClient.exe");
  SetHostPaths(withClient);
  DeskFavorRequest request = WebRequest(L"Client Album", 321);
  request.InfoType = 1;
  request.Charge = 1;
  ASSERT_GT(CreateDeskFavor(&request), 0);
  SetHostPaths(before);

  LinkInfo info;
  ASSERT_TRUE(ReadLink(desktop + L"\\Client Album.lnk", info));
  EXPECT_EQ(info.path, client.File(L"VexoClient.exe"));
  EXPECT_EQ(info.workingDir, client.Path());
  EXPECT_EQ(info.arguments, L"DeskFavor;id=321:type=1:charge=1:name=Client Album");
  const auto rows = StoredShortcuts();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].iInfoType, 1);
  EXPECT_EQ(rows[0].strStartupParams, "DeskFavor;id=321:type=1:charge=1:name=Client Album");
}

TEST_F(DesktopShortcutTest, RepeatIsRefusedUntilTheShortcutIsDeleted) {
  const DeskFavorRequest request = WebRequest(L"Repeat", 77);
  ASSERT_GT(CreateDeskFavor(&request), 0);
  EXPECT_EQ(CreateDeskFavor(&request), 0);
  EXPECT_EQ(vxtest::ReadTrace(kTraceFile, L"Tailcast:", L"CreateDeskFavor is False: "), L"图标已存在！");
  ::DeleteFileW((desktop + L"\\Repeat.lnk").c_str());
  EXPECT_GT(CreateDeskFavor(&request), 0);
  EXPECT_TRUE(vxtest::FileExists(desktop + L"\\Repeat.lnk"));
}

TEST_F(DesktopShortcutTest, UnsupportedKindsAndNullCreateNothing) {
  DeskFavorRequest request = WebRequest(L"Kind", 5);
  request.InfoType = 2;
  EXPECT_EQ(CreateDeskFavor(&request), 0);
  EXPECT_EQ(CreateDeskFavor(nullptr), 0);
  EXPECT_FALSE(vxtest::FileExists(desktop + L"\\Kind.lnk"));
  EXPECT_TRUE(StoredShortcuts().empty());
}

// The file name is cut to keep the path within MAX_PATH; the description and the store keep
// the whole name. A shortcut that cannot be written leaves no row behind.
TEST_F(DesktopShortcutTest, LongNameIsCutInTheFileNameOnly) {
  const std::wstring name = std::wstring(150, L'x') + std::wstring(150, L'y');
  const DeskFavorRequest request = WebRequest(name, 300);
  const int length = CreateDeskFavor(&request);
  ASSERT_EQ(length, MAX_PATH - 1);
  const auto rows = StoredShortcuts();
  ASSERT_EQ(rows.size(), 1u);
  const std::wstring lnk = AnsiToWide(rows[0].strLNK);
  EXPECT_EQ(lnk.size(), static_cast<size_t>(length));
  EXPECT_EQ(lnk.substr(0, desktop.size() + 2), desktop + L"\\x");
  EXPECT_EQ(lnk.substr(lnk.size() - 5), L"y.lnk");
  EXPECT_EQ(AnsiToWide(rows[0].strAlbumName), name);
  LinkInfo info;
  ASSERT_TRUE(ReadLink(lnk, info));
  EXPECT_EQ(info.description, name);


  // A file in the way, held open so that the new shortcut cannot be moved over it.
  const std::wstring blocked = desktop + L"\\Blocked.lnk";
  ScopedKernelHandle held(::CreateFileW(blocked.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  const DeskFavorRequest unwritable = WebRequest(L"Blocked", 301);
  EXPECT_EQ(CreateDeskFavor(&unwritable), 0);
  held.Reset();
  EXPECT_EQ(StoredShortcuts().size(), 1u);
  EXPECT_EQ(CreateDeskFavor(&unwritable), static_cast<int>(blocked.size()));  // the album was not taken
  ::DeleteFileW(blocked.c_str());
}

TEST_F(DesktopShortcutTest, ReservedAndControlCharacterNamesStillWork) {
  const DeskFavorRequest device = WebRequest(L"CON", 8);
  EXPECT_GT(CreateDeskFavor(&device), 0);
  EXPECT_TRUE(vxtest::FileExists(desktop + L"\\CON_.lnk"));
  const DeskFavorRequest control = WebRequest(L"tab\there", 9);
  EXPECT_GT(CreateDeskFavor(&control), 0);
  EXPECT_TRUE(vxtest::FileExists(desktop + L"\\tab here.lnk"));
}

// Run under a Chinese code page (LC_ALL=zh_CN.UTF-8 gives 936).
TEST_F(DesktopShortcutTest, ChineseAlbumNameCodePageSurvivesFileDescriptionAndStore) {
  wchar_t expected[16] = {};
  if (::GetEnvironmentVariableW(L"VX_EXPECT_ACP", expected, 16) > 0) {
    ASSERT_EQ(::GetACP(), static_cast<UINT>(_wtoi(expected))) << "is the zh_CN.UTF-8 locale installed?";
  }
  if (::GetACP() != 936) GTEST_SKIP() << "code page " << ::GetACP() << ", not 936";
  const std::wstring name = L"\u4e2d\u534e\u5c0f\u5f53\u5bb6 \u7b2c\u4e8c\u5b63";  // 中华小当家 第二季
  const DeskFavorRequest request = WebRequest(name, 456);
  ASSERT_GT(CreateDeskFavor(&request), 0);
  const std::wstring lnk = desktop + L"\\" + name + L".lnk";
  ASSERT_TRUE(vxtest::FileExists(lnk));
  LinkInfo info;
  ASSERT_TRUE(ReadLink(lnk, info));
  EXPECT_EQ(info.description, name);
  const auto rows = StoredShortcuts();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].strAlbumName, WideToAnsi(name));
  EXPECT_EQ(rows[0].strAlbumName.size(), 2 * 5 + 1 + 2 * 3u);  // GBK: two bytes a character
  EXPECT_EQ(AnsiToWide(rows[0].strAlbumName), name);
  EXPECT_EQ(AnsiToWide(rows[0].strLNK), lnk);
}

}  // namespace
