// The library's own threads: a few workers that run queued requests. Created on first use and
// never destroyed: at the end of the process nobody waits for a request, however long a
// silent service keeps it; the workers end with the process.
#pragma once

#include <memory>
#include <thread>
#include <vector>

#include "common/TaskQueue.h"
#include "common/WorkerThread.h"

class CRequestPool {
public:
  static constexpr int kWorkers = 4;

  static CRequestPool& GetInstance();
  CRequestPool(const CRequestPool&) = delete;
  CRequestPool& operator=(const CRequestPool&) = delete;

  // False when the pool refuses the job (none, or its queue has quit): the job is freed unrun.
  bool Post(std::unique_ptr<ITaskSample> job);

private:
  CRequestPool();
  ~CRequestPool() = default;

  TaskQueue<std::unique_ptr<ITaskSample>> m_jobs;
  std::vector<std::thread> m_workers;
};
