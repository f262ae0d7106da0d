// Where the running executable lies.
#pragma once

#include <windows.h>

#include <string>

// Full path of the module's file ("" when it cannot be read). nullptr: the executable.
std::wstring ModuleFilePath(HMODULE module = nullptr);

// The module's folder including its trailing backslash.
std::wstring ModuleFolderWithSeparator(HMODULE module = nullptr);
