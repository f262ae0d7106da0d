// The shortcut store against real SQLite files.
#include "favorites/ShortcutStore.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <thread>

#include "common/SqliteConnection.h"
#include "common/SqliteStatement.h"
#include "common/TextConvert.h"
#include "tests/support/HostPathsForTests.h"
#include "tests/support/ProcessHarness.h"

namespace {

const char kCreateText[] =
    "create table shortcut( strAlbumName TEXT ,strIconName TEXT ,strLNK TEXT ,strTips TEXT ,strStartupParams TEXT "
    ",nAlbumID INTEGER ,nChannelID INTEGER ,nFinished INTEGER ,iChannelID INTEGER ,strVideoURL TEXT ,strSourceName "
    "TEXT ,iSourceCode INTEGER ,iTvYear INTEGER ,iInfoType INTEGER ,primary key( strAlbumName) );";

// SQLite keeps a CREATE text with its first words in capitals and without the semicolon.
std::string AsStoredBySqlite(std::string createText) {
  createText.replace(0, std::string("create table").size(), "CREATE TABLE");
  if (!createText.empty() && createText.back() == ';') createText.pop_back();
  return createText;
}

class ShortcutStoreTest : public ::testing::Test {
protected:
  std::wstring StorePath() const { return folder.File(L"VexoClient\\vexo_shortCut.dll"); }

  // A favourite whose .lnk file exists.
  ShortcutRecord Favorite(const std::string& name, int albumId) const {
    const std::wstring lnk = folder.File(AnsiToWide(name) + L".lnk");
    folder.Touch(AnsiToWide(name) + L".lnk");
    ShortcutRecord record;
    record.strLNK = WideToAnsi(lnk);
    record.strIconName = "C:\\prog\\tcskin\\favorite.ico";
    record.strAlbumName = name;
    record.strTips = "Vexo";
    record.strStartupParams = "&src=fromtailcast";
    record.nAlbumID = albumId;
    record.nChannelID = 2;
    record.strVideoURL = "http://www.vexo.com/v_" + std::to_string(albumId) + ".html";
    record.strSourceName = "vexo";
    record.iSourceCode = 7;
    record.iTvYear = 2013;
    return record;
  }

  std::string Utf8StorePath() const { return WideToUtf8(StorePath()); }

  int RowCount() {
    CSqliteConnection connection(Utf8StorePath());
    return connection.ExecuteScalar("select count(*) from shortcut");
  }

  std::string Schema() {
    CSqliteConnection connection(Utf8StorePath());
    CSqliteStatement statement(connection, "select sql from sqlite_master where name = 'shortcut'");
    std::string sql;
    if (statement.Step() == SQLITE_ROW) statement.ColumnText(0, sql);
    return sql;
  }

  vxtest::ScratchFolder folder{L"store"};
  CShortcutStore store{StorePath()};
};

TEST_F(ShortcutStoreTest, FreshStoreHasTheExactTableAndNoRows) {
  std::vector<ShortcutRecord> rows;
  store.Load(rows);
  EXPECT_TRUE(rows.empty());
  EXPECT_TRUE(vxtest::FileExists(StorePath()));
  EXPECT_EQ(Schema(), AsStoredBySqlite(kCreateText));
  EXPECT_EQ(ShortcutCreateText(), kCreateText);
  EXPECT_EQ(ShortcutReplaceText(),
            "REPLACE INTO shortcut( strAlbumName,strIconName,strLNK,strTips,strStartupParams,nAlbumID,nChannelID,"
            "nFinished,iChannelID,strVideoURL,strSourceName,iSourceCode,iTvYear,iInfoType ) values( "
            "?,?,?,?,?,?,?,?,?,?,?,?,?, ? )");
}

TEST_F(ShortcutStoreTest, AddedFavoriteIsListedWithItsFields) {
  store.Add(Favorite("ABC", 123));
  std::vector<ShortcutRecord> rows;
  store.Load(rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].strAlbumName, "ABC");
  EXPECT_EQ(rows[0].nAlbumID, 123);
  EXPECT_EQ(rows[0].nChannelID, 2);
  EXPECT_EQ(rows[0].strVideoURL, "http://www.vexo.com/v_123.html");
  EXPECT_EQ(rows[0].strStartupParams, "&src=fromtailcast");
  EXPECT_EQ(rows[0].strTips, "Vexo");
  EXPECT_EQ(rows[0].strSourceName, "");  // not part of the listing

