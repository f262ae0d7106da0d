// Idle CPU of the running program with its tray icon, control window and push manager (started
// inside the emulator's session, so the push window and its timers exist), against the minimal
// Win32 program idling alongside over the same interval: the CPU time each process used
// (kernel and user, all threads), as percent of one core. Prints figures; asserts nothing.
//   vx_idle_bench.exe [SECONDS]   (default 300)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/Messages.h"
#include "bench/Figures.h"
#include "bench/RunningProgram.h"
#include "bench/ProcessCpuTime.h"

namespace {

using namespace vxbench;

constexpr char kFigure[] = "idle_cpu_percent";
constexpr wchar_t kMinimalTitle[] = L"VXBenchMinimal";
constexpr DWORD kSettleMs = 2000;  // start-up's last work (icons, skin, first timers) is not idling

HWND WindowOfProcess(const wchar_t* className, const wchar_t* title, DWORD processId) {
  for (HWND window = ::FindWindowW(className, title); window;
       window = ::FindWindowExW(nullptr, window, className, title)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

// vx_minimal_window.exe from the bench's folder, running until the object ends.
class MinimalProgram {
public:
  MinimalProgram() : m_program(StartFromBenchFolder(L"vx_minimal_window.exe", L"")) {
    for (int i = 0; i < 2000 && m_program.IsStarted() && !m_window; ++i) {
      m_window = WindowOfProcess(nullptr, kMinimalTitle, m_program.Id());
      if (!m_window) ::Sleep(10);
    }
  }
  ~MinimalProgram() {
    if (m_window) ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    m_program.WaitForExit(10000);
  }
  MinimalProgram(const MinimalProgram&) = delete;
  MinimalProgram& operator=(const MinimalProgram&) = delete;

  bool IsReady() const { return m_window != nullptr; }
  HANDLE Process() const { return m_program.Handle(); }

private:
  vxtest::ChildProcess m_program;
  HWND m_window = nullptr;
};

// The program's window of this class and title, waited for up to `limitMs` (start-up makes the
// push manager's window after the control window).
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD processId, DWORD limitMs) {
  HWND window = nullptr;
  for (DWORD waited = 0; !(window = WindowOfProcess(className, title, processId)) && waited < limitMs; waited += 10) {
    ::Sleep(10);
  }
  return window;
}

// Why the program is not idling as the figure means it, or null when it is.
const char* MissingPart(const RunningProgram& program, DWORD limitMs) {
  if (!program.IsReady()) return "the program did not start";
  const DWORD id = ::GetProcessId(program.Process());
  if (!WaitForWindow(nullptr, kControlWindowTitle, id, limitMs)) return "no control window of the program";
  if (!WaitForWindow(L"MSG_LOOP_WND", L"消息循环窗口", id, limitMs)) return "no push manager window in the program";
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int seconds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 300;
  const MinimalProgram minimal;
  const RunningProgram program;
  if (const char* missing = MissingPart(program, 20000)) {
    PrintNoFigure(kFigure, missing);
    return 1;
  }
  if (!minimal.IsReady()) {
    PrintNoFigure(kFigure, "the minimal program did not start");
    return 1;
  }
  ::Sleep(kSettleMs);
  const ProcessCpuTime programClock(program.Process(), L"VXTailcast.exe");
  const ProcessCpuTime minimalClock(minimal.Process(), L"vx_minimal_window.exe");
  const double programBefore = programClock.Seconds();
  const double minimalBefore = minimalClock.Seconds();
  // Both have started, which costs CPU: no time at all is a reading that failed.
  if (programBefore <= 0 || minimalBefore <= 0) {
    PrintNoFigure(kFigure, ("no CPU time of the processes (read from " + programClock.Source() + ")").c_str());
    return 1;
  }
  const auto start = Clock::now();
  ::Sleep(static_cast<DWORD>(seconds) * 1000);
  const double programUsed = programClock.Seconds() - programBefore;
  const double minimalUsed = minimalClock.Seconds() - minimalBefore;
  const double wallSeconds = Milliseconds(Clock::now() - start) / 1000;
  if (const char* missing = MissingPart(program, 0)) {
    PrintNoFigure(kFigure, (std::string(missing) + " at the end of the interval").c_str());
    return 1;
  }
  if (programUsed < 0 || minimalUsed < 0) {
    PrintNoFigure(kFigure, "the CPU time could not be read at the end of the interval");
    return 1;
  }
  const double programPercent = 100 * programUsed / wallSeconds;
  const double minimalPercent = 100 * minimalUsed / wallSeconds;
  std::printf("idle over %.0f s with the tray icon and the push window: program %.2f s of CPU (%.4f %% of one core), "
              "minimal program alongside %.2f s (%.4f %%); read from %s and %s\n",
              wallSeconds, programUsed, programPercent, minimalUsed, minimalPercent, programClock.Source().c_str(),
              minimalClock.Source().c_str());
  PrintFigure(kFigure, programPercent, "minimal_idle_cpu_percent", minimalPercent);
  return 0;
}
