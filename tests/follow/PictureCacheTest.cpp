// The address cache, and the media table in real SQLite files.
#include "follow/PictureCache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/SqliteConnection.h"

namespace {

namespace fs = std::filesystem;

TEST(PictureCacheTest, The401stAddressDropsTheLeastUsed) {
  CPictureCache& pictures = CPictureCache::GetInstance();
  const auto address = [](int i) { return "http://emu/p" + std::to_string(i) + "_145_90.jpg"; };
  for (int i = 0; i < 400; ++i) pictures.AddPicture(address(i), "C:\\cache\\" + std::to_string(i) + ".jpg");
  std::string path;
  ASSERT_TRUE(pictures.FindPicture(address(0), path));  // p0 passes p1, which becomes the tail
  pictures.AddPicture(address(400), "C:\\cache\\400.jpg");
  EXPECT_FALSE(pictures.FindPicture(address(1), path));
  EXPECT_EQ(path, "C:\\cache\\0.jpg");
  EXPECT_TRUE(pictures.FindPicture(address(0), path) && pictures.FindPicture(address(400), path));
  EXPECT_EQ(path, "C:\\cache\\400.jpg");
}

TEST(MediaTableTest, CreatedOnceKeepingItsRowsAndNotInAMissingFolder) {
  const fs::path folder = fs::temp_directory_path() / "vx-media-table";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string database = (folder / "media.db").string();
  EXPECT_EQ(CPictureCache::MediaTableCreateText(),
            "create table MediaPic( PicUrl TEXT ,PicExtend TEXT ,PicPath TEXT ,MediaID INTEGER "
            ",primary key( MediaID) );");
  CPictureCache::CreateMediaTable(database);
  ASSERT_TRUE(CSqliteConnection(database).Execute("insert into MediaPic values( 'http://p/1.jpg','','C:\\1.jpg', 7 )"));
  CPictureCache::CreateMediaTable(database);
  CSqliteConnection connection(database);
  EXPECT_EQ(connection.ExecuteScalar("select count(*) from sqlite_master"), 1);
  EXPECT_EQ(connection.ExecuteScalar("select MediaID from MediaPic"), 7);

  CPictureCache::CreateMediaTable((folder / "missing" / "media.db").string());
  EXPECT_FALSE(fs::exists(folder / "missing"));
}

}  // namespace
