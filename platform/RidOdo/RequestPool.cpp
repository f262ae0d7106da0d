#include "platform/RidOdo/RequestPool.h"

#include <system_error>

CRequestPool& CRequestPool::GetInstance() {
  static CRequestPool* const pool = new CRequestPool;
  return *pool;
}

CRequestPool::CRequestPool(int maxWorkers, std::chrono::milliseconds idleEnd)
    : m_maxWorkers(maxWorkers > 0 ? static_cast<size_t>(maxWorkers) : 1), m_idleEnd(idleEnd) {}

// The workers are joined outside the lock, which one that is just ending still takes; the
// list's nodes keep their addresses when spliced.
CRequestPool::~CRequestPool() {
  m_jobs.Quit();
  std::list<Worker> workers;
  {
    std::lock_guard<std::mutex> lock(m_workersMutex);
    workers.splice(workers.end(), m_workers);
  }
  for (Worker& worker : workers) worker.thread.join();
}

bool CRequestPool::Post(std::unique_ptr<ITaskSample> job) {
  if (!job || !m_jobs.Push(std::move(job))) return false;
  StartWorkerIfNeeded();
  return true;
}

bool CRequestPool::WaitUntilIdle(std::chrono::milliseconds timeout) { return m_jobs.WaitUntilIdle(timeout); }

size_t CRequestPool::ThreadCount() const {
  std::lock_guard<std::mutex> lock(m_workersMutex);
  return m_running;
}

// A thread that cannot start leaves the job to the workers there are; with none, it waits
// for the next request's try.
void CRequestPool::StartWorkerIfNeeded() {
  std::lock_guard<std::mutex> lock(m_workersMutex);
  JoinEndedLocked();
  if (m_running >= m_maxWorkers || m_jobs.UnservedCount() == 0) return;
  Worker& worker = m_workers.emplace_back();
  try {
    worker.thread = std::thread([this, self = &worker] { Serve(self); });
    ++m_running;
  } catch (const std::system_error&) {
    m_workers.pop_back();
  }
}

// A worker ends only under the workers' lock and only with no job left unserved, so a job
// posted meanwhile either finds it still serving or finds room for a new worker.
void CRequestPool::Serve(Worker* self) {
  const auto run = [](std::unique_ptr<ITaskSample>& job) { job->Run(); };
  while (m_jobs.ServeUntilIdle(run, m_idleEnd)) {
    std::lock_guard<std::mutex> lock(m_workersMutex);
    if (m_jobs.UnservedCount() > 0) continue;
    self->ended = true;
    --m_running;
    return;
  }
}

// Ended workers have left their loop; joining them waits only for their return.
void CRequestPool::JoinEndedLocked() {
  for (auto worker = m_workers.begin(); worker != m_workers.end();) {
    if (!worker->ended) {
      ++worker;
      continue;
    }
    worker->thread.join();
    worker = m_workers.erase(worker);
  }
}
