// Start-up figures of the program against a minimal Win32 program, measured interleaved in one
// run. At the moment the window's message loop first answers: the time from process creation
// and the working set and private bytes. Then "ready": the time from process creation until the
// start-up work is done (the program's own start-up trace says when), against the minimal
// program's creation to loop. Last, the working set and private bytes 5 s after the start, once
// the start-up work has settled. Prints medians and ratios and one figure line each; asserts
// nothing.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "app/StartupTrace.h"
#include "app/resource.h"
#include "bench/Figures.h"
#include "common/ModulePath.h"
#include "common/ProcessClock.h"
#include "common/TraceRecord.h"
#include "tests/support/ChildProcess.h"

namespace {

constexpr DWORD kSettledAfterMs = 5000;
constexpr DWORD kReadyTimeoutMs = 20000;

enum Figure { kLoopMs, kLoopWorkingSet, kLoopPrivate, kReadyMs, kSettledWorkingSet, kSettledPrivate, kFigures };

struct Sample {
  double values[kFigures] = {};
};

struct Subject {
  const wchar_t* label;
  std::wstring executable;
  std::wstring arguments;
  const wchar_t* windowTitle;
  std::wstring readyTrace;  // the start-up trace file that says when it is ready; empty: ready at its loop
};

HWND WindowOfProcess(const wchar_t* title, DWORD processId) {
  for (HWND window = ::FindWindowW(nullptr, title); window; window = ::FindWindowExW(nullptr, window, nullptr, title)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

void ReadMemory(HANDLE process, double& workingSetKiB, double& privateKiB) {
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  workingSetKiB = memory.WorkingSetSize / 1024.0;
  // Wine leaves PrivateUsage at 0; the committed page-file share is the same figure on Windows.
  privateKiB = (memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / 1024.0;
}

// The milliseconds since creation that the program traced when its start-up work was done;
// -1 when it did not within the time-out.
double WaitForReadyTrace(const std::wstring& file, const vxtest::ChildProcess& process) {
  const ULONGLONG deadline = ::GetTickCount64() + kReadyTimeoutMs;
  for (;;) {
    wchar_t text[32] = {};
    ::GetPrivateProfileStringW(kStartupTraceSection, kStartupWorkDoneKey, L"", text, 32, file.c_str());
    if (text[0]) return _wtof(text);
    if (::GetTickCount64() >= deadline || !process.IsRunning()) return -1;
    ::Sleep(10);
  }
}

void Close(const Subject& subject, HWND window, vxtest::ChildProcess& process) {
  if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (window && subject.windowTitle == std::wstring(kControlWindowTitle)) {
    ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
  }
  process.WaitForExit(10000);  // one that does not end is ended with its owner
  // The shell may still be busy with the program's tray icon (Wine's takes about 2 s over its
  // removal), and every new window of the next start waits for the desktop's process: the next
  // start begins once the desktop and the tray answer.
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(::GetDesktopWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
  if (const HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr)) {
    ::SendMessageTimeoutW(tray, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
  }
}

bool MeasureOnce(const Subject& subject, Sample& sample) {
  if (!subject.readyTrace.empty()) {
    ::WritePrivateProfileStringW(kStartupTraceSection, kStartupWorkDoneKey, nullptr, subject.readyTrace.c_str());
  }
  const ULONGLONG begin = ::GetTickCount64();
  vxtest::ChildProcess process = vxtest::ChildProcess::Start(subject.executable, subject.arguments);
  if (!process.IsStarted()) return false;
  HWND window = nullptr;
  while (!(window = WindowOfProcess(subject.windowTitle, process.Id()))) {
    if (::WaitForSingleObject(process.Handle(), 1) == WAIT_OBJECT_0) break;
  }
  DWORD_PTR ignored = 0;
  bool ok = window && ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
  double* values = sample.values;
  values[kLoopMs] = MsSinceCreation(process.Handle());
  ReadMemory(process.Handle(), values[kLoopWorkingSet], values[kLoopPrivate]);

  values[kReadyMs] = subject.readyTrace.empty() ? values[kLoopMs] : WaitForReadyTrace(subject.readyTrace, process);
  ok = ok && values[kLoopMs] >= 0 && values[kReadyMs] >= 0;
  const ULONGLONG settled = begin + kSettledAfterMs;
  const ULONGLONG now = ::GetTickCount64();
  if (now < settled) ::Sleep(static_cast<DWORD>(settled - now));
  ReadMemory(process.Handle(), values[kSettledWorkingSet], values[kSettledPrivate]);
  ok = ok && process.IsRunning();
  Close(subject, window, process);
  return ok;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 15;
  const std::wstring folder = ModuleFolderWithSeparator();
  const Subject subjects[] = {
      {L"minimal window", folder + L"vx_minimal_window.exe", L"", L"VXBenchMinimal", L""},
      {L"VXTailcast", folder + L"VXTailcast.exe", L"update", kControlWindowTitle, folder + kStartupTraceFileName},
  };
  std::vector<double> samples[2][kFigures];
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i < 2; ++i) {  // interleaved, so both see the same machine load
      Sample sample;
      if (!MeasureOnce(subjects[i], sample)) {
        std::fwprintf(stderr, L"%ls did not start, or did not finish its start-up work\n", subjects[i].label);
        return 1;
      }
      for (int f = 0; f < kFigures; ++f) samples[i][f].push_back(sample.values[f]);
    }
  }
  double m[2][kFigures];
  for (int i = 0; i < 2; ++i) {
    for (int f = 0; f < kFigures; ++f) m[i][f] = Median(samples[i][f]);
    std::wprintf(L"%-16ls creation to loop %7.1f ms   working set %6.0f KiB   private %6.0f KiB\n", subjects[i].label,
                 m[i][kLoopMs], m[i][kLoopWorkingSet], m[i][kLoopPrivate]);
    std::wprintf(L"%-16ls ready after      %7.1f ms   5 s after start: working set %6.0f KiB   private %6.0f KiB\n",
                 subjects[i].label, m[i][kReadyMs], m[i][kSettledWorkingSet], m[i][kSettledPrivate]);
  }
  std::wprintf(L"ratio (VXTailcast / minimal, medians of %d rounds): loop %.2f, working set %.2f, private %.2f;\n"
               L"  ready %.2f; 5 s after start: working set %.2f, private %.2f\n",
               rounds, m[1][kLoopMs] / m[0][kLoopMs], m[1][kLoopWorkingSet] / m[0][kLoopWorkingSet],
               m[1][kLoopPrivate] / m[0][kLoopPrivate], m[1][kReadyMs] / m[0][kLoopMs],
               m[1][kSettledWorkingSet] / m[0][kSettledWorkingSet], m[1][kSettledPrivate] / m[0][kSettledPrivate]);
  std::fflush(stdout);
  vxbench::PrintFigure("startup_ms", m[1][kLoopMs], "minimal_startup_ms", m[0][kLoopMs]);
  vxbench::PrintFigure("startup_working_set_KiB", m[1][kLoopWorkingSet], "minimal_working_set_KiB",
                       m[0][kLoopWorkingSet]);
  vxbench::PrintFigure("ready_ms", m[1][kReadyMs], "minimal_startup_ms", m[0][kLoopMs]);
  vxbench::PrintFigure("settled_working_set_KiB", m[1][kSettledWorkingSet], "minimal_settled_working_set_KiB",
                       m[0][kSettledWorkingSet]);
  vxbench::PrintFigure("settled_private_KiB", m[1][kSettledPrivate], "minimal_settled_private_KiB",
                       m[0][kSettledPrivate]);
  return 0;
}
