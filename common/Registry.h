// Reading and writing registry values. Keys that are only read are opened for reading,
// and every text read is terminated and complete, whatever its stored size.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& subKey, const wchar_t* valueName);
// The value read through the narrow (system code page) interface.
std::optional<std::string> ReadRegistryNarrowText(HKEY root, const std::wstring& subKey, const wchar_t* valueName);
bool RegistryValueExists(HKEY root, const std::wstring& subKey, const wchar_t* valueName);
// Creates the key when it is missing. Stores the text with its terminating NUL.
bool WriteRegistryText(HKEY root, const std::wstring& subKey, const wchar_t* valueName, const std::wstring& text);
