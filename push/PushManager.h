// The process-wide owner of the reminder pop-up and of the hidden message window whose timers
// drive the scheduled checks: the play-history check and the evening reminder check, each
// once a minute after creation, then every 30 minutes and every hour respectively. Created
// on first use on the user-interface thread and never destroyed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "follow/Executable.h"
#include "follow/ReminderUpdater.h"
#include "platform/Lumilib/UIlib.h"
#include "push/PushWnd.h"
#include "push/ReminderController.h"
#include "push/ReminderContext.h"
#include "push/TaskSchedule.h"
#include "push/WindowTaskTimers.h"

// What a pop-up owner answers to the windows around it.
class IConditional {
public:
  // Whether the cursor is over the owner's area; the push manager has none.
  virtual bool IsCursorInside() const = 0;
  virtual HWND GetMainWindow() const = 0;
  virtual BOOL PostToMessageWindow(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
  ~IConditional() = default;
};

struct PushSetup {
  ReminderContextSource context;
  HWND mainWindow = nullptr;
  // Tests only: timers on a virtual clock instead of the message window's, and a set hour.
  ITaskTimers* timers = nullptr;
  LocalHourClock localHour;
};

class CPushManager : public IConditional, public ITaskHost, public Lumi::CWindowWnd {
public:
  // Given once by the program before the first GetInstance.
  static void Configure(PushSetup setup);
  static CPushManager& GetInstance();

  // Passed on to the reminders' controller; nothing happens when the pop-up could not be made.
  void RequestReminders(bool forced) override;
  CPushWnd* PushWindow() { return m_pushWindow.get(); }
  CReminderController* Reminders() { return m_reminders.get(); }

  // Lists the task once and (re)starts its timer with this period.
  void AddTask(IExecutable* task, unsigned periodMs);
  // Stops a listed task's timer; the task stays listed.
  void RemoveTask(IExecutable* task) override;
  // What a timer tick runs; a task that throws keeps its timer and stops no other.
  void RunTaskTimer(uintptr_t timerId);
  std::vector<IExecutable*> Tasks() const { return m_schedule->Tasks(); }
  size_t RunningTimers() const { return m_schedule->ArmedCount(); }
  // Read from the bookkeeping file of the user (or machine) asking now.
  bool ReminderShownToday() override;

  bool IsCursorInside() const override;
  HWND GetMainWindow() const override { return m_mainWindow; }
  BOOL PostToMessageWindow(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  const wchar_t* GetWindowClassName() const override { return L"MSG_LOOP_WND"; }

private:
  CPushManager();
  void ScheduleChecks();

  std::unique_ptr<CPushWnd> m_pushWindow;
  std::unique_ptr<CReminderController> m_reminders;  // with the pop-up, or not at all
  HWND m_parent = nullptr;
  HWND m_mainWindow = nullptr;
  std::unique_ptr<CWindowTaskTimers> m_windowTimers;
  std::unique_ptr<CTaskSchedule> m_schedule;
  std::vector<std::shared_ptr<IExecutable>> m_checks;  // listed in m_schedule, kept for ever
};
