#include "favorites/ShortcutLink.h"

#include <cwchar>

#include "common/DirectoryTree.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kTemporarySuffix[] = L".saving~";

bool SamePath(const std::wstring& a, const std::wstring& b) { return ::_wcsicmp(a.c_str(), b.c_str()) == 0; }

}  // namespace

std::recursive_mutex& ShortcutRewriteLock() {
  static std::recursive_mutex* const lock = new std::recursive_mutex;  // lives until the process ends
  return *lock;
}

ComPtr<IShellLinkW> CreateShellLink(HRESULT* result) {
  ComPtr<IShellLinkW> link;
  const HRESULT created = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
  if (result) *result = created;
  if (FAILED(created)) link.Reset();
  return link;
}

bool SaveShortcutLink(IShellLinkW* link, const ShortcutLinkFields& fields, const std::wstring& lnkPath,
                      const std::wstring& oldLnk, const std::function<void()>& beforeSave) {
  if (!link || lnkPath.empty()) return false;
  link->SetPath(fields.path.c_str());
  link->SetWorkingDirectory(fields.workingDir.c_str());
  link->SetArguments(fields.arguments.c_str());
  link->SetIconLocation(fields.iconPath.c_str(), 0);
  link->SetDescription(fields.description.c_str());
  if (beforeSave) beforeSave();

  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_PPV_ARGS(&file)))) return false;
  const std::wstring temporary = lnkPath + kTemporarySuffix;
  if (FAILED(file->Save(temporary.c_str(), TRUE)) || !PathExists(temporary)) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  if (!::MoveFileExW(temporary.c_str(), lnkPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  if (!oldLnk.empty() && !SamePath(oldLnk, lnkPath)) ::DeleteFileW(oldLnk.c_str());
  return true;
}
