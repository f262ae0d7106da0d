#include "platform/RidOdo/RequestPool.h"

CRequestPool& CRequestPool::Instance() {
  static CRequestPool pool;
  return pool;
}

CRequestPool::CRequestPool() {
  for (int i = 0; i < kWorkers; ++i) {
    m_workers.emplace_back([this] { m_jobs.Serve([](std::function<void()>& job) { job(); }); });
  }
}

CRequestPool::~CRequestPool() {
  m_jobs.Quit();
  for (std::thread& worker : m_workers) worker.join();
}

void CRequestPool::Post(std::function<void()> job) { m_jobs.Push(std::move(job)); }
