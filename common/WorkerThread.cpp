#include "common/WorkerThread.h"

#include <system_error>

CWorkThreadMessageQueue::~CWorkThreadMessageQueue() = default;

void CWorkThreadMessageQueue::Quit() {
  std::deque<std::unique_ptr<ITaskSample>> discarded;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_quit = true;
    discarded.swap(m_tasks);
  }
  m_signal.notify_all();
}  // the discarded tasks are destroyed outside the lock

ITaskSample* CWorkThreadMessageQueue::PopTask() {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_tasks.empty()) return nullptr;
  ITaskSample* task = m_tasks.front().release();
  m_tasks.pop_front();
  return task;
}

void CWorkThreadMessageQueue::PostTask(ITaskSample* task) {
  std::unique_ptr<ITaskSample> owned(task);
  if (!owned || m_disabled) return;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_tasks.push_back(std::move(owned));
  }
  m_signal.notify_one();
}

void CWorkThreadMessageQueue::RunLoop() {
  for (;;) {
    std::unique_ptr<ITaskSample> task;
    {
      std::unique_lock<std::mutex> lock(m_lock);
      m_signal.wait(lock, [this] { return m_quit || !m_tasks.empty(); });
      if (m_quit) return;
      task = std::move(m_tasks.front());
      m_tasks.pop_front();
    }
    task->Run();
  }
}

int CWorkThreadMessageQueue::PendingCount() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return static_cast<int>(m_tasks.size());
}

CWorkerThread::~CWorkerThread() {
  Quit();
  if (m_thread.joinable()) m_thread.join();
}

bool CWorkerThread::Start() {
  if (m_thread.joinable()) return false;
  try {
    m_thread = std::thread([this] { RunLoop(); });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}
