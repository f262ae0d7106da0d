// The library's own threads: a few workers that run queued requests. Created on first
// use; at process exit the pending requests are dropped and the workers joined, each after
// its running request, which its time-out bounds.
#pragma once

#include <functional>
#include <thread>
#include <vector>

#include "common/TaskQueue.h"

class CRequestPool {
public:
  static constexpr int kWorkers = 4;

  static CRequestPool& Instance();
  ~CRequestPool();
  CRequestPool(const CRequestPool&) = delete;
  CRequestPool& operator=(const CRequestPool&) = delete;

  void Post(std::function<void()> job);

private:
  CRequestPool();

  TaskQueue<std::function<void()>> m_jobs;
  std::vector<std::thread> m_workers;
};
