// The process readings the benchmarks' figures rest on, checked against GDI objects and CPU time
// spent here: a reading that drifted from the system (a changed table layout, another process's
// time, an ended thread's time lost) would turn the figures into numbers that mean nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "bench/ProcessCpuTime.h"
#include "bench/RunningProgram.h"
#include "common/ScopedGdi.h"
#include "tests/support/GdiObjects.h"

namespace {

using namespace vxbench;
using vxtest::ReadGdiObjects;

using ScopedBrush = ScopedHandle<GdiObjectTraits<HBRUSH>>;

TEST(ProcessReadings, GdiObjectsFollowWhatTheProcessHolds) {
  const DWORD before = ReadGdiObjects(::GetCurrentProcess());
  ASSERT_GT(before, 0u) << "no GDI object count for this process (stock objects always exist)";
  std::vector<ScopedBrush> brushes;
  for (int i = 0; i < 50; ++i) brushes.emplace_back(::CreateSolidBrush(RGB(i, 0, 0)));
  EXPECT_EQ(ReadGdiObjects(::GetCurrentProcess()), before + 50);
  brushes.clear();
  EXPECT_EQ(ReadGdiObjects(::GetCurrentProcess()), before);
}

double ThreadSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!::GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  const auto seconds = [](const FILETIME& t) { return ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart / 1e7; };
  return seconds(kernel) + seconds(user);
}

bool UnderWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

TEST(ProcessReadings, CpuTimeKeepsWhatAnEndedThreadUsed) {
  const ProcessCpuTime clock(::GetCurrentProcess(), L"vx_bench_support_tests.exe");
  const double before = clock.Seconds();
  ASSERT_GT(before, 0) << "read from " << clock.Source();
  double spent = 0;
  std::thread busy([&spent] {
    volatile unsigned sink = 0;
    while ((spent = ThreadSeconds(::GetCurrentThread())) < 0.3) {
      for (int i = 0; i < 1000000; ++i) sink = sink + 1;
    }
  });
  busy.join();
  EXPECT_GE(clock.Seconds() - before, spent - 0.02) << "read from " << clock.Source();
}

TEST(ProcessReadings, CpuTimeOfNoRunningProgramIsUnreadable) {
  if (!UnderWine()) GTEST_SKIP() << "the system reports every process's time itself";
  const ProcessCpuTime nobody(::GetCurrentProcess(), L"no-such-program.exe");
  EXPECT_LT(nobody.Seconds(), 0);
  EXPECT_EQ(nobody.Source(), "nowhere");
}

}  // namespace