  CSqliteConnection connection(Utf8StorePath());
  EXPECT_EQ(connection.ExecuteScalar("select iChannelID from shortcut"), 2);
  EXPECT_EQ(connection.ExecuteScalar("select iTvYear from shortcut"), 2013);
  EXPECT_EQ(connection.ExecuteScalar("select iSourceCode from shortcut"), 7);
}

// The writer hands over UTF-16 texts; the row keeps them as the code page's bytes, with the new
// favourite's title as its own bytes, unfinished.
TEST_F(ShortcutStoreTest, NewFavoriteIsConvertedInsideTheStore) {
  vxtest::UseHostPaths(folder.Path());
  NewShortcut shortcut;
  shortcut.lnk = folder.File(L"New album.lnk");
  folder.Touch(L"New album.lnk");
  shortcut.iconName = L"C:\\prog\\tcskin\\favorite.ico";
  shortcut.albumName = L"New album";
  shortcut.startupParams = L"&src=fromtailcast";
  shortcut.videoUrl = L"http://www.vexo.com/v_77.html";
  shortcut.sourceName = L"vexo";
  shortcut.albumId = 77;
  shortcut.channelId = 4;
  shortcut.sourceCode = 7;
  shortcut.tvYear = 2013;
  shortcut.infoType = 0;
  AddShortcut(shortcut);
  SetHostPaths(HostPaths());

  std::vector<ShortcutRecord> rows;
  store.Load(rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].strLNK, WideToAnsi(shortcut.lnk));
  EXPECT_EQ(rows[0].strAlbumName, "New album");
  EXPECT_EQ(rows[0].strTips, std::string("Vexo\xca\xd3\xc6\xb5"));
  EXPECT_EQ(rows[0].strVideoURL, "http://www.vexo.com/v_77.html");
  EXPECT_EQ(rows[0].nFinished, 0);
  CSqliteConnection connection(Utf8StorePath());
  EXPECT_EQ(connection.ExecuteScalar("select iChannelID from shortcut"), 4);
  EXPECT_EQ(connection.ExecuteScalar("select iTvYear from shortcut"), 2013);
}

TEST_F(ShortcutStoreTest, SecondAddOfSameAlbumKeepsTheFirst) {
  store.Add(Favorite("ABC", 1));
  ShortcutRecord again = Favorite("ABC", 2);
  again.strTips = "changed";
  store.Add(again);
  std::vector<ShortcutRecord> rows;
  store.Load(rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].nAlbumID, 1);
  EXPECT_EQ(rows[0].strTips, "Vexo");
}

TEST_F(ShortcutStoreTest, QuotesInAlbumNamesWorkInEveryOperation) {
  const std::string name = "Grey's 'Anatomy'";
  store.Add(Favorite(name, 5));
  store.Add(Favorite(name, 6));  // still a duplicate
  store.SetIconName(name, "C:\\icons\\album_5.ico");
  store.SetVideoUrl(name, "http://www.vexo.com/new.html");
  store.SetTitle(name, "Grey's 更新至3集", "C:\\x\\Grey's.lnk", 1);
  CSqliteConnection connection(Utf8StorePath());
  CSqliteStatement row(connection, "select strIconName, strVideoURL, strTips, strLNK, nFinished, nAlbumID from shortcut");
  ASSERT_EQ(row.Step(), SQLITE_ROW);
  std::string icon, url, tips, lnk;
  row.ColumnText(0, icon);
  row.ColumnText(1, url);
  row.ColumnText(2, tips);
  row.ColumnText(3, lnk);
  EXPECT_EQ(icon, "C:\\icons\\album_5.ico");
  EXPECT_EQ(url, "http://www.vexo.com/new.html");
  EXPECT_EQ(tips, "Grey's 更新至3集");
  EXPECT_EQ(lnk, "C:\\x\\Grey's.lnk");
  EXPECT_EQ(row.ColumnInt(4), 1);
  EXPECT_EQ(row.ColumnInt(5), 5);
  EXPECT_EQ(RowCount(), 1);
}

