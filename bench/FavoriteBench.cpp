// Favourite figures: the time from a hand-off to the .lnk on disk, the handle count and
// private bytes of the running program across 200 favourites, and the median time of a
// store operation. Prints figures; asserts nothing.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "app/resource.h"
#include "common/ModulePath.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration elapsed) { return std::chrono::duration<double, std::milli>(elapsed).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

struct Usage {
  DWORD handles = 0;
  double privateKiB = 0;
};

// Where the system does not report a handle count (Wine answers 0), the open handles are
// counted by duplicating every possible handle value of the process.
DWORD CountHandlesByProbing(HANDLE process) {
  constexpr uintptr_t kHighestProbed = 0x20000;
  DWORD count = 0;
  for (uintptr_t value = 4; value < kHighestProbed; value += 4) {
    HANDLE copy = nullptr;
    if (::DuplicateHandle(process, reinterpret_cast<HANDLE>(value), ::GetCurrentProcess(), &copy, 0, FALSE,
                          DUPLICATE_SAME_ACCESS)) {
      ++count;
      ::CloseHandle(copy);
    }
  }
  return count;
}

Usage UsageOf(HANDLE process) {
  Usage usage;
  if (!::GetProcessHandleCount(process, &usage.handles) || usage.handles == 0) {
    usage.handles = CountHandlesByProbing(process);
  }
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  usage.privateKiB = (memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / 1024.0;
  return usage;
}

bool SendFavorite(HWND window, int albumId) {
  const std::wstring text = L"{\"AlbumID\":" + std::to_wstring(albumId) + L",\"AlbumName\":\"Bench " +
                            std::to_wstring(albumId) + L"\",\"VideoUrl\":\"http://www.vexo.com/v_" +
                            std::to_wstring(albumId) + L".html\"}";
  COPYDATASTRUCT record = {0, static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)),
                           const_cast<wchar_t*>(text.c_str())};
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_NORMAL, 20000,
                               &result) != 0;
}

int RunHandOffs(int count) {
  const std::wstring program = ModuleFolderWithSeparator() + L"VXTailcast.exe";
  std::wstring commandLine = L"\"" + program + L"\" update";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return 1;
  }
  HWND window = nullptr;
  for (int i = 0; i < 2000 && !window; ++i) {
    window = ::FindWindowW(nullptr, kControlWindowTitle);
    if (!window) ::Sleep(10);
  }
  DWORD_PTR ignored = 0;
  if (!window || !::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored)) return 1;
  ::Sleep(500);  // let start-up settle before the first reading

  const std::wstring desktop = GetDesktopDirectory();
  const Usage before = UsageOf(process.hProcess);
  std::vector<double> toDisk;
  Usage halfway;
  for (int i = 0; i < count; ++i) {
    if (i == count / 2) halfway = UsageOf(process.hProcess);
    const int albumId = 700000 + i;
    const std::wstring lnk = desktop + L"\\Bench " + std::to_wstring(albumId) + L".lnk";
    const auto start = Clock::now();
    if (!SendFavorite(window, albumId)) return 1;
    while (::GetFileAttributesW(lnk.c_str()) == INVALID_FILE_ATTRIBUTES && Clock::now() - start < std::chrono::seconds(10)) {
      ::Sleep(0);
    }
    toDisk.push_back(Milliseconds(Clock::now() - start));
  }
  const Usage after = UsageOf(process.hProcess);
  std::printf("hand-off to .lnk on disk: median %.2f ms, slowest %.2f ms (%d favourites)\n", Median(toDisk),
              *std::max_element(toDisk.begin(), toDisk.end()), count);
  std::printf("program handles: %lu before, %lu halfway, %lu after\n", static_cast<unsigned long>(before.handles),
              static_cast<unsigned long>(halfway.handles), static_cast<unsigned long>(after.handles));
  std::printf("program private bytes: %.0f KiB before, %.0f KiB halfway, %.0f KiB after\n", before.privateKiB,
              halfway.privateKiB, after.privateKiB);

  ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
  if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  std::vector<ShortcutRecord> rows;
  LoadShortcuts(rows);
  for (const ShortcutRecord& row : rows) ::DeleteFileW(AnsiToWide(row.strLNK).c_str());
  return 0;
}

void RunStoreOperations(int count) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"vx-bench-store\\vexo_shortCut.dll";
  ::DeleteFileW(path.c_str());
  CShortcutStore store(path);
  std::vector<double> adds, loads;
  for (int i = 0; i < count; ++i) {
    ShortcutRecord record;
    record.strAlbumName = "Album " + std::to_string(i);
    record.nAlbumID = i + 1;
    record.strLNK = "C:\\nowhere\\" + record.strAlbumName + ".lnk";
    auto start = Clock::now();
    store.Add(record);
    adds.push_back(Milliseconds(Clock::now() - start));
    std::vector<ShortcutRecord> rows;
    start = Clock::now();
    store.Load(rows);
    loads.push_back(Milliseconds(Clock::now() - start));
  }
  std::printf("store operations over %d favourites: add median %.2f ms, load median %.2f ms (table grows to %d rows)\n",
              count, Median(adds), Median(loads), count);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
  RunStoreOperations(count);
  return RunHandOffs(count);
}
