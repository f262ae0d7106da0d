// Task timers as window timers of one window: the timer id is the task's address, and every
// tick goes to one timer procedure.
#pragma once

#include <windows.h>

#include "push/TaskSchedule.h"

class CWindowTaskTimers : public ITaskTimers {
public:
  CWindowTaskTimers(HWND window, TIMERPROC onTick) : m_window(window), m_onTick(onTick) {}

  void Arm(IExecutable* task, unsigned periodMs) override {
    ::SetTimer(m_window, TimerIdOf(task), periodMs, m_onTick);
  }
  void Disarm(IExecutable* task) override { ::KillTimer(m_window, TimerIdOf(task)); }

private:
  HWND m_window;
  TIMERPROC m_onTick;
};
