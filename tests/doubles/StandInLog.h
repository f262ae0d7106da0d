// Shared by the stand-in programs: where they lie and how they record their starts.
#pragma once

#include <windows.h>

#include <string>

#include "common/ScopedWin.h"

namespace standin {

inline std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

inline bool FileExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Appends `line` and a line break to `file`, UTF-8 encoded.
inline void AppendLine(const std::wstring& file, const std::wstring& line) {
  const int needed = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                           nullptr, nullptr);
  std::string bytes(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
  if (needed > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &bytes[0], needed, nullptr,
                          nullptr);
  }
  bytes += '\n';
  const ScopedKernelHandle handle(::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return;
  DWORD written = 0;
  ::WriteFile(handle.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace standin
