// The real program's process ended hard in the middle of a burst of web favourites, as a power
// cut ends it, and started again; tests/e2e/power_cut_test.sh reads what is left between the
// steps with independent readers. The program runs from a folder the script prepared, the
// same one at every start, as an installed program does.
//   vx_power_cut.exe cut FIRST COUNT DATA_FOLDER PROGRAM_FOLDER SEED
//       hands the favourites over back to back and ends the process at a moment the seed picks
//   vx_power_cut.exe restart DATA_FOLDER PROGRAM_FOLDER
//       starts the program, lets its start-up work run and ends it as its tray menu does
//   vx_power_cut.exe again FIRST COUNT DATA_FOLDER PROGRAM_FOLDER
//       starts it, hands the same favourites over again, waits until those it takes anew are
//       finished and ends it as its tray menu does
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"
#include "tests/app/ProgramUnderTest.h"
#include "tests/e2e/FavoriteRun.h"
#include "tests/e2e/ThousandAlbums.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxtest;
using Clock = std::chrono::steady_clock;

// Thirty favourites are handed over in three to seven seconds on the 2-core machine and finished
// two seconds later: the cut falls anywhere among the hand-overs, the icons, the renames and
// the play pages, now and then after all of them.
constexpr int kCutWindowMs = 8000;
constexpr int kFinishTimeoutSeconds = 120;

int MillisecondsSince(Clock::time_point start) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

struct Folders {
  std::wstring data;     // the client's data folder, with its trailing backslash
  std::wstring program;  // VXTailcast.exe and its skin, with its trailing backslash
};

// The program, started as the updater starts it, once its start-up work is over.
class StartedProgram {
public:
  explicit StartedProgram(const Folders& folders) {
    // The start-up trace of an earlier start would say at once that this one's work is over.
    ::DeleteFileW((folders.program + kStartupTraceFileName).c_str());
    m_process = ChildProcess::Start(folders.program + L"VXTailcast.exe", L"update");
    if (m_process.IsStarted()) m_window = WaitForControlWindowOf(m_process.Id(), folders.program);
    if (!m_window) ReportNoWindow();
  }

  HWND Window() const { return m_window; }
  ChildProcess& Process() { return m_process; }

  bool Exit() {
    const bool ended = m_window && ExitProgram(m_window, m_process);
    if (!ended) std::printf("FAILED: the program did not end normally\n");
    return ended;
  }

private:
  void ReportNoWindow() const {
    if (!m_process.IsStarted()) {
      std::printf("FAILED: the program could not be started (error %lu)\n", ::GetLastError());
    } else if (m_process.IsRunning()) {
      std::printf("FAILED: the program showed no control window; process %lu still runs\n", m_process.Id());
    } else {
      std::printf("FAILED: the program showed no control window; process %lu ended with %lu\n", m_process.Id(),
                  m_process.ExitCode());
    }
  }

  ChildProcess m_process;
  HWND m_window = nullptr;
};

// Ends the process `delayMs` after it is made, unless it has ended by then: a power cut, from a
// thread of its own, while the caller hands favourites over.
class PowerCut {
public:
  PowerCut(DWORD processId, DWORD delayMs)
      : m_process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId)),
        m_thread([this, delayMs] { Cut(delayMs); }) {}
  ~PowerCut() {
    if (m_thread.joinable()) m_thread.join();
  }
  PowerCut(const PowerCut&) = delete;
  PowerCut& operator=(const PowerCut&) = delete;

  // Waits until the process has ended; false when it was not there to end.
  bool WaitUntilOver() {
    m_thread.join();
    return m_process && ::WaitForSingleObject(m_process.Get(), kProcessTimeoutMs) == WAIT_OBJECT_0;
  }

private:
  void Cut(DWORD delayMs) {
    if (!m_process || ::WaitForSingleObject(m_process.Get(), delayMs) != WAIT_TIMEOUT) return;
    ::TerminateProcess(m_process.Get(), 1);
  }

  ScopedKernelHandle m_process;
  std::thread m_thread;
};

int CutMomentFor(unsigned seed) {
  std::mt19937 engine(seed);
  return std::uniform_int_distribution<int>(0, kCutWindowMs)(engine);
}

bool Cut(const std::vector<ThousandAlbum>& albums, const Folders& folders, unsigned seed) {
  if (!RegisterWithEmulator(albums)) return false;
  StartedProgram program(folders);
  if (!program.Window()) return false;
  const int moment = CutMomentFor(seed);
  const Clock::time_point start = Clock::now();
  PowerCut cut(program.Process().Id(), static_cast<DWORD>(moment));
  size_t handed = 0;
  while (handed < albums.size() && HandOver(program.Window(), albums[handed])) ++handed;
  const int handingMs = MillisecondsSince(start);
  if (!cut.WaitUntilOver()) {
    std::printf("FAILED: the program could not be ended\n");
    return false;
  }
  std::printf("seed %u: the process ended %d ms after the first hand-over; %zu of %zu handed over in %d ms\n",
              seed, moment, handed, albums.size(), handingMs);
  return true;
}

