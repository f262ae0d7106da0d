// The push manager's scheduled checks inside the test process, on a virtual clock: the four
// checks it lists when it is made, and what their ticks ask of the emulator (the play history,
// the reminder feed) as the hour of the day and the bookkeeping file change. The manager is
// made once per process, so the whole schedule is one test, in time order.
#include "push/PushManager.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/ScopedGdiplus.h"
#include "common/ModulePath.h"
#include "follow/DesktopUrlUpdater.h"
#include "follow/PlayRecordManager.h"
#include "push/ReminderBookkeeping.h"
#include "tests/push/VirtualTaskTimers.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/HostPathsForTests.h"
#include "tests/support/ProcessHarness.h"

namespace {

using namespace vxtest;

constexpr uint64_t kMinute = 60000;
const char kMachineId[] = "scheduletest";
const char kUserId[] = "user-42";

size_t Requests(const std::string& prefix) { return EmulatorJson("GET", "/__emu/requests?prefix=" + prefix).size(); }
size_t HistoryRequests() { return Requests("/apis/playrecord/list"); }
size_t FeedRequests() { return Requests("/apis/urc/getUpdateReminder") + Requests("/apis/vexorc/getUpdateReminder"); }

// Waits for `count` requests, then a little longer for any that should not come.
bool SettlesAt(size_t (*requests)(), size_t count) {
  if (!WaitUntil([&] { return requests() >= count; }, kProcessTimeoutMs)) return false;
  ::Sleep(400);
  return requests() == count;
}

class PushScheduleTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    s_gdiplus = std::make_unique<ScopedGdiplus>();
    Lumi::CUISystem::GetInstance().SetResourcePath((ModuleFolderWithSeparator() + L"tcskin").c_str());
  }
  static void TearDownTestSuite() { s_gdiplus.reset(); }

  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    ResetEmulator();
    UseHostPaths(data.Path());
    ::CreateDirectoryW(ClientFolder().c_str(), nullptr);
    CPlayRecordManager::SetLoginSource([] { return LoginState{true, "cookie-123", ""}; });
    timers.tick = [](uintptr_t id) { CPushManager::GetInstance().RunTaskTimer(id); };
    PushSetup setup;
    setup.context = &Context;
    setup.timers = &timers;
    setup.localHour = [] { return hour; };
    CPushManager::Configure(std::move(setup));
  }
  void TearDown() override {
    CPlayRecordManager::SetLoginSource(nullptr);
    SetHostPaths(HostPaths());
  }

  static std::wstring ClientFolder() { return data.Path() + L"VexoClient"; }
  static ReminderContext Context() {
    ReminderContext context;
    context.login = LoginState{loggedIn, loggedIn ? "cookie-123" : "", kUserId};
    context.machineId = kMachineId;
    context.clientDataFolder = data.Path();
    context.clientFolder = ClientFolder();
    return context;
  }
  // Today's automatic showing, recorded for this key (the user id or the machine id).
  static void ShownTodayFor(const char* key) {
    CReminderBookkeeping(ClientFolder(), std::wstring(key, key + strlen(key))).MarkShownToday(true);
  }
  static void ForgetShowings() { ::DeleteFileW((ClientFolder() + L"\\vexo_remind.ini").c_str()); }

  // The manager is made once and keeps its clock, timers and context source: all outlive the tests.
  static inline std::unique_ptr<ScopedGdiplus> s_gdiplus;
  static inline ScratchFolder data{L"push-schedule"};
  static inline VirtualTaskTimers timers;
  static inline int hour = 20;
  static inline bool loggedIn = false;
};

TEST_F(PushScheduleTest, ChecksFollowTheirPeriodsTheEveningAndTheDaysShowing) {
  CPushManager& manager = CPushManager::GetInstance();
  EXPECT_EQ(&CPushManager::GetInstance(), &manager);
  const std::vector<IExecutable*> tasks = manager.Tasks();
  ASSERT_EQ(tasks.size(), 4u);
  const auto* urlOnce = dynamic_cast<CDesktopUrlUpdater*>(tasks[0]);
  const auto* url = dynamic_cast<CDesktopUrlUpdater*>(tasks[1]);
  const auto* remindOnce = dynamic_cast<CReminderUpdater*>(tasks[2]);
  const auto* remind = dynamic_cast<CReminderUpdater*>(tasks[3]);
  ASSERT_TRUE(urlOnce && url && remindOnce && remind);
  EXPECT_EQ(std::vector<int>({urlOnce->RunCount(), url->RunCount(), remindOnce->RunCount(), remind->RunCount()}),
            std::vector<int>({1, -1, 1, -1}));
  EXPECT_EQ(timers.PeriodOf(urlOnce), 60000u);
  EXPECT_EQ(timers.PeriodOf(url), 1800000u);
  EXPECT_EQ(timers.PeriodOf(remindOnce), 60000u);
  EXPECT_EQ(timers.PeriodOf(remind), 3600000u);

  // One minute: both first checks, in the evening, for the anonymous machine.
  timers.AdvanceBy(kMinute);
  EXPECT_TRUE(SettlesAt(&HistoryRequests, 1));
  EXPECT_TRUE(SettlesAt(&FeedRequests, 1));
  EXPECT_EQ(Requests("/apis/urc/getUpdateReminder"), 1u);
  EXPECT_EQ(manager.RunningTimers(), 2u);
  EXPECT_EQ(timers.Count(), 2u);

  // The morning: the play history every 30 minutes, no feed.
  hour = 9;
  timers.AdvanceBy(2 * 60 * kMinute - kMinute);  // two hours after the start
  EXPECT_TRUE(SettlesAt(&HistoryRequests, 5));
  EXPECT_EQ(FeedRequests(), 1u);

  // The evening again, but today's reminder was shown to this machine.
  hour = 22;
  ShownTodayFor(kMachineId);
  timers.AdvanceBy(60 * kMinute);
  EXPECT_TRUE(SettlesAt(&HistoryRequests, 7));
  EXPECT_EQ(FeedRequests(), 1u);

  // Logged in: the user's own record counts, not the machine's.
  loggedIn = true;
  timers.AdvanceBy(60 * kMinute);
  EXPECT_TRUE(SettlesAt(&FeedRequests, 2));
  EXPECT_EQ(Requests("/apis/vexorc/getUpdateReminder"), 1u);
  ShownTodayFor(kUserId);
  timers.AdvanceBy(60 * kMinute);
  EXPECT_TRUE(SettlesAt(&HistoryRequests, 11));
  EXPECT_EQ(FeedRequests(), 2u);

  // Logged out with the machine's record gone: asked again; 23:00 is too late.
  loggedIn = false;
  ForgetShowings();
  timers.AdvanceBy(60 * kMinute);
  EXPECT_TRUE(SettlesAt(&FeedRequests, 3));
  hour = 23;
  timers.AdvanceBy(60 * kMinute);
  EXPECT_TRUE(SettlesAt(&HistoryRequests, 15));
  EXPECT_EQ(FeedRequests(), 3u);
  EXPECT_EQ(manager.Tasks().size(), 4u);
  EXPECT_EQ(manager.RunningTimers(), 2u);
}

}  // namespace
