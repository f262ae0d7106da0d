// The library's own threads: a few workers that run queued requests. Created on first use and
// never destroyed: at the end of the process nobody waits for a request, however long a
// silent service keeps it; the workers end with the process.
#pragma once

#include <functional>
#include <thread>
#include <vector>

#include "common/TaskQueue.h"

class CRequestPool {
public:
  static constexpr int kWorkers = 4;

  static CRequestPool& Instance();
  CRequestPool(const CRequestPool&) = delete;
  CRequestPool& operator=(const CRequestPool&) = delete;

  void Post(std::function<void()> job);

private:
  CRequestPool();
  ~CRequestPool() = default;

  TaskQueue<std::function<void()>> m_jobs;
  std::vector<std::thread> m_workers;
};