TEST_F(ShortcutStoreTest, SettersOfUnknownAlbumWriteNothing) {
  store.Add(Favorite("ABC", 1));
  store.SetIconName("XYZ", "x.ico");
  store.SetTitle("XYZ", "t", "l", 1);
  store.SetIconAndTitle("XYZ", "x.ico", "t", "l", 1);
  EXPECT_EQ(RowCount(), 1);
}

TEST_F(ShortcutStoreTest, AlbumLookupGivesThatAlbumsLiveRowsInTableOrder) {
  store.Add(Favorite("First", 7));
  store.Add(Favorite("Other", 8));
  store.Add(Favorite("Gone", 7));
  store.Add(Favorite("Second", 7));
  ::DeleteFileW(folder.File(L"Gone.lnk").c_str());
  const std::string renamed = WideToAnsi(folder.File(L"Second.lnk"));
  store.SetIconAndTitle("Second", "C:\\icons\\album_7.ico", "Second 更新至3集", renamed, 1);

  std::vector<ShortcutRecord> rows;
  store.LoadAlbum(7, rows);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].strAlbumName, "First");
  EXPECT_EQ(rows[1].strAlbumName, "Second");
  EXPECT_EQ(rows[1].strIconName, "C:\\icons\\album_7.ico");
  EXPECT_EQ(rows[1].strTips, "Second 更新至3集");
  EXPECT_EQ(rows[1].nFinished, 1);
  rows.clear();
  store.LoadAlbum(9, rows);
  EXPECT_TRUE(rows.empty());
}

TEST_F(ShortcutStoreTest, RowWhoseShortcutWasDeletedIsHiddenButKept) {
  store.Add(Favorite("Gone", 1));
  store.Add(Favorite("Here", 2));
  ::DeleteFileW(folder.File(L"Gone.lnk").c_str());
  std::vector<ShortcutRecord> rows;
  store.Load(rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].strAlbumName, "Here");
  EXPECT_EQ(RowCount(), 2);
}

TEST_F(ShortcutStoreTest, OlderLayoutIsMigratedWithoutLosingRows) {
  folder.Touch(L"old1.lnk");
  folder.Touch(L"old2.lnk");
  ::CreateDirectoryW(folder.File(L"VexoClient").c_str(), nullptr);
  {
    CSqliteConnection connection(Utf8StorePath());
    const std::string lnk1 = WideToAnsi(folder.File(L"old1.lnk")), lnk2 = WideToAnsi(folder.File(L"old2.lnk"));
    ASSERT_TRUE(connection.Execute(
        "create table shortcut( strAlbumName TEXT ,strIconName TEXT ,strLNK TEXT ,strTips TEXT ,strStartupParams "
        "TEXT ,nAlbumID INTEGER ,nChannelID INTEGER ,nFinished INTEGER ,iChannelID INTEGER ,strSourceName TEXT "
        ",iSourceCode INTEGER ,iTvYear INTEGER ,iInfoType INTEGER ,primary key( strAlbumName) );"
        "insert into shortcut values('Old One','i1','" + lnk1 + "','t1','p1',11,2,1,2,'s1',3,2001,0);"
        "insert into shortcut values('Old Two','i2','" + lnk2 + "','t2','p2',12,4,0,4,'s2',4,2002,0);"));
  }
  store.Add(Favorite("New", 13));
  EXPECT_EQ(Schema(), AsStoredBySqlite(kCreateText));
  EXPECT_EQ(RowCount(), 3);
  std::vector<ShortcutRecord> rows;
  store.Load(rows);
  ASSERT_EQ(rows.size(), 3u);
  CSqliteConnection connection(Utf8StorePath());
  EXPECT_EQ(connection.ExecuteScalar("select nFinished from shortcut where strAlbumName = 'Old One'"), 1);
  EXPECT_EQ(connection.ExecuteScalar("select iTvYear from shortcut where strAlbumName = 'Old Two'"), 2002);
  store.Add(Favorite("Newer", 14));  // the column exists now: no rebuild
  EXPECT_EQ(RowCount(), 4);
}

