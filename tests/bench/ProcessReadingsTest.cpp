// The process readings the benchmarks' figures rest on, checked against GDI objects and threads
// made here: a reading that drifted from the system (a changed table layout, a thread skipped)
// would turn the figures into numbers that mean nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <type_traits>
#include <vector>

#include "bench/RunningProgram.h"
#include "bench/ThreadCpuTime.h"

namespace {

using namespace vxbench;

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using ScopedBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

TEST(ProcessReadings, GdiObjectsFollowWhatTheProcessHolds) {
  const DWORD before = ReadProcessUsage(::GetCurrentProcess()).gdiObjects;
  ASSERT_GT(before, 0u) << "no GDI object count for this process (stock objects always exist)";
  std::vector<ScopedBrush> brushes;
  for (int i = 0; i < 50; ++i) brushes.emplace_back(::CreateSolidBrush(RGB(i, 0, 0)));
  EXPECT_EQ(ReadProcessUsage(::GetCurrentProcess()).gdiObjects, before + 50);
  brushes.clear();
  EXPECT_EQ(ReadProcessUsage(::GetCurrentProcess()).gdiObjects, before);
}

TEST(ProcessReadings, ThreadCpuSeesABusyThreadAndLosesItWhenItEnds) {
  std::atomic<DWORD> busyId{0};
  std::atomic<bool> stop{false};
  std::thread busy([&] {
    busyId = ::GetCurrentThreadId();
    volatile unsigned sink = 0;
    while (!stop) sink = sink + 1;
  });
  while (busyId == 0) ::Sleep(1);
  const ThreadCpuReading first = ReadThreadCpu(::GetCurrentProcessId());
  ASSERT_TRUE(first.complete);
  ASSERT_EQ(first.seconds.count(busyId), 1u);
  ThreadCpuReading later;
  for (int i = 0; i < 400; ++i) {  // until the system has charged the spinning thread a tick
    later = ReadThreadCpu(::GetCurrentProcessId());
    if (later.seconds[busyId] > first.seconds.at(busyId)) break;
    ::Sleep(25);
  }
  EXPECT_GT(later.seconds[busyId], first.seconds.at(busyId));
  EXPECT_GT(CpuUsedBetween(first, later).seconds, 0);

  stop = true;
  busy.join();
  const ThreadCpuReading after = ReadThreadCpu(::GetCurrentProcessId());
  EXPECT_EQ(after.seconds.count(busyId), 0u);
  EXPECT_GE(CpuUsedBetween(first, after).endedThreads, 1);
}

TEST(ProcessReadings, CpuBetweenCountsNewThreadsWhollyAndEndedOnesApart) {
  ThreadCpuReading before, after;
  before.seconds = {{1, 1.0}, {2, 2.0}};
  after.seconds = {{1, 1.5}, {3, 0.25}};
  const CpuBetween used = CpuUsedBetween(before, after);
  EXPECT_DOUBLE_EQ(used.seconds, 0.75);
  EXPECT_EQ(used.endedThreads, 1);
}

}  // namespace
