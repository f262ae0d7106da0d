// Rewriting an existing desk favourite's .lnk. The new file is written beside the old one
// and moved into place before the old one goes, so a failed rewrite never loses the
// shortcut; every rewrite holds one process-wide lock, so the icon worker, the badge
// update and the address update never interleave on a shortcut.
#pragma once

#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <functional>
#include <mutex>
#include <string>

struct ShortcutLinkFields {
  std::wstring path;  // the target, with the source tag already applied for web addresses
  std::wstring workingDir;
  std::wstring arguments;
  std::wstring iconPath;  // shown with index 0
  std::wstring description;
};

// Held by every shortcut rewrite from its first read of the store to its last file change.
std::recursive_mutex& ShortcutRewriteLock();

// The shell's link object; null (with the COM result in `result`) when it cannot be made.
Microsoft::WRL::ComPtr<IShellLinkW> CreateShellLink(HRESULT* result = nullptr);

// Sets the fields in the shell's order (path, working folder, arguments, icon, description),
// runs `beforeSave`, then saves to `lnkPath` through a temporary file and removes `oldLnk`
// when it names another file. False (and the old file kept) when nothing could be saved.
bool SaveShortcutLink(IShellLinkW* link, const ShortcutLinkFields& fields, const std::wstring& lnkPath,
                      const std::wstring& oldLnk, const std::function<void()>& beforeSave = {});
