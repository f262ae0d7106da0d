// Splitting and joining Windows paths held as UTF-16 text. Windows-free.
#pragma once

#include <string>

// "C:\a\b.ico" -> "C:\a\" (with the backslash); "" when the path has no folder part.
std::wstring FolderOf(const std::wstring& path);
// "C:\a\b.ico" -> "C:\a" (without it); "" when the path has no folder part.
std::wstring ParentFolderOf(const std::wstring& path);
// "C:\a\b.ico" -> "b.ico"; the whole text when it has no backslash.
std::wstring FileNameOf(const std::wstring& path);
// folder + "\" + name, without doubling a backslash the folder already ends in.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