TEST_F(ShortcutStoreTest, ChineseDataFolderOpens) {
  const std::wstring chinesePath = folder.File(L"\u89c6\u9891\\VexoClient\\vexo_shortCut.dll");
  CShortcutStore chinese(chinesePath);
  chinese.Add(Favorite("ABC", 1));
  std::vector<ShortcutRecord> rows;
  chinese.Load(rows);
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_TRUE(vxtest::FileExists(chinesePath));
}

TEST_F(ShortcutStoreTest, BusyFileIsWaitedFor) {
  store.Add(Favorite("First", 1));
  CSqliteConnection holder(Utf8StorePath());
  std::string error;
  ASSERT_EQ(holder.Exec("begin exclusive", error), SQLITE_OK);
  std::thread releaser([&] {
    ::Sleep(700);
    holder.Commit();
  });
  store.Add(Favorite("Second", 2));  // waits for the holder instead of failing
  releaser.join();
  EXPECT_EQ(RowCount(), 2);
}

TEST_F(ShortcutStoreTest, ConcurrentAddsFromSeveralThreadsAllLand) {
  std::vector<ShortcutRecord> favorites;
  for (int i = 0; i < 8; ++i) favorites.push_back(Favorite("Album" + std::to_string(i), 100 + i));
  std::vector<std::thread> threads;
  for (const auto& favorite : favorites) threads.emplace_back([&] { store.Add(favorite); });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(RowCount(), 8);
}

TEST_F(ShortcutStoreTest, UnopenableStoreFailsSilently) {
  folder.Touch(L"blocker");
  CShortcutStore broken(folder.File(L"blocker\\vexo_shortCut.dll"));
  broken.Add(Favorite("ABC", 1));
  std::vector<ShortcutRecord> rows;
  broken.Load(rows);
  EXPECT_TRUE(rows.empty());
}

// What completing a favourite later needs lies beside its row and outlives a new road for it.
TEST_F(ShortcutStoreTest, FollowUpsAreRememberedMarkedAndReplacedByANewRoad) {
  CShortcutStore store(StorePath());
  const FollowUp first{ShortcutKey{"First"}, 5, "http://p/a_128_128.jpg", true, false};
  store.Add(Favorite("First", 5), &first);
  store.RememberFollowUp(FollowUp{ShortcutKey{"Other"}, 6, "", false, false});
  store.MarkPlayPageKnown(5);
  const auto followUpOf = [&](const std::string& name) {
    std::vector<FollowUp> followUps;
    store.LoadFollowUps(followUps);
    EXPECT_EQ(followUps.size(), 2u);
    for (const FollowUp& followUp : followUps) {
      if (followUp.key.bytes == name) return followUp;
    }
    return FollowUp{};
  };
  EXPECT_EQ(followUpOf("First").picUrl, "http://p/a_128_128.jpg");
  EXPECT_TRUE(followUpOf("First").episodic);
  EXPECT_TRUE(followUpOf("First").playPageKnown);
  EXPECT_FALSE(followUpOf("Other").playPageKnown);

  // A favourite pinned again under a known name: its row stays, its road begins anew.
  ShortcutRecord again = Favorite("First", 5);
  again.strTips = "changed";
  const FollowUp anew{ShortcutKey{"First"}, 5, "http://p/b_128_128.jpg", false, false};
  store.Add(again, &anew);
  EXPECT_EQ(followUpOf("First").picUrl, "http://p/b_128_128.jpg");
  EXPECT_FALSE(followUpOf("First").playPageKnown);
  std::vector<ShortcutRecord> rows;
  store.Load(rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].strTips, "Vexo");
  EXPECT_EQ(Schema().find("followup"), std::string::npos) << "the shortcut table keeps its layout";
}

}  // namespace
