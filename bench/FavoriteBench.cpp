// Favourite figures: the time from a hand-off to the .lnk on disk, the handle count and
// private bytes of the running program across 200 favourites (read after one warm-up favourite
// and on a settled program), the median time of a store operation, and the time a damaged store
// takes to be rebuilt from 200 shortcuts on the desktop against loading it healthy. Prints figures, and the
// figure lines of the program's handles, GDI objects and private bytes after the favourites
// against before; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/RunningProgram.h"
#include "common/FileReplace.h"
#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HostPaths.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"

namespace {

using namespace vxbench;

std::wstring FavoriteText(int albumId) {
  return L"{\"AlbumID\":" + std::to_wstring(albumId) + L",\"AlbumName\":\"Bench " + std::to_wstring(albumId) +
         L"\",\"VideoUrl\":\"http://www.vexo.com/v_" + std::to_wstring(albumId) + L".html\"}";
}

int RunHandOffs(int count) {
  const std::wstring desktop = GetDesktopDirectory();
  std::vector<double> toDisk;
  {
    const RunningProgram program;
    if (!program.IsReady()) return 1;
    // The first favourite sets up what the program makes once and keeps (the icon worker,
    // the network session, COM); it is not one of the counted ones, so "before" is read after it.
    if (!program.HandOver(FavoriteText(699999))) return 1;
    WaitForFile(desktop + L"\\Bench 699999.lnk", std::chrono::seconds(10));
    ::Sleep(1000);
    const Usage before = program.ReadUsage();
    Usage halfway;
    for (int i = 0; i < count; ++i) {
      if (i == count / 2) halfway = program.ReadUsage();
      const int albumId = 700000 + i;
      const std::wstring lnk = desktop + L"\\Bench " + std::to_wstring(albumId) + L".lnk";
      const auto start = Clock::now();
      if (!program.HandOver(FavoriteText(albumId))) return 1;
      WaitForFile(lnk, std::chrono::seconds(10));
      toDisk.push_back(Milliseconds(Clock::now() - start));
    }
    ::Sleep(1000);  // the last favourite's icon and store work, as after the warm-up
    const Usage after = program.ReadUsage();
    std::printf("hand-off to .lnk on disk: median %.2f ms, slowest %.2f ms (%d favourites)\n", Median(toDisk),
                *std::max_element(toDisk.begin(), toDisk.end()), count);
    PrintUsage(before, halfway, after);
    PrintUsageFigures("favorites_program", before, after);
  }
  RemoveStoredShortcuts();
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

// A store found damaged is set aside and rebuilt from the program's shortcuts on the desktop:
// how long the operation that meets it takes with `count` of them there, against loading the
// healthy store of the same rows.
void RunStoreRebuild(int count) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring clientFolder = std::wstring(temp) + L"vx-bench-rebuild\\VexoClient";
  HostPaths paths;
  paths.clientFolder = clientFolder;
  SetHostPaths(paths);
  const std::wstring desktop = GetDesktopDirectory();
  std::vector<std::wstring> links;
  for (int i = 0; i < count; ++i) {
    const int albumId = 800000 + i;
    const std::wstring name = L"Rebuild " + std::to_wstring(albumId);
    const std::wstring lnk = desktop + L"\\" + name + L".lnk";
    const std::wstring icon = AlbumIconFolder() + L"album_" + std::to_wstring(albumId) + L".ico";
    const ShortcutLinkFields fields{LinkTarget(L"http://www.vexo.com/v_" + std::to_wstring(albumId) + L".html"), L"",
                                    kSourceTagArguments, icon, name};
    if (!WriteShortcutLink(fields, lnk)) continue;
    links.push_back(lnk);
    NewShortcut shortcut;
    shortcut.lnk = lnk;
    shortcut.iconName = icon;
    shortcut.albumName = name;
    shortcut.startupParams = kSourceTagArguments;
    shortcut.albumId = albumId;
    shortcut.channelId = 2;
    AddShortcut(shortcut);
  }
  std::vector<double> loads, rebuilds;
  for (int i = 0; i < 10; ++i) {
    const auto start = Clock::now();
    const size_t listed = LoadDeskShortcuts().size();
    loads.push_back(Milliseconds(Clock::now() - start));
    if (listed != links.size()) std::printf("store rebuild: the healthy store listed %zu rows\n", listed);
  }
  const std::wstring store = ShortcutStorePath();
  for (int round = 0; round < 3; ++round) {
    ReplaceFileContents(store, std::vector<uint8_t>(8192, 'G'));
    const auto start = Clock::now();
    const size_t listed = LoadDeskShortcuts().size();
    rebuilds.push_back(Milliseconds(Clock::now() - start));
    if (listed != links.size()) std::printf("store rebuild: the rebuilt store listed %zu rows\n", listed);
  }
  std::printf("store rebuilt from %zu shortcuts on the desktop: median %.1f ms; loading the healthy store of the same "
              "rows: median %.1f ms; ratio %.1f\n",
              links.size(), Median(rebuilds), Median(loads), Median(rebuilds) / std::max(Median(loads), 0.001));
  for (const std::wstring& lnk : links) ::DeleteFileW(lnk.c_str());
  WIN32_FIND_DATAW kept = {};
  const ScopedFindHandle search(::FindFirstFileW((store + L".damaged-*").c_str(), &kept));
  for (BOOL more = search.IsValid(); more; more = ::FindNextFileW(search.Get(), &kept)) {
    ::DeleteFileW((clientFolder + L"\\" + kept.cFileName).c_str());
  }
  ::DeleteFileW(store.c_str());
  SetHostPaths(HostPaths());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
  RunStoreOperations(count);
  RunStoreRebuild(count);
  return RunHandOffs(count);
}
