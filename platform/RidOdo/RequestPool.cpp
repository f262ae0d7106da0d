#include "platform/RidOdo/RequestPool.h"

CRequestPool& CRequestPool::Instance() {
  static CRequestPool* const pool = new CRequestPool;
  return *pool;
}

CRequestPool::CRequestPool() {
  for (int i = 0; i < kWorkers; ++i) {
    m_workers.emplace_back([this] { m_jobs.Serve([](std::function<void()>& job) { job(); }); });
  }
}

void CRequestPool::Post(std::function<void()> job) { m_jobs.Push(std::move(job)); }