bool Restart(const Folders& folders) {
  StartedProgram program(folders);
  return program.Window() && program.Exit();
}

// The albums whose favourite the store lists (a row and its .lnk file): the program refuses
// to take them again.
std::set<int> StoredAlbums(const Folders& folders) {
  std::vector<ShortcutRecord> rows;
  CShortcutStore(folders.data + L"VexoClient\\vexo_shortCut.dll").Load(rows);
  std::set<int> stored;
  for (const ShortcutRecord& row : rows) stored.insert(row.nAlbumID);
  return stored;
}

// The albums of `albums` not finished yet; rows are read as the program keeps them.
std::vector<int> Unfinished(const std::vector<ThousandAlbum>& albums, const Folders& folders) {
  std::vector<ShortcutRecord> rows;
  CShortcutStore(folders.data + L"VexoClient\\vexo_shortCut.dll").Load(rows);
  const FinalPlace place = FinalPlaceBelow(folders.data);
  std::map<int, ShortcutRecord> byAlbum;
  for (const ShortcutRecord& row : rows) byAlbum[row.nAlbumID] = row;
  std::vector<int> unfinished;
  for (const ThousandAlbum& album : albums) {
    const auto found = byAlbum.find(album.id);
    if (found == byAlbum.end() || !IsFinished(found->second, album, place)) unfinished.push_back(album.id);
  }
  return unfinished;
}

bool WaitUntilFinished(const std::vector<ThousandAlbum>& albums, const Folders& folders) {
  std::vector<int> unfinished;
  const auto finished = [&] {
    unfinished = Unfinished(albums, folders);
    return unfinished.empty();
  };
  if (WaitUntil(finished, kFinishTimeoutSeconds * 1000)) return true;
  std::printf("FAILED: %zu albums taken anew were not finished in %d s:", unfinished.size(), kFinishTimeoutSeconds);
  for (const int id : unfinished) std::printf(" %d", id);
  std::printf("\n");
  return false;
}

bool HandOverAgain(const std::vector<ThousandAlbum>& albums, const Folders& folders) {
  if (!RegisterWithEmulator(albums)) return false;
  StartedProgram program(folders);
  if (!program.Window()) return false;
  const std::set<int> stored = StoredAlbums(folders);
  std::vector<ThousandAlbum> anew;
  bool taken = true;
  for (const ThousandAlbum& album : albums) {
    if (!HandOver(program.Window(), album)) {
      std::printf("FAILED: album %d was not taken\n", album.id);
      taken = false;
    }
    if (stored.count(album.id) == 0) anew.push_back(album);
  }
  std::printf("handed over again: %zu stored before, %zu taken anew\n", albums.size() - anew.size(), anew.size());
  const bool finished = WaitUntilFinished(anew, folders);
  return program.Exit() && taken && finished;
}

std::wstring WithSeparator(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder;
}

int Usage() {
  std::printf(
      "usage: vx_power_cut cut FIRST COUNT DATA_FOLDER PROGRAM_FOLDER SEED\n"
      "       vx_power_cut restart DATA_FOLDER PROGRAM_FOLDER\n"
      "       vx_power_cut again FIRST COUNT DATA_FOLDER PROGRAM_FOLDER\n");
  return 2;
}

bool RunStep(const std::vector<std::wstring>& args) {
  const std::wstring& step = args[0];
  if (step == L"restart") return Restart(Folders{WithSeparator(args[1]), WithSeparator(args[2])});
  const std::vector<ThousandAlbum> albums =
      ThousandAlbumsFrom(std::wcstol(args[1].c_str(), nullptr, 10), std::wcstol(args[2].c_str(), nullptr, 10));
  const Folders folders{WithSeparator(args[3]), WithSeparator(args[4])};
  if (step == L"cut") return Cut(albums, folders, static_cast<unsigned>(std::wcstoul(args[5].c_str(), nullptr, 10)));
  return HandOverAgain(albums, folders);
}

bool ValidArguments(const std::vector<std::wstring>& args) {
  if (args.empty()) return false;
  if (args[0] == L"restart") return args.size() == 3;
  if (args[0] != L"cut" && args[0] != L"again") return false;
  if (args.size() != (args[0] == L"cut" ? 6u : 5u)) return false;
  const long first = std::wcstol(args[1].c_str(), nullptr, 10);
  const long count = std::wcstol(args[2].c_str(), nullptr, 10);
  return first > 0 && count > 0 && count <= 1000;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  if (!ValidArguments(args)) return Usage();
  if (EmulatorOrigin().empty()) {
    std::printf("FAILED: no emulator; run through tools/with-emulator.sh\n");
    return 1;
  }
  const std::wstring dataFolder = WithSeparator(args[args[0] == L"restart" ? 1 : 3]);
  EndAllInstances();
  if (!PrepareClient(dataFolder)) {
    std::printf("FAILED: cannot prepare the client's data folder\n");
    return 1;
  }
  std::printf("desktop %s\n", WideToUtf8(GetDesktopDirectory()).c_str());
  const bool passed = RunStep(args);
  ForgetClient();
  std::fflush(stdout);
  return passed ? 0 : 1;
}
