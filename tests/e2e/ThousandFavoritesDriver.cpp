// Hands a run of web favourites to one running instance of the real program, back to back,
// as second starts do, and waits until each has its final shortcut, store row and icons.
// The albums and their pictures are given to the emulator first, in one request. The files
// are left in place for tests/e2e/thousand_favorites_test.sh, which reads them back with
// independent readers.
//   vx_thousand_favorites.exe FIRST_ALBUM COUNT DATA_FOLDER
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"
#include "tests/app/ProgramUnderTest.h"
#include "tests/e2e/FavoriteRun.h"
#include "tests/e2e/ThousandAlbums.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxtest;
using Clock = std::chrono::steady_clock;

constexpr int kDoneTimeoutSeconds = 900;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The median and the longest of one block of hand-over times, in milliseconds.
void PrintBlock(size_t firstIndex, std::vector<double> block) {
  if (block.empty()) return;
  std::sort(block.begin(), block.end());
  std::printf("hand-overs %zu-%zu: median %.0f ms, longest %.0f ms\n", firstIndex + 1, firstIndex + block.size(),
              block[block.size() / 2], block.back());
}

int HandOverAll(HWND window, const std::vector<ThousandAlbum>& albums) {
  constexpr size_t kBlock = 100;
  int taken = 0;
  std::vector<double> block;
  for (size_t i = 0; i < albums.size(); ++i) {
    const Clock::time_point start = Clock::now();
    if (HandOver(window, albums[i])) {
      ++taken;
    } else {
      std::printf("album %d was not taken\n", albums[i].id);
    }
    block.push_back(1000 * SecondsSince(start));
    if (block.size() == kBlock || i + 1 == albums.size()) {
      const size_t firstOfBlock = i + 1 - block.size();
      PrintBlock(firstOfBlock, std::move(block));
      block.clear();
      std::fflush(stdout);
    }
  }
  return taken;
}

int CountFinished(CShortcutStore store, const std::vector<ThousandAlbum>& albums, const FinalPlace& place) {
  std::vector<ShortcutRecord> rows;  // only those whose .lnk file exists
  store.Load(rows);
  std::map<int, ShortcutRecord> byAlbum;
  for (const ShortcutRecord& row : rows) byAlbum[row.nAlbumID] = row;
  int finished = 0;
  for (const ThousandAlbum& album : albums) {
    const auto found = byAlbum.find(album.id);
    if (found != byAlbum.end() && IsFinished(found->second, album, place)) ++finished;
  }
  return finished;
}

// Polls the store (the test's reads wait for the program's writes, and the reverse) until
// every album is finished or time runs out; the number finished.
int WaitUntilFinished(const std::wstring& dataFolder, const std::vector<ThousandAlbum>& albums) {
  const FinalPlace place = FinalPlaceBelow(dataFolder);
  const CShortcutStore store(dataFolder + L"VexoClient\\vexo_shortCut.dll");
  const Clock::time_point start = Clock::now();
  int finished = 0;
  double reported = 0;
  while (SecondsSince(start) < kDoneTimeoutSeconds) {
    finished = CountFinished(store, albums, place);
    if (finished == static_cast<int>(albums.size())) break;
    if (SecondsSince(start) - reported >= 15) {
      reported = SecondsSince(start);
      std::printf("after %.0f s: %d of %zu finished\n", reported, finished, albums.size());
      std::fflush(stdout);
    }
    ::Sleep(1000);
  }
  return finished;
}

bool Run(const std::vector<ThousandAlbum>& albums, const std::wstring& dataFolder) {
  if (!RegisterWithEmulator(albums)) return false;
  ProgramUnderTest program(L"thousand");
  if (!program.InstallSkin()) {
    std::printf("FAILED: no skin folder beside the program\n");
    return false;
  }
  ChildProcess running = program.Start(L"update");
  const HWND window = program.WaitForControlWindow(running.Id());
  if (!window) {
    std::printf("FAILED: the program showed no control window\n");
    return false;
  }
  std::printf("desktop %s\n", WideToUtf8(GetDesktopDirectory()).c_str());
  std::fflush(stdout);

  Clock::time_point start = Clock::now();
  const int taken = HandOverAll(window, albums);
  std::printf("handed over %d of %zu favourites in %.1f s\n", taken, albums.size(), SecondsSince(start));
  std::fflush(stdout);
  const int finished = WaitUntilFinished(dataFolder, albums);
  std::printf("%d of %zu finished %.1f s after the first hand-over\n", finished, albums.size(),
              SecondsSince(start));
  const bool stillRunning = running.IsRunning();
  std::printf("the program %s\n", stillRunning ? "still ran" : "had ended");
  const bool ended = stillRunning && ExitProgram(window, running);
  std::printf("the program %s\n", ended ? "ended normally" : "did not end normally");
  return taken == static_cast<int>(albums.size()) && finished == taken && ended;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int first = argc == 4 ? std::wcstol(argv[1], nullptr, 10) : 0;
  const int count = argc == 4 ? std::wcstol(argv[2], nullptr, 10) : 0;
  std::wstring dataFolder = argc == 4 ? argv[3] : L"";
  if (first <= 0 || count <= 0 || count > 100000 || dataFolder.empty()) {
    std::printf("usage: vx_thousand_favorites FIRST_ALBUM COUNT DATA_FOLDER\n");
    return 2;
  }
  if (dataFolder.back() != L'\\') dataFolder += L'\\';
  if (EmulatorOrigin().empty()) {
    std::printf("FAILED: no emulator; run through tools/with-emulator.sh\n");
    return 1;
  }
  if (!PrepareClient(dataFolder)) {
    std::printf("FAILED: cannot prepare the client's data folder\n");
    return 1;
  }
  const bool passed = Run(ThousandAlbumsFrom(first, count), dataFolder);
  ForgetClient();
  return passed ? 0 : 1;
}
