// Update badges on real shortcuts: the icon each .lnk shows and the icon the store names.
#include "follow/UpdateIconManager.h"

#include "common/TextConvert.h"
#include "favorites/HostPaths.h"
#include "favorites/ShortcutStore.h"
#include "tests/follow/FollowFixture.h"

namespace {

using namespace vxtest;

UpdateIconItem Update(int albumId, const std::wstring& name) {
  UpdateIconItem item;
  item.AlbumID = albumId;
  item.AlbumName = name;
  return item;
}

class UpdateIconManagerTest : public FollowTest {
protected:
  // A shortcut whose store row names its album icon, with or without a badge icon beside it.
  std::wstring AddWithAlbumIcon(const DeskFavorRequest& request, bool withBadge) {
    const std::wstring lnk = AddFavorite(request);
    const std::wstring id = std::to_wstring(request.AlbumID);
    icons.Touch(L"album_" + id + L".ico");
    if (withBadge) icons.Touch(L"updatealbum_" + id + L".ico");
    SetShortcutIconName(KeyOf(CleanName(request.AlbumName)), icons.File(L"album_" + id + L".ico"));
    return lnk;
  }
  std::string StoredIcon(int albumId) {
    for (const ShortcutRecord& row : StoredShortcuts()) {
      if (row.nAlbumID == albumId) return row.strIconName;
    }
    return "(none)";
  }

