// The task list, its timers and the tasks' run counting, in virtual time; the evening rule of
// the reminder check on a set clock.
#include "push/TaskSchedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "follow/ReminderUpdater.h"
#include "tests/push/VirtualTaskTimers.h"

namespace {

using vxtest::VirtualTaskTimers;

constexpr uint64_t kMinute = 60000;

class ScheduleTest : public ::testing::Test, public ITaskHost {
protected:
  ScheduleTest() { timers.tick = [this](uintptr_t id) { schedule.OnTimer(id); }; }

  void RemoveTask(IExecutable* task) override { schedule.RemoveTask(task); }
  void RequestReminders(bool forced) override { requests.push_back(forced); }
  bool ReminderShownToday() override { return shownToday; }

  // A task that records its runs, or throws on every run when `throws`.
  class Recorder : public CCountedTask {
  public:
    Recorder(ScheduleTest& test, std::string name, int runCount, bool throws = false)
        : CCountedTask(runCount, &test), m_test(test), m_name(std::move(name)), m_throws(throws) {}

  protected:
    void RunOnce(bool& /*result*/) override {
      m_test.runs.push_back(m_name);
      if (m_throws) throw std::runtime_error("no service");
    }

  private:
    ScheduleTest& m_test;
    std::string m_name;
    bool m_throws;
  };

  size_t RunsOf(const std::string& name) const {
    return static_cast<size_t>(std::count(runs.begin(), runs.end(), name));
  }

  VirtualTaskTimers timers;
  CTaskSchedule schedule{timers};
  std::vector<std::string> runs;  // the names of the tasks run, in order
  std::vector<bool> requests;
  bool shownToday = false;
};

TEST_F(ScheduleTest, AddingTwiceKeepsOneEntryAndTimerWithTheSecondPeriod) {
  Recorder task(*this, "task", -1);
  schedule.AddTask(&task, 60000);
  schedule.AddTask(&task, 1800000);
  EXPECT_EQ(schedule.Tasks().size(), 1u);
  EXPECT_EQ(timers.Count(), 1u);
  EXPECT_EQ(timers.PeriodOf(&task), 1800000u);
  timers.AdvanceBy(60 * kMinute);
  EXPECT_EQ(RunsOf("task"), 2u);
}

TEST_F(ScheduleTest, UnknownTasksAndTimersAreIgnored) {
  Recorder listed(*this, "listed", -1), stranger(*this, "stranger", -1);
  schedule.AddTask(&listed, 1000);
  schedule.RemoveTask(&stranger);
  schedule.RemoveTask(nullptr);
  schedule.AddTask(nullptr, 1000);
  schedule.OnTimer(TimerIdOf(&stranger));
  schedule.OnTimer(0);
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(schedule.Tasks(), std::vector<IExecutable*>{&listed});
  EXPECT_EQ(timers.Count(), 1u);

  schedule.RemoveTask(&listed);
  schedule.RemoveTask(&listed);
  EXPECT_EQ(timers.Count(), 0u);
  schedule.OnTimer(TimerIdOf(&listed));  // a tick still queued after its timer was killed
  EXPECT_TRUE(runs.empty());
}

TEST_F(ScheduleTest, ATaskThatThrowsKeepsItsTimerAndStopsNoOther) {
  Recorder failing(*this, "failing", 1, true), steady(*this, "steady", -1);
  schedule.AddTask(&failing, 60000);
  schedule.AddTask(&steady, 60000);
  timers.AdvanceBy(3 * kMinute);
  EXPECT_EQ(RunsOf("failing"), 3u);
  EXPECT_EQ(RunsOf("steady"), 3u);
  EXPECT_EQ(failing.RunCount(), 1);  // a failed run is not counted
  EXPECT_EQ(timers.Count(), 2u);
}

TEST_F(ScheduleTest, ReminderCheckAsksOnlyInTheEveningAndOnlyOnceADay) {
  struct Case {
    const char* time;
    int hour;
    bool shownToday;
    bool asks;
  };
  for (const Case& c : {Case{"17:59", 17, false, false}, Case{"18:00", 18, false, true}, Case{"22:59", 22, false, true},
                        Case{"23:00", 23, false, false}, Case{"00:00", 0, false, false}, Case{"20:00", 20, true, false}}) {
    SCOPED_TRACE(c.time);
    requests.clear();
    shownToday = c.shownToday;
    CReminderUpdater check(2, *this, [&] { return c.hour; });
    bool result = false;
    check.Execute(result);
    EXPECT_EQ(requests, c.asks ? std::vector<bool>{false} : std::vector<bool>{});
    EXPECT_EQ(check.RunCount(), 1);  // counted whether it asked or not
  }
}

}  // namespace
