#include "common/FileReplace.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>

#include "common/PathText.h"
#include "common/ScopedWin.h"

namespace {

constexpr wchar_t kTemporaryPrefix[] = L"~vx";

bool IsFileWithContents(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
}

// Another program (the shell showing the desktop, a virus scanner) may hold a new file open
// for a moment; a move or delete refused for that is tried again for a short while.
bool TriedWhileBusy(const std::function<BOOL()>& attempt) {
  constexpr int kRetries = 20;
  constexpr DWORD kPauseMs = 25;
  for (int retry = 0;; ++retry) {
    if (attempt()) return true;
    const DWORD error = ::GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || retry == kRetries) return false;
    ::Sleep(kPauseMs);
  }
}

// GetTempFileNameW's form for our prefix: the prefix, the unique number in hex (one to four
// digits, either case), ".tmp".
bool IsTemporaryName(const std::wstring& name) {
  constexpr size_t kPrefix = 3;
  const size_t dot = name.size() >= 4 ? name.size() - 4 : 0;
  if (dot <= kPrefix || dot > kPrefix + 4 || ::_wcsicmp(name.c_str() + dot, L".tmp") != 0) return false;
  if (::_wcsnicmp(name.c_str(), kTemporaryPrefix, kPrefix) != 0) return false;
  for (size_t i = kPrefix; i < dot; ++i) {
    if (!std::iswxdigit(name[i])) return false;
  }
  return true;
}

}  // namespace

TemporaryFile::TemporaryFile(const std::wstring& folder, const wchar_t* prefix) {
  wchar_t path[MAX_PATH] = {};
  if (::GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), prefix, 0, path)) m_path = path;
}

TemporaryFile::~TemporaryFile() {
  if (!m_path.empty()) TriedWhileBusy([this] { return ::DeleteFileW(m_path.c_str()); });
}

bool TemporaryFile::MoveTo(const std::wstring& target) {
  if (m_path.empty()) return false;
  if (!MoveFileOver(m_path, target)) return false;
  m_path.clear();
  return true;
}

bool ReplaceFileWith(const std::wstring& path, const std::function<bool(const std::wstring& temporary)>& write) {
  if (path.empty()) return false;
  // A short name beside the target, so a target near the path limit still has room for it.
  TemporaryFile temporary(FolderOf(path), kTemporaryPrefix);
  if (temporary.Path().empty()) return false;
  if (!write(temporary.Path()) || !IsFileWithContents(temporary.Path())) return false;
  return temporary.MoveTo(path);
}

bool ReplaceFileContents(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  return ReplaceFileWith(path, [&bytes](const std::wstring& temporary) {
    ScopedKernelHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size());
    return ::WriteFile(file.Get(), bytes.data(), size, &written, nullptr) && written == size;
  });
}

bool MoveFileOver(const std::wstring& from, const std::wstring& to) {
  return TriedWhileBusy([&] { return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING); });
}

int RemoveLeftoverTemporaries(const std::wstring& folder, const FILETIME& writtenBefore) {
  if (folder.empty()) return 0;
  const std::wstring base = folder.back() == L'\\' ? folder : folder + L'\\';
  WIN32_FIND_DATAW found = {};
  ScopedFindHandle search(::FindFirstFileW((base + kTemporaryPrefix + L"*.tmp").c_str(), &found));
  if (!search) return 0;
  int removed = 0;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsTemporaryName(found.cFileName)) continue;
    if (::CompareFileTime(&found.ftLastWriteTime, &writtenBefore) >= 0) continue;
    if (::DeleteFileW((base + found.cFileName).c_str())) ++removed;
  } while (::FindNextFileW(search.Get(), &found));
  return removed;
}
