#include "push/TaskSchedule.h"

void CTaskSchedule::AddTask(IExecutable* task, unsigned periodMs) {
  if (!task) return;
  Entry* entry = Find(TimerIdOf(task));
  if (!entry) {
    m_entries.push_back({task, false});
    entry = &m_entries.back();
  }
  m_timers.Arm(task, periodMs);
  entry->armed = true;
}

void CTaskSchedule::RemoveTask(IExecutable* task) {
  Entry* entry = Find(TimerIdOf(task));
  if (!entry || !entry->armed) return;
  m_timers.Disarm(task);
  entry->armed = false;
}

void CTaskSchedule::OnTimer(uintptr_t timerId) {
  Entry* entry = Find(timerId);
  if (!entry || !entry->armed) return;
  bool result = false;
  try {
    entry->task->Execute(result);
  } catch (...) {
    // The task tries again at its next tick; the other tasks never notice.
  }
}

std::vector<IExecutable*> CTaskSchedule::Tasks() const {
  std::vector<IExecutable*> tasks;
  for (const Entry& entry : m_entries) tasks.push_back(entry.task);
  return tasks;
}

size_t CTaskSchedule::ArmedCount() const {
  size_t armed = 0;
  for (const Entry& entry : m_entries) armed += entry.armed ? 1 : 0;
  return armed;
}

CTaskSchedule::Entry* CTaskSchedule::Find(uintptr_t timerId) {
  for (Entry& entry : m_entries) {
    if (TimerIdOf(entry.task) == timerId) return &entry;
  }
  return nullptr;
}
