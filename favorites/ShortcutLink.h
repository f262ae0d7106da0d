// Writing desk favourites' .lnk files through the shell's link object. Every write, new or
// rewrite, goes through WriteShortcutLink: the file is written beside its place and moved
// there, so a failed write never loses the shortcut that was there; and every write holds
// one process-wide lock, so the writer, the icon worker, the badge update and the address
// update never interleave on a shortcut.
#pragma once

#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <functional>
#include <mutex>
#include <string>

#include "favorites/RecoveredShortcut.h"

struct ShortcutLinkFields {
  std::wstring path;  // the target, with the source tag already applied for web addresses
  std::wstring workingDir;
  std::wstring arguments;
  std::wstring iconPath;  // shown with index 0
  std::wstring description;
};

// What a shortcut of this kind points at: a web favourite (0) its address (with the source
// tag when it is a web address), a client favourite (1) the client program, started in its
// own folder. False for any other kind, which is never written.
bool SetLinkTarget(int infoType, const std::wstring& address, ShortcutLinkFields& fields);

struct ShortcutWrite {
  // The shortcut's old file. A shortcut that changes its name is saved over its old file first
  // and moved to its new name only once `afterSave` (the store's write) has agreed: the desktop
  // never holds two files of one shortcut, and the move a process ended before is made by the
  // next start (PutRightInterruptedWrites).
  std::wstring replaces;
  // Section "tailcast": the link object's "created" and "released" records under this key.
  const wchar_t* traceKey = nullptr;
  // The badges' rule: when the link object cannot be made, one more try, and a record under
  // this key when the shell refuses aggregation; the shortcut is skipped either way.
  const wchar_t* retryTraceKey = nullptr;
  // Runs once the fields are set, just before the file is written (under the lock).
  std::function<void()> beforeSave;
  // Runs once the new contents are saved, before a renamed shortcut moves to its new name (the
  // store names the new file here); false keeps the shortcut under its old name.
  std::function<bool()> afterSave;
};

// Held by every shortcut write; hold it too from a read of the store to the write it decides.
std::recursive_timed_mutex& ShortcutRewriteLock();

// For the end of the process: waits until a shortcut being saved is in place (at most
// `waitMs`), and from then on every write is refused, so the process never ends halfway through
// a save (which would leave its temporary file on the desktop) and a shortcut just removed is
// not written back. False when a save was still running at the deadline.
bool CloseShortcutWrites(DWORD waitMs = 3000);
// Lets writes through again; for a process that goes on after closing them (tests).
void ReopenShortcutWrites();

// The shell's link object; null (with the COM result in `result`) when it cannot be made.
Microsoft::WRL::ComPtr<IShellLinkW> CreateShellLink(HRESULT* result = nullptr);

// Sets the fields in the shell's order (path, working folder, arguments, icon, description)
// and saves them as `lnkPath`. False, with the old file kept, when nothing could be saved; false
// too when `afterSave` refused (a renamed shortcut then stays under its old name).
bool WriteShortcutLink(const ShortcutLinkFields& fields, const std::wstring& lnkPath, const ShortcutWrite& how = {});

// Reads a .lnk file back through the shell: its target as the shell can spell it (the path, the
// address of a web target, the parsing names of its item), arguments, icon and description.
// False when the file is no shortcut the shell can read.
bool ReadShortcutLink(const std::wstring& lnkPath, LinkFacts& facts);
