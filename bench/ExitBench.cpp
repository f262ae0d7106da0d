// How soon the program is gone after the tray's exit command, with a live service and with one
// that takes every request and never answers (the emulator's silence), measured interleaved in
// one run: from posting the command to the process handle being signalled. Each start is let
// reach the service first (its start pingback has arrived), so that the silent service holds
// it. The client runs meanwhile (a stand-in), as it does for most users, so the program shows
// no tray icon, whose removal the shell may take seconds over. Prints medians and the slowest,
// and the figure line of the silent service against the live one; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "app/resource.h"
#include "bench/Figures.h"
#include "bench/RunningProgram.h"
#include "common/ScopedWin.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/ProcessHarness.h"

namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kGoneMs = 60000;

HWND WaitForControlWindowOf(DWORD processId) {
  for (int i = 0; i < 2000; ++i) {
    for (HWND window = ::FindWindowW(nullptr, kControlWindowTitle); window;
         window = ::FindWindowExW(nullptr, window, nullptr, kControlWindowTitle)) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(window, &owner);
      DWORD_PTR ignored = 0;
      if (owner == processId && ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kStartMs, &ignored)) {
        return window;
      }
    }
    ::Sleep(10);
  }
  return nullptr;
}

// Milliseconds from the exit command to the process being gone; negative when it did not start
// or end in time.
double MeasureOnce(bool silent) {
  vxtest::ResetEmulator();
  if (silent) vxtest::SilenceService();
  vxtest::ChildProcess started = vxbench::StartFromBenchFolder(L"VXTailcast.exe", L"update");
  if (!started.IsStarted()) return -1;
  double elapsed = -1;
  const HWND window = WaitForControlWindowOf(started.Id());
  if (window && vxtest::WaitForPingback("3", kStartMs)) {
    const vxbench::Clock::time_point posted = vxbench::Clock::now();
    ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
    if (::WaitForSingleObject(started.Handle(), kGoneMs) == WAIT_OBJECT_0) {
      elapsed = vxbench::Milliseconds(vxbench::Clock::now() - posted);
    }
  }
  started.Terminate();  // one that did not end in time
  vxtest::LiftSilence();
  return elapsed;
}

// The stand-in client, running until the object goes.
class RunningClient {
public:
  RunningClient() : m_quit(::CreateEventW(nullptr, TRUE, FALSE, L"VexoClientStandIn_Quit")) {
    m_folder.CopyFromBinaries(L"VexoClient.exe");
    m_folder.Touch(L"VexoClient.stay");
    m_client = vxtest::ChildProcess::Start(m_folder.File(L"VexoClient.exe"), L"already-running");
  }
  ~RunningClient() {
    ::SetEvent(m_quit.Get());
    m_client.WaitForExit(10000);
  }

private:
  ScopedKernelHandle m_quit;
  vxtest::ScratchFolder m_folder{L"exit-bench-client"};
  vxtest::ChildProcess m_client;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  if (vxtest::EmulatorOrigin().empty()) {
    std::fprintf(stderr, "no emulator: run through tools/with-emulator.sh\n");
    vxbench::PrintNoFigure("exit_dead_service_ms", "no emulator");
    return 1;
  }
  const RunningClient client;
  std::vector<double> live, silent;
  for (int round = 0; round < rounds; ++round) {
    for (std::vector<double>* series : {&live, &silent}) {  // interleaved, so both see the same machine load
      const double ms = MeasureOnce(series == &silent);
      if (ms < 0) {
        std::fprintf(stderr, "the program did not start or end (%s service)\n", series == &silent ? "silent" : "live");
        vxbench::PrintNoFigure("exit_dead_service_ms", "the program did not start or end");
        return 1;
      }
      series->push_back(ms);
    }
  }
  const double liveMedian = vxbench::Median(live), silentMedian = vxbench::Median(silent);
  std::printf("exit command to process gone (medians of %d rounds): live service %.0f ms (slowest %.0f), "
              "service that never answers %.0f ms (slowest %.0f)\n",
              rounds, liveMedian, *std::max_element(live.begin(), live.end()), silentMedian,
              *std::max_element(silent.begin(), silent.end()));
  std::fflush(stdout);
  vxbench::PrintFigure("exit_dead_service_ms", silentMedian, "exit_live_service_ms", liveMedian);
  return 0;
}
