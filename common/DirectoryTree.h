#pragma once

#include <string>

// Creates a folder, creating missing parents first. True when the folder exists afterwards.
// Paths longer than 260 characters are refused.
bool CreateDirectoryTree(const std::wstring& path);
