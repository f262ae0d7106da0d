// Which desktop shortcuts are the program's own, and the store row each gives back.
#include "favorites/RecoveredShortcut.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kIcons = L"C:\\Users\\Public\\Vexo\\VexoClient\\Icon\\";

LinkFacts Link(const std::wstring& file, const std::wstring& icon, const std::wstring& target) {
  LinkFacts link;
  link.file = L"C:\\Users\\u\\Desktop\\" + file;
  link.iconLocation = icon;
  link.targets[0] = target;
  link.description = L"ABC 都市情缘";
  link.arguments = L"&src=fromtailcast";
  return link;
}

TEST(RecoveredShortcutTest, OnlyAnAlbumIconOfTheClientsIconFolderMarksAShortcutAsOurs) {
  EXPECT_EQ(AlbumIdOfIcon(kIcons + L"album_123.ico", kIcons), 123);
  EXPECT_EQ(AlbumIdOfIcon(kIcons + L"updatealbum_123.ico", kIcons), 123);
  EXPECT_EQ(AlbumIdOfIcon(L"c:\\users\\public\\vexo\\vexoclient\\icon\\ALBUM_7.ICO", kIcons), 7);
  EXPECT_EQ(AlbumIdOfIcon(kIcons + L"album_-5.ico", kIcons), -5);
  EXPECT_EQ(AlbumIdOfIcon(kIcons + L"album_2147483647.ico", kIcons), 2147483647);
  for (const std::wstring& other :
       {kIcons + L"album_2147483648.ico", kIcons + L"album_.ico", kIcons + L"album_12a.ico", kIcons + L"album_1.png",
        kIcons + L"cover_1.ico", std::wstring(L"C:\\Other\\album_1.ico"), kIcons + L"sub\\album_1.ico",
        std::wstring()}) {
    EXPECT_FALSE(AlbumIdOfIcon(other, kIcons)) << std::string(other.begin(), other.end());
  }
  EXPECT_FALSE(AlbumIdOfIcon(kIcons + L"album_1.ico", L""));
}

TEST(RecoveredShortcutTest, TheRowComesFromTheIconTheDescriptionTheTargetAndTheFileName) {
  // Wine keeps a web target as a file item below the current folder; its parsing name has the address.
  LinkFacts web = Link(L"ABC 都市情缘 更新至12集.lnk", kIcons + L"updatealbum_123.ico",
                       L"Z:\\tmp\\http:\\www.vexo.com\\a_123.html?src=fromtailcast");
  web.targets[2] = L"C:\\users\\u\\Desktop\\http://www.vexo.com/a_123.html?src=fromtailcast";
  const auto row = RecoverShortcut(web, kIcons);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->albumId, 123);
  EXPECT_EQ(row->albumName, L"ABC 都市情缘");
  EXPECT_EQ(row->tips, L"ABC 都市情缘 更新至12集");
  EXPECT_EQ(row->lnk, web.file);
  EXPECT_EQ(row->iconName, kIcons + L"updatealbum_123.ico");
  EXPECT_EQ(row->infoType, 0);
  EXPECT_EQ(row->videoUrl, L"http://www.vexo.com/a_123.html");
  EXPECT_EQ(row->startupParams, L"&src=fromtailcast");
  EXPECT_EQ(row->finished, 0);

  LinkFacts played =
      Link(L"Done 40集全.lnk", kIcons + L"album_124.ico", L"HTTPS://x.vexo.com/play?x=1&src=fromtailcast");
  const auto complete = RecoverShortcut(played, kIcons);
  ASSERT_TRUE(complete);
  EXPECT_EQ(complete->videoUrl, L"HTTPS://x.vexo.com/play?x=1");
  EXPECT_EQ(complete->finished, 1);

  LinkFacts client = Link(L"C.lnk", kIcons + L"album_9.ico", L"C:\\Program Files\\Vexo\\VexoClient.exe");
  client.arguments = L"DeskFavor;id=9:type=1:charge=0:name=C";
  const auto forClient = RecoverShortcut(client, kIcons);
  ASSERT_TRUE(forClient);
  EXPECT_EQ(forClient->infoType, 1);
  EXPECT_EQ(forClient->videoUrl, L"");

  LinkFacts nameless = web;
  nameless.description.clear();
  EXPECT_FALSE(RecoverShortcut(nameless, kIcons));  // the album name is the row's key
  EXPECT_FALSE(RecoverShortcut(Link(L"X.lnk", L"C:\\Program Files\\X\\x.exe", L"http://x/"), kIcons));
}

TEST(RecoveredShortcutTest, OnlyTheWritersOwnTagComesOffTheEnd) {
  EXPECT_EQ(WithoutSourceTag(L"http://a/b?src=fromtailcast"), L"http://a/b");
  EXPECT_EQ(WithoutSourceTag(L"http://a/b?x=1&src=fromtailcast"), L"http://a/b?x=1");
  EXPECT_EQ(WithoutSourceTag(L"http://a/b?src=fromtailcast&y=2"), L"http://a/b?src=fromtailcast&y=2");
  EXPECT_EQ(WithoutSourceTag(L"http://a/b"), L"http://a/b");
  EXPECT_EQ(WebAddressIn(L"no address"), L"");
  EXPECT_EQ(WebAddressIn(L"x https://a http://b"), L"https://a http://b");
}

}  // namespace
