// One background thread with a first-in-first-out queue of tasks: tasks run one at a
// time, in posting order. Windows-free.
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "common/TaskQueue.h"

class ITaskSample {
public:
  virtual ~ITaskSample() = default;
  virtual void Run() = 0;
};

// A task that runs `work`, a callable (move-only ones too) that owns what it needs: a task
// that is dropped unrun frees it with itself.
template <class Work>
std::unique_ptr<ITaskSample> MakeTask(Work work) {
  class Task : public ITaskSample {
  public:
    explicit Task(Work&& owned) : m_work(std::move(owned)) {}
    void Run() override { m_work(); }

  private:
    Work m_work;
  };
  return std::make_unique<Task>(std::move(work));
}

class IMessageQueue {
public:
  virtual ~IMessageQueue() = default;
  virtual void Disable() = 0;
  virtual bool IsDisabled() const = 0;
  virtual void Enable() = 0;
  virtual void Quit() = 0;
  virtual void NoOp() = 0;
  virtual ITaskSample* PopTask() = 0;
  virtual ITaskSample* GetTask() = 0;
  // Takes ownership of the task (discarding it when the queue is disabled).
  virtual void PostTask(ITaskSample* task) = 0;
  virtual void RunLoop() = 0;
};

class CWorkThreadMessageQueue : public IMessageQueue {
public:
  CWorkThreadMessageQueue() = default;
  ~CWorkThreadMessageQueue() override;

  void Disable() override { m_disabled = true; }
  bool IsDisabled() const override { return m_disabled; }
  void Enable() override { m_disabled = false; }
  // Ends the loop at its next wait and discards every pending task.
  void Quit() override;
  void NoOp() override {}
  // The oldest task without waiting (the caller owns it), or null.
  ITaskSample* PopTask() override;
  ITaskSample* GetTask() override { return PopTask(); }
  void PostTask(ITaskSample* task) override;
  void PostTask(std::unique_ptr<ITaskSample> task);
  // Runs tasks until Quit; a quit request wins over pending tasks.
  void RunLoop() override;

  int PendingCount() const;

private:
  std::atomic<bool> m_disabled{false};
  TaskQueue<std::unique_ptr<ITaskSample>> m_tasks;
};

class CWorkerThread : public CWorkThreadMessageQueue {
public:
  CWorkerThread() = default;
  // Ends the loop and waits for the running task, so no task outlives its queue.
  ~CWorkerThread() override;

  // Starts the thread that runs the loop; false when it is running already or cannot start.
  bool Start();
  std::thread::id ThreadId() const { return m_thread.get_id(); }

private:
  std::thread m_thread;
};
