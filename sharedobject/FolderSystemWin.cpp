#include "sharedobject/FolderSystem.h"

#include <windows.h>
#include <shlobj.h>

#include "common/ScopedWin.h"

namespace folder_system {

namespace {

using ScopedFind = ScopedHandle<FindHandleTraits>;

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The special folder's current path; never created here.
std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return std::string();
  return path;
}

}  // namespace

bool List(const std::string& folder, const std::string& pattern, std::vector<Entry>& entries) {
  WIN32_FIND_DATAA found = {};
  ScopedFind find(::FindFirstFileA((folder + kSeparator + pattern).c_str(), &found));
  if (!find) return false;
  do {
    if (IsDotEntry(found.cFileName)) continue;
    entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileA(find.Get(), &found));
  return true;
}

PathKind KindOf(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kMissing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kOther;
}

bool CreateFolder(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

bool FileSize(const std::string& path, uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  size = uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
  return true;
}

bool LastAccessTime(const std::string& path, std::tm& utc) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  SYSTEMTIME fields = {};
  if (!::FileTimeToSystemTime(&data.ftLastAccessTime, &fields)) return false;
  utc = std::tm();
  utc.tm_year = fields.wYear - 1900;
  utc.tm_mon = fields.wMonth - 1;
  utc.tm_mday = fields.wDay;
  utc.tm_hour = fields.wHour;
  utc.tm_min = fields.wMinute;
  utc.tm_sec = fields.wSecond;
  utc.tm_wday = fields.wDayOfWeek;
  return true;
}

bool RemoveFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != FALSE; }

std::string RoamingDataFolder() { return SpecialFolder(CSIDL_APPDATA); }

std::string LocalDataFolder() { return SpecialFolder(CSIDL_LOCAL_APPDATA); }

}  // namespace folder_system
