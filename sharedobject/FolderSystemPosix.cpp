#include "sharedobject/FolderSystem.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace folder_system {

static_assert(sizeof(off_t) == 8 && sizeof(ino_t) == 8, "built without _FILE_OFFSET_BITS=64: readdir and stat "
              "would fail on wide directory positions, inode numbers and file sizes");

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using ScopedDir = std::unique_ptr<DIR, DirCloser>;

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// $NAME when it is set to an absolute path, else $HOME + fallback, else nothing.
std::string BaseFolder(const char* variable, const char* fallbackBelowHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (!home || !*home) return std::string();
  return std::string(home) + fallbackBelowHome;
}

}  // namespace

bool List(const std::string& folder, const std::string& pattern, std::vector<Entry>& entries) {
  ScopedDir dir(::opendir(folder.c_str()));
  if (!dir) return false;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (IsDotEntry(entry->d_name) || ::fnmatch(pattern.c_str(), entry->d_name, 0) != 0) continue;
    // d_type is not filled in by every file system; stat tells reliably.
    entries.push_back({entry->d_name, KindOf(folder + kSeparator + entry->d_name) == PathKind::kFolder});
  }
  return true;
}

PathKind KindOf(const std::string& path) {
  struct stat status = {};
  if (::stat(path.c_str(), &status) != 0) return PathKind::kMissing;
  return S_ISDIR(status.st_mode) ? PathKind::kFolder : PathKind::kOther;
}

bool CreateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool FileSize(const std::string& path, uint64_t& size) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode) || status.st_size < 0) return false;
  size = static_cast<uint64_t>(status.st_size);
  return true;
}

bool LastAccessTime(const std::string& path, std::tm& utc) {
  struct stat status = {};
  if (::stat(path.c_str(), &status) != 0) return false;
  const time_t seconds = status.st_atime;
  return ::gmtime_r(&seconds, &utc) != nullptr;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

// Without the shell's special folders, the stores lie below the XDG base folders: the
// roaming store below the configuration home, the local store below the data home.
std::string RoamingDataFolder() { return BaseFolder("XDG_CONFIG_HOME", "/.config"); }

std::string LocalDataFolder() { return BaseFolder("XDG_DATA_HOME", "/.local/share"); }

}  // namespace folder_system