  ScratchFolder icons{L"icons"};
};

TEST_F(UpdateIconManagerTest, BadgeGoesOnAndComesOffWithTheList) {
  const std::wstring lnk = AddWithAlbumIcon(WebFavorite(L"Seven", 7, L"http://www.vexo.com/v_7.html?x=1"), true);
  CUpdateIconManager({Update(7, L"Seven")}).UpdateIcons();
  LinkInfo badged = LinkAt(lnk);
  EXPECT_EQ(badged.icon, icons.File(L"updatealbum_7.ico"));
  EXPECT_EQ(badged.targetItemName, "http://www.vexo.com/v_7.html?x=1&src=fromtailcast");
  EXPECT_EQ(badged.arguments, L"&src=fromtailcast");
  EXPECT_EQ(badged.workingDir, L"");
  EXPECT_EQ(StoredIcon(7), WideToAnsi(icons.File(L"updatealbum_7.ico")));

  CUpdateIconManager({Update(7, L"Seven")}).UpdateIcons();  // still in the list: stays badged
  EXPECT_EQ(LinkAt(lnk).icon, icons.File(L"updatealbum_7.ico"));

  CUpdateIconManager({Update(8, L"Eight")}).UpdateIcons();  // gone from the list
  EXPECT_EQ(LinkAt(lnk).icon, icons.File(L"album_7.ico"));
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/v_7.html?x=1&src=fromtailcast");
  EXPECT_EQ(StoredIcon(7), WideToAnsi(icons.File(L"album_7.ico")));
}

TEST_F(UpdateIconManagerTest, NoBadgeFileMeansNoBadge) {
  const std::wstring lnk = AddWithAlbumIcon(WebFavorite(L"Plain", 9, L"http://www.vexo.com/v_9.html"), false);
  CUpdateIconManager({Update(9, L"Plain")}).UpdateIcons();
  EXPECT_EQ(LinkAt(lnk).icon, ProvisionalIconPath());
  EXPECT_EQ(StoredIcon(9), WideToAnsi(icons.File(L"album_9.ico")));
}

TEST_F(UpdateIconManagerTest, ProvisionalIconIsNeverBadgedNorRestored) {
  const std::wstring lnk = AddFavorite(WebFavorite(L"Fresh", 10, L"http://www.vexo.com/v_10.html"));
  const std::wstring provisional = LinkAt(lnk).icon;
  CUpdateIconManager({Update(10, L"Fresh")}).UpdateIcons();
  CUpdateIconManager({Update(11, L"Other")}).UpdateIcons();
  EXPECT_EQ(LinkAt(lnk).icon, provisional);
}

TEST_F(UpdateIconManagerTest, ClientShortcutGetsTheClientProgram) {
  ScratchFolder client(L"client-install");
  client.Touch(L"VexoClient.exe");
  const HostPaths before = GetHostPaths();
  HostPaths withClient = before;
  withClient.clientExePath = client.File(L"VexoClient.exe");
  SetHostPaths(withClient);
  DeskFavorRequest request = WebFavorite(L"Client", 21, L"http://www.vexo.com/v_21.html");
  request.InfoType = 1;
  const std::wstring lnk = AddWithAlbumIcon(request, true);
  CUpdateIconManager({Update(21, L"Client")}).UpdateIcons();
  const LinkInfo badged = LinkAt(lnk);
  EXPECT_EQ(badged.icon, icons.File(L"updatealbum_21.ico"));
  EXPECT_EQ(badged.path, client.File(L"VexoClient.exe"));
  EXPECT_EQ(badged.workingDir, client.Path());
  EXPECT_EQ(badged.arguments, L"DeskFavor;id=21:type=1:charge=0:name=Client");
  CUpdateIconManager({Update(22, L"Other")}).UpdateIcons();
  EXPECT_EQ(LinkAt(lnk).icon, icons.File(L"album_21.ico"));
  EXPECT_EQ(LinkAt(lnk).path, client.File(L"VexoClient.exe"));
  SetHostPaths(before);
}

TEST_F(UpdateIconManagerTest, AlbumWithoutShortcutIsIgnored) {
  const std::wstring lnk = AddWithAlbumIcon(WebFavorite(L"Kept", 23, L"http://www.vexo.com/v_23.html"), true);
  CUpdateIconManager manager({Update(999, L"Nobody")});
  EXPECT_FALSE(manager.MatchUpdates());
  manager.UpdateIcons();
  EXPECT_EQ(LinkAt(lnk).icon, ProvisionalIconPath());
}

// The reminder may spell the album differently from the cleaned name the store keeps; the
// badge is still remembered, so the next list takes it off again.
TEST_F(UpdateIconManagerTest, BadgeUnderAnotherSpellingIsStillTakenOff) {
  const std::wstring lnk = AddWithAlbumIcon(WebFavorite(L"Who: Part 2", 24, L"http://www.vexo.com/v_24.html"), true);
  ASSERT_EQ(lnk, Desktop() + L"\\Who  Part 2.lnk");
  CUpdateIconManager({Update(24, L"Who: Part 2")}).UpdateIcons();
  EXPECT_EQ(LinkAt(lnk).icon, icons.File(L"updatealbum_24.ico"));
  EXPECT_EQ(LinkAt(lnk).description, L"Who: Part 2");
  EXPECT_EQ(StoredIcon(24), WideToAnsi(icons.File(L"updatealbum_24.ico")));
  CUpdateIconManager({Update(25, L"Other")}).UpdateIcons();
  EXPECT_EQ(LinkAt(lnk).icon, icons.File(L"album_24.ico"));
}

// Another rewrite renamed the shortcut after this manager was made: the badge goes on the
// new file, and the old name does not come back.
TEST_F(UpdateIconManagerTest, RenameMadeMeanwhileIsNotUndone) {
  const std::wstring lnk = AddWithAlbumIcon(WebFavorite(L"Moved", 30, L"http://www.vexo.com/v_30.html"), true);
  CUpdateIconManager manager({Update(30, L"Moved")});
  const std::wstring moved = Desktop() + L"\\Moved 2.lnk";
  ASSERT_TRUE(::MoveFileW(lnk.c_str(), moved.c_str()));
  SetShortcutTitle(KeyOf(L"Moved"), L"Moved 2", moved, 0);
  manager.UpdateIcons();
  EXPECT_FALSE(FileExists(lnk));
  EXPECT_EQ(LinkAt(moved).icon, icons.File(L"updatealbum_30.ico"));
}

TEST(UpdateIconRulesTest, BadgeIsTheWordUpdateInTheFileName) {
  EXPECT_TRUE(CUpdateIconManager::IsBadgeIcon(L"C:\\icons\\updatealbum_7.ico"));
  EXPECT_FALSE(CUpdateIconManager::IsBadgeIcon(L"C:\\update\\album_7.ico"));
  EXPECT_FALSE(CUpdateIconManager::IsBadgeIcon(L"C:\\icons\\UPDATEalbum_7.ico"));
  EXPECT_TRUE(CUpdateIconManager::IsBadgeIcon(L"updatealbum_7.ico"));
  EXPECT_FALSE(CUpdateIconManager::IsBadgeIcon(L""));
}

}  // namespace
