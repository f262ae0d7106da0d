#include "common/PathText.h"

namespace {

size_t NameStart(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? 0 : slash + 1;
}

}  // namespace

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, NameStart(path)); }

std::wstring ParentFolderOf(const std::wstring& path) {
  const size_t start = NameStart(path);
  return start == 0 ? std::wstring() : path.substr(0, start - 1);
}

std::wstring FileNameOf(const std::wstring& path) { return path.substr(NameStart(path)); }

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty() || folder.back() == L'\\') return folder + name;
  return folder + L'\\' + name;
}
