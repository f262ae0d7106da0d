// The steps the end-to-end drivers share: the client's data folder in the registry, the
// albums given to the emulator, a favourite handed to the running program as a second start
// hands it, the program's own view of a finished favourite, and the tray menu's exit.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "favorites/ShortcutRecord.h"
#include "tests/e2e/ThousandAlbums.h"
#include "tests/support/ProcessHarness.h"

namespace vxtest {

// The client's data folder (with its trailing backslash) and a user who is not logged in, so
// that no play history moves the shortcuts.
bool PrepareClient(const std::wstring& dataFolder);
void ForgetClient();

// Resets the emulator and gives it the albums' catalogue entries and pictures in one request.
bool RegisterWithEmulator(const std::vector<ThousandAlbum>& albums);

// The record a second start sends; false when the window did not take it in time.
bool HandOver(HWND window, const ThousandAlbum& album);

// Where the program keeps a favourite once it is finished with it.
struct FinalPlace {
  std::wstring desktop;
  std::wstring iconFolder;  // with its trailing backslash
};
FinalPlace FinalPlaceBelow(const std::wstring& dataFolder);

// The row names the final shortcut, the play page and the album icon, and both icons exist.
bool IsFinished(const ShortcutRecord& row, const ThousandAlbum& album, const FinalPlace& place);

// Ends the program as its tray menu's exit does; false when it does not end with status 0.
bool ExitProgram(HWND window, ChildProcess& running);

}  // namespace vxtest
