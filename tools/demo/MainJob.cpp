// What `./vx run` shows: the program started as a log-on would start it, through the
// updater, then a favourite handed over by a second start, then a normal exit; then a second
// log-on, at which the reminder feed names the album and the pop-up shows in the corner. It
// prints what happened and the trace records the program left, and leaves the program running
// with its pop-up for the caller to photograph (the last line gives the pop-up's rectangle).
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/ClientLocations.h"
#include "app/Messages.h"
#include "app/resource.h"
#include "common/ModulePath.h"
#include "common/Registry.h"
#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "tests/support/ChildProcess.h"

namespace {

// Written as UTF-8 bytes: the console conversion of wprintf stops at the first Chinese character.
void Print(const std::wstring& text) {
  const std::string bytes = WideToUtf8(text + L"\n");
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);  // the caller reads the lines as they come
}

HWND WaitForControlWindow(DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < timeoutMs) {
    if (const HWND window = ::FindWindowW(nullptr, kControlWindowTitle)) {
      DWORD_PTR ignored = 0;
      if (::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored)) return window;
    }
    ::Sleep(20);
  }
  return nullptr;
}

void PrintFile(const std::wstring& path) {
  Print(L"----- " + path);
  wchar_t sections[4096] = {};
  const DWORD length = ::GetPrivateProfileSectionNamesW(sections, 4096, path.c_str());
  for (const wchar_t* section = sections; section < sections + length && *section;
       section += wcslen(section) + 1) {
    Print(L"[" + std::wstring(section) + L"]");
    std::wstring pairs(65536, L'\0');
    const DWORD size = ::GetPrivateProfileSectionW(section, &pairs[0], static_cast<DWORD>(pairs.size()),
                                                   path.c_str());
    for (const wchar_t* pair = pairs.c_str(); pair < pairs.c_str() + size && *pair; pair += wcslen(pair) + 1) {
      Print(L"  " + std::wstring(pair));
    }
  }
}

// The service's address as the program sees it (the local emulator in a run).
std::wstring ServiceOrigin() {
  wchar_t origin[512] = {};
  ::GetEnvironmentVariableW(L"VXTAILCAST_SERVICE_URL", origin, 512);
  return origin[0] ? origin : L"http://pic.vexo.com";
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (::GetTickCount() - start > timeoutMs) return false;
    ::Sleep(50);
  }
  return true;
}

bool WaitForTrace(const wchar_t* section, const wchar_t* key, const std::wstring& value, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    wchar_t text[256] = {};
    ::GetPrivateProfileStringW(section, key, L"", text, 256, L"c:\\log_tailcast.txt");
    if (value == text) return true;
    if (::GetTickCount() - start > timeoutMs) return false;
    ::Sleep(50);
  }
}

// The pop-up, once it is visible and the album picture it asked for lies in the picture folder.
HWND WaitForReminderPopup(const std::wstring& pictureFolder, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < timeoutMs) {
    const HWND popup = ::FindWindowW(L"CPushWnd", nullptr);
    WIN32_FIND_DATAW found = {};
    const ScopedFindHandle search(::FindFirstFileW((pictureFolder + L"updateImage_*").c_str(), &found));
    const bool hasPicture = search.IsValid();
    if (popup && ::IsWindowVisible(popup) && hasPicture) return popup;
    ::Sleep(50);
  }
  return nullptr;
}

bool EndThroughTrayMenu(HWND window) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  const ScopedKernelHandle running(::OpenProcess(SYNCHRONIZE, FALSE, processId));
  ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
  return running && ::WaitForSingleObject(running.Get(), 20000) == WAIT_OBJECT_0;
}

// A start that hands over and ends: it is waited for (and ended if it does not).
bool RunToItsEnd(const std::wstring& program, const std::wstring& arguments) {
  vxtest::ChildProcess start = vxtest::ChildProcess::Start(program, arguments);
  return start.IsStarted() && start.WaitForExit(20000);
}

HWND StartAtLogOn(const std::wstring& program) {
  if (!RunToItsEnd(program, L"autostart")) return nullptr;
  return WaitForControlWindow(60000);
}

