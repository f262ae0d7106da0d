// Scheduled work: a task the push manager's timers run, what such a task may ask of whoever
// runs it, and the run counting both scheduled tasks share.
#pragma once

class IExecutable {
public:
  virtual ~IExecutable() = default;
  // One run; `result` is neither read nor reported by the scheduler.
  virtual void Execute(bool& result) = 0;
  // No scheduled task is conditional; nothing asks yet.
  virtual bool IsConditional() const { return false; }
};

// What a scheduled task may ask of the program that runs it; the program hands it down at
// start-up, so that the tasks need not know the push manager.
class ITaskHost {
public:
  // Stops the task's timer; the task itself is kept.
  virtual void RemoveTask(IExecutable* task) = 0;
  virtual void RequestReminders(bool forced) = 0;
  // Whether the automatic reminder was already shown today for the current user.
  virtual bool ReminderShownToday() = 0;

protected:
  ~ITaskHost() = default;
};

// A task with a number of runs left (-1: for ever). After each run it counts one down and,
// at 0, asks its host to stop its timer. A run that throws is not counted.
class CCountedTask : public IExecutable {
public:
  void Execute(bool& result) final {
    RunOnce(result);
    CountRun();
  }
  int RunCount() const { return m_runCount; }

protected:
  CCountedTask(int runCount, ITaskHost* host) : m_runCount(runCount), m_host(host) {}
  virtual void RunOnce(bool& result) = 0;
  ITaskHost* Host() const { return m_host; }

private:
  void CountRun() {
    if (m_runCount == -1 || m_runCount == 0) return;
    if (--m_runCount == 0 && m_host) m_host->RemoveTask(this);
  }

  int m_runCount;
  ITaskHost* m_host;
};
