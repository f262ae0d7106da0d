// The program's command-line grammar. Windows-free; also built and tested natively.
//
// An ordinary start is routed through the updater, which starts the program again
// as "update,,<command>". A second start hands its command to the running instance.
#pragma once

#include <string>

inline constexpr wchar_t kCommandSeparator[] = L",,";
inline constexpr wchar_t kDeskFavorPrefix[] = L"DeskFavor;";
inline constexpr wchar_t kFavoriteTextMarker[] = L"strjs=";
inline constexpr wchar_t kUninstallCommand[] = L"/uinst";

// With ",," present: whether "update,," occurs; otherwise whether "update" occurs (case-sensitive).
bool IsUpdateCommand(const std::wstring& commandLine);

// The first 10 characters equal "DeskFavor;" ignoring case.
bool IsDeskFavorCommand(const std::wstring& command);

// The whole text equals "/uinst" ignoring case.
bool IsUninstallCommand(const std::wstring& command);

// Everything after the first "strjs=", or empty when there is none.
std::wstring FavoriteTextOf(const std::wstring& command);

// The command of an update start: the second non-empty ",," piece, or empty.
std::wstring UpdateStartCommand(const std::wstring& commandLine);

// Parameters handed to the updater: "AUTOSILENT,,<application>,,<command line>".
std::wstring UpdaterParameters(const std::wstring& applicationName, const std::wstring& commandLine);