int Fail(const wchar_t* what) {
  Print(L"FAILED: " + std::wstring(what));
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring folder = argc > 1 ? std::wstring(argv[1]) + L"\\" : ModuleFolderWithSeparator();
  const std::wstring program = folder + L"VXTailcast.exe";

  // A known machine id: the emulator's reminder feed for anonymous users is kept per machine id.
  WriteRegistryText(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue, L"vx-demo-machine");

  Print(L"1. Log-on start: " + program + L" autostart");
  if (!RunToItsEnd(program, L"autostart")) return Fail(L"could not start the program");
  Print(L"   that start handed over to the updater and ended; the updater starts it again");

  const HWND window = WaitForControlWindow(60000);  // a first start in a fresh prefix can be slow
  if (!window) return Fail(L"no control window appeared");
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  wchar_t className[64] = {};
  ::GetClassNameW(window, className, 64);
  Print(L"2. Running: window \"" + std::wstring(kControlWindowTitle) + L"\" (class " + className + L", process " +
        std::to_wstring(processId) + (::IsWindowVisible(window) ? L", visible)" : L", hidden)"));

  const std::wstring favorite =
      L"{\"AlbumID\":123,\"AlbumName\":\"ABC\",\"ChannelID\":2,\"VideoUrl\":\"http://www.vexo.com/v_123.html\","
      L"\"PicUrl\":\"" + ServiceOrigin() + L"/pictures/album_123.jpg\"}";
  Print(L"3. Second start hands a favourite over: DeskFavor;id=123 strjs=" + favorite);
  if (!RunToItsEnd(program, L"DeskFavor;id=123 strjs=" + favorite)) return Fail(L"second start");

  const std::wstring refreshed = GetDesktopDirectory() + L"\\ABC 更新至12集.lnk";
  Print(L"   the icon worker composes the album icon and asks the catalogue for the episode count...");
  if (!WaitForFile(refreshed, 30000)) return Fail(L"the shortcut was not renamed with its episode count");
  Print(L"   renamed: " + refreshed);
  // Then the catalogue's album information points the shortcut at the album's play page.
  if (!WaitForTrace(L"tailcast", L"DoUpdateVideoUrl", L"释放CLSID_ShellLink成功！", 30000)) {
    return Fail(L"the shortcut's address was not updated");
  }
  Print(L"   and pointed at the album's play page");

  Print(L"4. Exit from the tray menu");
  const bool ended = EndThroughTrayMenu(window);
  Print(std::wstring(L"   the program ") + (ended ? L"ended\n" : L"did NOT end\n"));

  PrintFile(folder + L"TailcastLog.txt");
  PrintFile(L"c:\\log_tailcast.txt");
  if (!ended) return 1;

  Print(L"\n5. Log-on start again: the reminder feed names album 123, which is now on the desktop");
  const HWND secondWindow = StartAtLogOn(program);
  if (!secondWindow) return Fail(L"no control window appeared at the second log-on");
  wchar_t windowsFolder[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windowsFolder, MAX_PATH);  // the data folder lies on its drive when the client names none
  const std::wstring cacheFolder = std::wstring(windowsFolder, 2) + L"\\Users\\Public\\Vexo\\VexoClient\\Cache\\";
  const HWND popup = WaitForReminderPopup(cacheFolder, 30000);
  if (!popup) return Fail(L"the reminder pop-up did not show with its picture");
  ::Sleep(1000);  // the picture's redraw
  RECT area = {};
  ::GetWindowRect(popup, &area);
  Print(L"   the pop-up shows");
  Print(L"POPUP " + std::to_wstring(area.left) + L" " + std::to_wstring(area.top) + L" " +
        std::to_wstring(area.right - area.left) + L" " + std::to_wstring(area.bottom - area.top));
  // The caller photographs the screen, then leaves a file beside this program.
  if (!WaitForFile(folder + L"popup-photographed", 60000)) Print(L"   (no photograph was taken)");

  Print(L"6. Exit from the tray menu");
  if (!EndThroughTrayMenu(secondWindow)) return Fail(L"the program did not end");
  Print(L"   the program ended again");
  return 0;
}
