// The few file-system services the shared-object reader needs, over narrow paths in the
// system's ANSI code page. One implementation per platform; no Win32 type crosses this header.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace folder_system {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

struct Entry {
  std::string name;
  bool isDirectory = false;
};

enum class PathKind { kMissing, kFolder, kOther };

// Appends the entries of `folder` whose names match `pattern` ("*" or a wildcard such as
// "*.example.com"), in the order the system lists them, without "." and "..". False when
// the listing cannot be started (for instance, the folder does not exist).
bool List(const std::string& folder, const std::string& pattern, std::vector<Entry>& entries);

PathKind KindOf(const std::string& path);

// The file's size from the file system, without opening it; false when it cannot be had.
bool FileSize(const std::string& path, uint64_t& size);

// Creates one folder (its parent must exist).
bool CreateFolder(const std::string& path);

// The file's last-access time as UTC calendar fields.
bool LastAccessTime(const std::string& path, std::tm& utc);

bool RemoveFile(const std::string& path);

// The bases of the per-user stores, without a trailing separator; empty when unknown.
std::string RoamingDataFolder();
std::string LocalDataFolder();

}  // namespace folder_system
