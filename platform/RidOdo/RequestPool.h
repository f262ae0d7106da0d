// Threads that run queued requests, as many as the load needs up to a bound. A worker starts
// only when a request finds no idle one, and ends once no request has come for a while:
// requests come in bursts (the start's pingback and reminder feed, a feed's pictures, a
// scheduled check's shortcuts) minutes apart, and a parked thread costs its stack (under Wine
// about 1 MB of private memory). A process that asks for nothing keeps no thread.
// The library's pool is created on first use and never destroyed: at the end of the process
// nobody waits for a request, however long a silent service keeps it; its workers end with
// the process. A pool of one's own quits when it goes, freeing its queued jobs unrun, and
// joins its workers.
#pragma once

#include <chrono>
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "common/TaskQueue.h"
#include "common/WorkerThread.h"

class CRequestPool {
public:
  static constexpr int kWorkers = 4;
  // Within a burst the next request follows in milliseconds; a burst is over after this.
  static constexpr std::chrono::milliseconds kIdleEnd{2000};

  static CRequestPool& GetInstance();
  // One worker runs the jobs one at a time, in posting order.
  explicit CRequestPool(int maxWorkers = kWorkers, std::chrono::milliseconds idleEnd = kIdleEnd);
  ~CRequestPool();
  CRequestPool(const CRequestPool&) = delete;
  CRequestPool& operator=(const CRequestPool&) = delete;

  // False when the pool refuses the job (none, or its queue has quit): the job is freed unrun.
  bool Post(std::unique_ptr<ITaskSample> job);
  // Waits at most `timeout` until no job is queued or running; true when so.
  bool WaitUntilIdle(std::chrono::milliseconds timeout);
  // The workers running now.
  size_t ThreadCount() const;

private:
  struct Worker {
    std::thread thread;
    bool ended = false;
  };

  void StartWorkerIfNeeded();
  void Serve(Worker* self);
  void JoinEndedLocked();

  const size_t m_maxWorkers;
  const std::chrono::milliseconds m_idleEnd;
  TaskQueue<std::unique_ptr<ITaskSample>> m_jobs;
  mutable std::mutex m_workersMutex;
  std::list<Worker> m_workers;  // a list: a worker keeps its place while others come and go
  size_t m_running = 0;
};
