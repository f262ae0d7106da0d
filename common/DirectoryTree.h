#pragma once

#include <string>

// Creates a folder, creating missing parents first. True when the folder exists afterwards.
// Paths longer than 260 characters are refused.
bool CreateDirectoryTree(const std::wstring& path);

// True when a file or a folder is at `path`; false for the empty path.
bool PathExists(const std::wstring& path);
// True when a file (not a folder) is at `path`; false for the empty path.
bool IsFile(const std::wstring& path);

// The same as PathExists for a path in the ANSI code page, as the shortcut store keeps them.
bool PathExistsAnsi(const std::string& path);
