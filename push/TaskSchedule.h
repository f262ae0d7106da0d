// The push manager's task list and the timers that run its tasks. The timers themselves are
// behind ITaskTimers: window timers in the program, a virtual clock in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "follow/Executable.h"

class ITaskTimers {
public:
  // Starts the task's timer, replacing an earlier one of the same task.
  virtual void Arm(IExecutable* task, unsigned periodMs) = 0;
  virtual void Disarm(IExecutable* task) = 0;

protected:
  ~ITaskTimers() = default;
};

// A timer's identifier is its task's address.
inline uintptr_t TimerIdOf(const IExecutable* task) { return reinterpret_cast<uintptr_t>(task); }

class CTaskSchedule {
public:
  explicit CTaskSchedule(ITaskTimers& timers) : m_timers(timers) {}

  // Appends a task not yet listed, then (re)arms its timer with this period.
  void AddTask(IExecutable* task, unsigned periodMs);
  // Stops a listed task's timer; the entry stays. An unknown task is ignored.
  void RemoveTask(IExecutable* task);
  // What a timer tick runs: the listed task of that id, once. A task that throws keeps its
  // timer; an id of no listed task is ignored.
  void OnTimer(uintptr_t timerId);

  std::vector<IExecutable*> Tasks() const;
  size_t ArmedCount() const;

private:
  struct Entry {
    IExecutable* task;
    bool armed;
  };
  Entry* Find(uintptr_t timerId);

  ITaskTimers& m_timers;
  std::vector<Entry> m_entries;
};
