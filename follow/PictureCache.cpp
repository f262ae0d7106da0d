#include "follow/PictureCache.h"

#include <cstdint>

#include "common/SqliteConnection.h"
#include "common/TableMapping.h"

namespace {

// A row of the media table. Nothing in this program writes rows; the layout is shared with
// the client, which reads and fills the same database.
struct MediaPicture {
  std::string picUrl;
  std::string picExtend;
  std::string picPath;
  int32_t mediaId = 0;
  int64_t rowId = 0;
};

const TableMapping<MediaPicture>& MediaMapping() {
  static const TableMapping<MediaPicture> mapping({
      TextColumn("PicUrl", &MediaPicture::picUrl),
      TextColumn("PicExtend", &MediaPicture::picExtend),
      TextColumn("PicPath", &MediaPicture::picPath),
      IntegerColumn("MediaID", &MediaPicture::mediaId, true),
  });
  return mapping;
}

}  // namespace

CPictureCache& CPictureCache::GetInstance() {
  static CPictureCache* const instance = new CPictureCache();  // never destroyed: callbacks may outlive main
  return *instance;
}

bool CPictureCache::FindPicture(const std::string& address, std::string& path) {
  return m_addresses.Get(address, path);
}

void CPictureCache::AddPicture(const std::string& address, const std::string& path) {
  m_addresses.Put(address, path);
}

void CPictureCache::CreateMediaTable(const std::string& databasePath) {
  CSqliteConnection connection(databasePath);
  if (!connection.IsOpen() || connection.TableExists(kMediaTable)) return;
  CreateTable(connection, kMediaTable, MediaMapping());
}

std::string CPictureCache::MediaTableCreateText() { return MediaMapping().CreateText(kMediaTable); }
