#include "sharedobject/DeskTVInfo.h"

#include <ctime>
#include <utility>

#include "sharedobject/FolderSystem.h"
#include "sharedobject/SharedObjectLocator.h"
#include "sharedobject/SolFile.h"

namespace {

constexpr char kDeskTVInfoKey[] = "deskTVinfo";

SOProcessor FindCopies() {
  SOProcessor copies(kClientFlashSolFile);
  copies.ScanFlashRoots();
  return copies;
}

// Whole seconds of the last access. The UTC fields are read as if they were local time, which
// shifts every copy alike, so the copies keep their order. -1 when the file system cannot tell.
std::time_t LastAccessSeconds(const std::string& path) {
  std::tm fields = {};
  if (!folder_system::LastAccessTime(path, fields)) return -1;
  fields.tm_isdst = -1;
  return std::mktime(&fields);
}

}  // namespace

std::string ReadDeskTVInfo() {
  const SOProcessor copies = FindCopies();
  std::string freshest;
  std::time_t freshestTime = -1;
  for (int i = 0; i < copies.Count(); ++i) {
    const std::string& path = copies.Candidate(i);
    // Taken before the file is read: reading it can move its access time to now (NTFS when
    // the time is an hour old, Linux "relatime" when it is older than the last change), and
    // then every copy would look equally fresh.
    const std::time_t accessed = LastAccessSeconds(path);
    SolFile file;
    if (!ReadSolFile(path, file)) continue;
    const Variant* value = file.root.Find(kDeskTVInfoKey);
    std::string text = value ? value->ToString() : std::string();
    if (accessed <= freshestTime || text.empty()) continue;
    freshest = std::move(text);
    freshestTime = accessed;
  }
  return freshest;
}

bool DeleteConsumedSolFiles() {
  const SOProcessor copies = FindCopies();
  for (int i = 0; i < copies.Count(); ++i) {
    SolFile file;
    if (ReadSolFile(copies.Candidate(i), file)) folder_system::RemoveFile(copies.Candidate(i));
  }
  return true;
}
