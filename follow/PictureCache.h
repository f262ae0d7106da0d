// Which local file holds the picture of which address, for the life of the process, so that
// a picture fetched once is not fetched again. One per process, created on first use and never
// destroyed. Also owns the layout of the media table of "<client folder>\cache\media.db".
// Windows-free.
#pragma once

#include <string>

#include "follow/LruCache.h"

class CPictureCache {
public:
  // A reminder batch names a handful of albums and a viewer follows tens to hundreds, so 400
  // addresses (their paths, about 200 bytes each: under 100 KiB when full) keep every picture
  // of an evening's reminders; the cache starts empty and grows only with pictures fetched.
  static constexpr int kAddressCapacity = 400;
  static constexpr char kMediaTable[] = "MediaPic";

  static CPictureCache& GetInstance();

  // The path stored for `address`; false (path untouched) when there is none.
  bool FindPicture(const std::string& address, std::string& path);
  // An address already cached keeps its first path.
  void AddPicture(const std::string& address, const std::string& path);

  // Creates the media table in the database at `databasePath` (as SQLite opens it: UTF-8)
  // unless it is there already. A database that cannot be opened is left alone, silently.
  static void CreateMediaTable(const std::string& databasePath);
  // The media table's CREATE statement.
  static std::string MediaTableCreateText();

private:
  CPictureCache() = default;

  CLruCache<std::string, std::string> m_addresses{kAddressCapacity};
};
