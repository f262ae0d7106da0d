#include "tests/installer/FileChecks.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

#include "common/ScopedWin.h"

namespace vxtest {

std::wstring LocalAppDataFolder() {
  wchar_t folder[MAX_PATH] = {};
  return SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder)) ? folder : L"";
}

std::string FileBytes(const std::wstring& path) {
  ScopedKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (file && ::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

std::vector<std::wstring> FilesBelow(const std::wstring& folder, const std::wstring& relative) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW entry = {};
  ScopedFindHandle find(::FindFirstFileW((folder + relative + L"*").c_str(), &entry));
  for (bool more = find.IsValid(); more; more = ::FindNextFileW(find.Get(), &entry) != FALSE) {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      files.push_back(relative + name);
      continue;
    }
    for (const std::wstring& file : FilesBelow(folder, relative + name + L"\\")) files.push_back(file);
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool WriteFileText(const std::wstring& path, const std::string& text) {
  ScopedKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                        nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

void RemoveTree(const std::wstring& folder) {
  std::wstring from = folder;
  if (!from.empty() && from.back() == L'\\') from.pop_back();
  from.push_back(L'\0');
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&operation);
}

std::wstring ProductVersionOf(const std::wstring& executable) {
  DWORD ignored = 0;
  std::vector<char> block(::GetFileVersionInfoSizeW(executable.c_str(), &ignored));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  if (block.empty() || !::GetFileVersionInfoW(executable.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
      !::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) || !fixed) {
    return L"";
  }
  const auto field = [](DWORD word) { return std::to_wstring(word); };
  return field(HIWORD(fixed->dwProductVersionMS)) + L"." + field(LOWORD(fixed->dwProductVersionMS)) + L"." +
         field(HIWORD(fixed->dwProductVersionLS)) + L"." + field(LOWORD(fixed->dwProductVersionLS));
}

}  // namespace vxtest
