// A shortcut store that cannot be used is never deleted: the file (with its journal) is moved
// aside under a dated name beside it, and the new store's rows are read back from the
// program's own shortcuts on the desktop.
#pragma once

#include <string>
#include <vector>

#include "favorites/ShortcutRecord.h"

// Moves `storePath` and its journal files to "<store>.damaged-YYYYMMDD-HHMMSS" (with "-2",
// "-3" ... when that name is taken); returns the new name, "" when the file could not be moved.
std::wstring SetAsideDamagedStore(const std::wstring& storePath);

// The rows of the desktop's shortcuts that this program wrote (their icon is an album icon of
// the client's icon folder), one per album name, in the order the desktop lists them.
std::vector<ShortcutRecord> ShortcutRowsFromDesktop();
