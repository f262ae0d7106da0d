// Files as the installer tests look at them: whole contents, trees, version resources.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vxtest {

// The user's local application data folder, without trailing backslash ("" when unknown).
std::wstring LocalAppDataFolder();

// The whole file ("" when it cannot be read).
std::string FileBytes(const std::wstring& path);
bool WriteFileText(const std::wstring& path, const std::string& text);

// The files below `folder` (with trailing backslash), as paths relative to it, sorted.
std::vector<std::wstring> FilesBelow(const std::wstring& folder, const std::wstring& relative = L"");
void RemoveTree(const std::wstring& folder);

// "a.b.c.d" from the executable's version resource ("" when it has none).
std::wstring ProductVersionOf(const std::wstring& executable);

}  // namespace vxtest
