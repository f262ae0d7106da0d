// Telling a damaged shortcut store from a busy or a sound one, on real SQLite files.
#include "favorites/StoreHealth.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "common/SqliteConnection.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kColumns = {"strAlbumName", "strLNK", "nAlbumID"};

class StoreHealthTest : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder = fs::temp_directory_path() / ("vx-store-health-" + test);
    fs::remove_all(folder);
    fs::create_directories(folder);
    file = (folder / "vexo_shortCut.dll").string();
  }
  void TearDown() override { fs::remove_all(folder); }

  // A sound store of `rows` rows, enough to fill several pages.
  void WriteStore(const std::string& createText, int rows = 400) {
    CSqliteConnection connection(file);
    ASSERT_TRUE(connection.Execute(createText));
    ASSERT_TRUE(connection.Execute("begin"));
    for (int i = 0; i < rows; ++i) {
      ASSERT_TRUE(connection.Execute("insert into shortcut(strAlbumName, nAlbumID) values('album " + std::to_string(i) +
                                     " " + std::string(200, 'x') + "', " + std::to_string(i) + ")"));
    }
    ASSERT_TRUE(connection.Execute("commit"));
  }
  StoreVerdict Examine(bool thorough = true) {
    CSqliteConnection connection(file);
    return ExamineStore(connection, "shortcut", kColumns, thorough);
  }

  fs::path folder;
  std::string file;
};

const char kLayout[] =
    "create table shortcut( strAlbumName TEXT ,strLNK TEXT ,nAlbumID INTEGER ,primary key( strAlbumName) );";

TEST_F(StoreHealthTest, ASoundStoreANewOneAndAnEmptyFileCanBeUsed) {
  EXPECT_EQ(Examine().condition, StoreCondition::kUsable);  // no file yet: made afresh
  WriteStore(kLayout);
  EXPECT_EQ(Examine().condition, StoreCondition::kUsable);
  fs::resize_file(file, 0);
  EXPECT_EQ(Examine().condition, StoreCondition::kUsable);  // SQLite takes an empty file as an empty database
}

TEST_F(StoreHealthTest, GarbageATruncatedFileAndMissingColumnsAreDamage) {
  std::ofstream(file, std::ios::binary) << std::string(8192, 'G');
  StoreVerdict verdict = Examine(false);
  EXPECT_EQ(verdict.condition, StoreCondition::kDamaged);
  EXPECT_EQ(verdict.reason, "not a database");

  fs::remove(file);
  WriteStore(kLayout);
  fs::resize_file(file, fs::file_size(file) / 2);
  verdict = Examine();
  EXPECT_EQ(verdict.condition, StoreCondition::kDamaged);
  EXPECT_EQ(verdict.reason, "malformed");

  fs::remove(file);
  WriteStore("create table shortcut( strAlbumName TEXT ,nAlbumID INTEGER ,primary key( strAlbumName) );");
  verdict = Examine(false);
  EXPECT_EQ(verdict.condition, StoreCondition::kDamaged);
  EXPECT_EQ(verdict.reason, "columns missing: strLNK");
}

TEST_F(StoreHealthTest, AStoreAnotherConnectionHoldsIsOnlyBusy) {
  WriteStore(kLayout, 1);
  CSqliteConnection holder(file);
  ASSERT_TRUE(holder.Execute("begin exclusive"));
  CSqliteConnection connection(file);
  sqlite3_busy_timeout(connection.Handle(), 50);
  const StoreVerdict verdict = ExamineStore(connection, "shortcut", kColumns, true);
  EXPECT_EQ(verdict.condition, StoreCondition::kBusy);
  EXPECT_EQ(connection.DamageSeen(), 0);
  ASSERT_TRUE(holder.Execute("commit"));
  EXPECT_EQ(ExamineStore(connection, "shortcut", kColumns, true).condition, StoreCondition::kUsable);
}

TEST_F(StoreHealthTest, TheConnectionRemembersDamageItsStatementsMet) {
  WriteStore(kLayout);
  fs::resize_file(file, fs::file_size(file) / 2);
  CSqliteConnection connection(file);
  EXPECT_FALSE(connection.Execute("select count(*) from shortcut where length(strAlbumName) > 0"));
  EXPECT_TRUE(IsDamageCode(connection.DamageSeen()));
  EXPECT_FALSE(IsDamageCode(SQLITE_BUSY));
  EXPECT_FALSE(IsDamageCode(SQLITE_CANTOPEN));
}

}  // namespace
