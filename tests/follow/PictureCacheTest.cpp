// The address cache, and the media table in a real SQLite file read back with SQLite itself.
#include "follow/PictureCache.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/SqliteConnection.h"

namespace {

namespace fs = std::filesystem;

fs::path FreshFolder(const std::string& name) {
  const fs::path folder = fs::temp_directory_path() / ("vx-media-" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

std::string TableSql(const fs::path& database) {
  CSqliteConnection connection(database.string());
  std::string sql;
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(connection.Handle(), "select sql from sqlite_master where name = 'MediaPic'", -1, &statement,
                     nullptr);
  if (sqlite3_step(statement) == SQLITE_ROW) sql = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  sqlite3_finalize(statement);
  return sql;
}

TEST(PictureCacheTest, The401stAddressDropsTheLeastUsed) {
  CPictureCache& pictures = CPictureCache::GetInstance();
  EXPECT_EQ(&pictures, &CPictureCache::GetInstance());
  const auto address = [](int i) { return "http://emu/pictures/p" + std::to_string(i) + "_145_90.jpg"; };
  for (int i = 0; i < 400; ++i) pictures.AddPicture(address(i), "C:\\cache\\" + std::to_string(i) + ".jpg");

  std::string path;
  ASSERT_TRUE(pictures.FindPicture(address(0), path));  // p0 changes places with p1, now the tail
  EXPECT_EQ(path, "C:\\cache\\0.jpg");
  pictures.AddPicture(address(400), "C:\\cache\\400.jpg");

  EXPECT_FALSE(pictures.FindPicture(address(1), path));
  EXPECT_EQ(path, "C:\\cache\\0.jpg");
  EXPECT_TRUE(pictures.FindPicture(address(0), path));
  EXPECT_TRUE(pictures.FindPicture(address(400), path));
  EXPECT_EQ(path, "C:\\cache\\400.jpg");
}

TEST(MediaTableTest, CreatedOnceAndKeptWithItsRows) {
  const fs::path database = FreshFolder("once") / "media.db";
  CPictureCache::CreateMediaTable(database.string());
  const std::string columns =
      "MediaPic( PicUrl TEXT ,PicExtend TEXT ,PicPath TEXT ,MediaID INTEGER ,primary key( MediaID) )";
  EXPECT_EQ(CPictureCache::MediaTableCreateText(), "create table " + columns + ";");
  EXPECT_EQ(TableSql(database), "CREATE TABLE " + columns);  // as SQLite keeps it
  {
    CSqliteConnection connection(database.string());
    ASSERT_TRUE(connection.Execute(
        "insert into MediaPic( PicUrl,PicExtend,PicPath,MediaID ) values( 'http://p/1.jpg','','C:\\1.jpg', 7 )"));
  }
  CPictureCache::CreateMediaTable(database.string());
  CSqliteConnection connection(database.string());
  EXPECT_EQ(connection.ExecuteScalar("select count(*) from sqlite_master"), 1);
  EXPECT_EQ(connection.ExecuteScalar("select MediaID from MediaPic"), 7);
}

TEST(MediaTableTest, MissingFolderOrForeignFileIsLeftAlone) {
  const fs::path folder = FreshFolder("hostile");
  CPictureCache::CreateMediaTable((folder / "no-such-folder" / "media.db").string());
  EXPECT_FALSE(fs::exists(folder / "no-such-folder"));

  const fs::path foreign = folder / "media.db";
  const std::string bytes = "not a database, but somebody's file\n";
  std::ofstream(foreign, std::ios::binary) << bytes;
  CPictureCache::CreateMediaTable(foreign.string());
  std::ifstream in(foreign, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
}

}  // namespace
