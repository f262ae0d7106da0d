// Favourite figures: the time from a hand-off to the .lnk on disk, the handle count and
// private bytes of the running program across 200 favourites (read after one warm-up favourite
// and on a settled program), and the median time of a store operation. Prints figures, and the
// figure lines of the program's handles, GDI objects and private bytes after the favourites
// against before; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/RunningProgram.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
  RunStoreOperations(count);
  return RunHandOffs(count);
}
