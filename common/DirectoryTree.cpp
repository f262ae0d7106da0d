#include "common/DirectoryTree.h"

#include <windows.h>

#include "common/TextConvert.h"

namespace {

constexpr size_t kMaxTreePath = MAX_PATH;

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

bool CreateOne(const std::wstring& path) {
  if (::CreateDirectoryW(path.c_str(), nullptr)) return true;
  return ::GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(path);
}

bool CreateTree(const std::wstring& path, int depth) {
  if (CreateOne(path)) return true;
  if (::GetLastError() == ERROR_ALREADY_EXISTS) return false;  // a file is in the way
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos || slash == 0 || depth > static_cast<int>(kMaxTreePath)) return false;
  const std::wstring parent = WithoutTrailingSeparators(path.substr(0, slash));
  if (parent.empty() || parent.back() == L':') return false;  // the drive itself cannot be made
  if (!CreateTree(parent, depth + 1)) return false;
  return CreateOne(path);
}

}  // namespace

bool CreateDirectoryTree(const std::wstring& path) {
  const std::wstring folder = WithoutTrailingSeparators(path);
  if (folder.empty() || folder.size() > kMaxTreePath) return false;
  if (IsFolder(folder)) return true;
  return CreateTree(folder, 0);
}

bool PathExists(const std::wstring& path) {
  return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExistsAnsi(const std::string& path) { return !path.empty() && PathExists(AnsiToWide(path)); }
