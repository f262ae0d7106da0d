#include "push/PushManager.h"

#include <utility>

#include "follow/DesktopUrlUpdater.h"
#include "push/ReminderBookkeeping.h"
#include "push/ReminderRequest.h"

namespace {

PushSetup& Setup() {
  static PushSetup setup;
  return setup;
}

constexpr unsigned kFirstCheckMs = 60 * 1000;
constexpr unsigned kPlayHistoryPeriodMs = 30 * 60 * 1000;
constexpr unsigned kReminderPeriodMs = 60 * 60 * 1000;

void CALLBACK OnTaskTimer(HWND /*window*/, UINT /*message*/, UINT_PTR timerId, DWORD /*tick*/) {
  CPushManager::GetInstance().RunTaskTimer(timerId);
}

}  // namespace

void CPushManager::Configure(PushSetup setup) { Setup() = std::move(setup); }

CPushManager& CPushManager::GetInstance() {
  static CPushManager* const instance = new CPushManager();  // lives until the process ends
  return *instance;
}

CPushManager::CPushManager() : m_mainWindow(Setup().mainWindow) {
  m_pushWindow = std::make_unique<CPushWnd>(Setup().context);
  if (m_pushWindow->CreatePopup()) {
    m_reminders = std::make_unique<CReminderController>(Setup().context, *m_pushWindow);
    if (!m_reminders->Start()) m_reminders.reset();
  } else {
    m_pushWindow.reset();
  }
  Create(m_parent, L"消息循环窗口", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT);
  m_windowTimers = std::make_unique<CWindowTaskTimers>(GetHWND(), &OnTaskTimer);
  m_schedule = std::make_unique<CTaskSchedule>(Setup().timers ? *Setup().timers : *m_windowTimers);
  ScheduleChecks();
}

// The first checks one minute after start, then the play history every 30 minutes and the
// evening reminder every hour.
void CPushManager::ScheduleChecks() {
  const LocalHourClock clock = Setup().localHour ? Setup().localHour : LocalHourClock(&LocalHourNow);
  const std::pair<std::shared_ptr<IExecutable>, unsigned> checks[] = {
      {std::make_shared<CDesktopUrlUpdater>(1, this), kFirstCheckMs},
      {std::make_shared<CDesktopUrlUpdater>(-1, this), kPlayHistoryPeriodMs},
      {std::make_shared<CReminderUpdater>(1, *this, clock), kFirstCheckMs},
      {std::make_shared<CReminderUpdater>(-1, *this, clock), kReminderPeriodMs},
  };
  for (const auto& [check, periodMs] : checks) {
    m_checks.push_back(check);
    AddTask(check.get(), periodMs);
  }
}

void CPushManager::AddTask(IExecutable* task, unsigned periodMs) { m_schedule->AddTask(task, periodMs); }

void CPushManager::RemoveTask(IExecutable* task) { m_schedule->RemoveTask(task); }

void CPushManager::RunTaskTimer(uintptr_t timerId) { m_schedule->OnTimer(timerId); }

bool CPushManager::ReminderShownToday() {
  if (!Setup().context) return false;
  const ReminderContext context = Setup().context();
  return CReminderBookkeeping(context.clientFolder, ReminderUserKey(context)).ReminderShownToday();
}

void CPushManager::RequestReminders(bool forced) {
  if (m_reminders) m_reminders->RequestReminders(forced);
}

bool CPushManager::IsCursorInside() const {
  POINT cursor = {};
  ::GetCursorPos(&cursor);
  const RECT none = {};
  return ::PtInRect(&none, cursor) != FALSE;
}

BOOL CPushManager::PostToMessageWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  return PostMessageW(message, wParam, lParam);
}
