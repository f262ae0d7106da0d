#include "platform/RidOdo/RequestPool.h"

CRequestPool& CRequestPool::GetInstance() {
  static CRequestPool* const pool = new CRequestPool;
  return *pool;
}

CRequestPool::CRequestPool() {
  for (int i = 0; i < kWorkers; ++i) {
    m_workers.emplace_back([this] { m_jobs.Serve([](std::unique_ptr<ITaskSample>& job) { job->Run(); }); });
  }
}

bool CRequestPool::Post(std::unique_ptr<ITaskSample> job) { return job && m_jobs.Push(std::move(job)); }
