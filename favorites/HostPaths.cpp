#include "favorites/HostPaths.h"

#include <mutex>

#include "common/PathText.h"

namespace {

std::mutex& PathsLock() {
  static std::mutex lock;
  return lock;
}

HostPaths& Paths() {
  static HostPaths paths;
  return paths;
}

}  // namespace

void SetHostPaths(const HostPaths& paths) {
  std::lock_guard<std::mutex> lock(PathsLock());
  Paths() = paths;
}

// A copy: the icon worker and the network threads read while the main thread may set.
HostPaths GetHostPaths() {
  std::lock_guard<std::mutex> lock(PathsLock());
  return Paths();
}

std::wstring AlbumIconFolder() {
  const std::wstring clientFolder = GetHostPaths().clientFolder;
  return clientFolder.empty() ? std::wstring() : JoinPath(clientFolder, L"Icon\\");
}

std::wstring ProvisionalIconPath() {
  const std::wstring skinFolder = GetHostPaths().skinFolder;
  return skinFolder.empty() ? std::wstring() : JoinPath(skinFolder, L"favorite.ico");
}
