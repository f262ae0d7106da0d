// Start-up figures of the program against a minimal Win32 program, measured in one run:
// time from process creation until its window's message loop answers, and the working
// set and private bytes at that moment. Prints medians and ratios, and the figure lines of the
// time and the working set; asserts nothing.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "app/resource.h"
#include "bench/Figures.h"
#include "common/ModulePath.h"
#include "tests/support/ChildProcess.h"

namespace {

struct Sample {
  double milliseconds = 0;
  double workingSetKiB = 0;
  double privateKiB = 0;
};

struct Subject {
  const wchar_t* label;
  std::wstring executable;
  std::wstring arguments;
  const wchar_t* windowTitle;
};

HWND WindowOfProcess(const wchar_t* title, DWORD processId) {
  for (HWND window = ::FindWindowW(nullptr, title); window; window = ::FindWindowExW(nullptr, window, nullptr, title)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

bool MeasureOnce(const Subject& subject, Sample& sample) {
  LARGE_INTEGER frequency, begin, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&begin);
  vxtest::ChildProcess process = vxtest::ChildProcess::Start(subject.executable, subject.arguments);
  if (!process.IsStarted()) return false;
  HWND window = nullptr;
  while (!(window = WindowOfProcess(subject.windowTitle, process.Id()))) {
    if (::WaitForSingleObject(process.Handle(), 1) == WAIT_OBJECT_0) break;
  }
  DWORD_PTR ignored = 0;
  const bool ready = window && ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
  ::QueryPerformanceCounter(&end);

  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  ::GetProcessMemoryInfo(process.Handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  sample.milliseconds = 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / frequency.QuadPart;
  sample.workingSetKiB = memory.WorkingSetSize / 1024.0;
  // Wine leaves PrivateUsage at 0; the committed page-file share is the same figure on Windows.
  sample.privateKiB = (memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / 1024.0;

  if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (window && subject.windowTitle == std::wstring(kControlWindowTitle)) {
    ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
  }
  process.WaitForExit(10000);  // one that does not end is ended with its owner
  return ready;
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
      {L"minimal window", folder + L"vx_minimal_window.exe", L"", L"VXBenchMinimal"},
      {L"VXTailcast", folder + L"VXTailcast.exe", L"update", kControlWindowTitle},
  };
  std::vector<Sample> samples[2];
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i < 2; ++i) {  // interleaved, so both see the same machine load
      Sample sample;
      if (!MeasureOnce(subjects[i], sample)) {
        std::fwprintf(stderr, L"%ls did not start\n", subjects[i].label);
        return 1;
      }
      samples[i].push_back(sample);
    }
  }
  double medians[2][3];
  for (int i = 0; i < 2; ++i) {
    std::vector<double> ms, ws, pb;
    for (const Sample& s : samples[i]) {
      ms.push_back(s.milliseconds);
      ws.push_back(s.workingSetKiB);
      pb.push_back(s.privateKiB);
    }
    medians[i][0] = Median(ms);
    medians[i][1] = Median(ws);
    medians[i][2] = Median(pb);
    std::wprintf(L"%-16ls start to loop %8.1f ms   working set %8.0f KiB   private %8.0f KiB\n", subjects[i].label,
                 medians[i][0], medians[i][1], medians[i][2]);
  }
  std::wprintf(L"ratio (VXTailcast / minimal, medians of %d rounds): time %.2f, working set %.2f, private %.2f\n",
               rounds, medians[1][0] / medians[0][0], medians[1][1] / medians[0][1], medians[1][2] / medians[0][2]);
  std::fflush(stdout);
  vxbench::PrintFigure("startup_ms", medians[1][0], "minimal_startup_ms", medians[0][0]);
  vxbench::PrintFigure("startup_working_set_KiB", medians[1][1], "minimal_working_set_KiB", medians[0][1]);
  return 0;
}
