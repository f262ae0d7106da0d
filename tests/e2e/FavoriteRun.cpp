#include "tests/e2e/FavoriteRun.h"

#include <cstdio>

#include "app/ClientLocations.h"
#include "app/HandoffText.h"
#include "app/resource.h"
#include "common/DirectoryTree.h"
#include "common/Registry.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "tests/support/EmulatorClient.h"

namespace vxtest {

namespace {

constexpr DWORD kHandoffTimeoutMs = 10000;  // as long as a second start waits
const std::wstring kUserKey = std::wstring(kClientUserKeyFormat) + kClientProductKey;

}  // namespace

bool PrepareClient(const std::wstring& dataFolder) {
  return CreateDirectoryTree(dataFolder) &&
         WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue, dataFolder) &&
         WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"0");
}

void ForgetClient() {
  ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue);
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey.c_str(), L"Status");
}

bool RegisterWithEmulator(const std::vector<ThousandAlbum>& albums) {
  ResetEmulator();
  const EmulatorAnswer answer = EmulatorRequest("POST", "/__emu/batch", EmulatorBatch(albums));
  if (answer.status == 200) return true;
  std::printf("FAILED: the emulator refused the albums (%u): %s\n", answer.status, answer.body.c_str());
  return false;
}

bool HandOver(HWND window, const ThousandAlbum& album) {
  const std::wstring text = FavoriteText(album, Utf8ToWide(EmulatorOrigin()));
  HandoffText record = MakeHandoffText(kHandoffFromSecondStart, text);
  DWORD_PTR taken = 0;
  return ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_ABORTIFHUNG,
                               kHandoffTimeoutMs, &taken) != 0 &&
         taken == 1;
}

FinalPlace FinalPlaceBelow(const std::wstring& dataFolder) {
  return FinalPlace{GetDesktopDirectory(), dataFolder + L"VexoClient\\Icon\\"};
}

bool IsFinished(const ShortcutRecord& row, const ThousandAlbum& album, const FinalPlace& place) {
  const std::wstring icon = place.iconFolder + L"album_" + std::to_wstring(album.id) + L".ico";
  const std::wstring badge = place.iconFolder + L"updatealbum_" + std::to_wstring(album.id) + L".ico";
  return AnsiToWide(row.strLNK) == place.desktop + L"\\" + album.FileName() + L".lnk" &&
         row.strVideoURL == album.PlayPage() && AnsiToWide(row.strIconName) == icon && IsFile(icon) &&
         IsFile(badge);
}

bool ExitProgram(HWND window, ChildProcess& running) {
  ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
  return running.WaitForExit(kProcessTimeoutMs) && running.ExitCode() == 0;
}

}  // namespace vxtest
