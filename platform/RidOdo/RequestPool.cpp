#include "platform/RidOdo/RequestPool.h"

#include <thread>

namespace {

constexpr int kWorkers = 4;

}  // namespace

CRequestPool& CRequestPool::Instance() {
  // Never destroyed: its threads may still be blocked on the network when the process ends.
  static CRequestPool* const pool = new CRequestPool;
  return *pool;
}

CRequestPool::CRequestPool() {
  for (int i = 0; i < kWorkers; ++i) std::thread([this] { Run(); }).detach();
}

void CRequestPool::Post(std::function<void()> job) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.push_back(std::move(job));
  }
  m_wake.notify_one();
}

void CRequestPool::Run() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_wake.wait(lock, [this] { return !m_jobs.empty(); });
      job = std::move(m_jobs.front());
      m_jobs.pop_front();
    }
    job();
  }
}
