#include "common/WorkerThread.h"

#include <system_error>

CWorkThreadMessageQueue::~CWorkThreadMessageQueue() = default;

void CWorkThreadMessageQueue::Quit() { m_tasks.Quit(); }

ITaskSample* CWorkThreadMessageQueue::PopTask() {
  std::optional<std::unique_ptr<ITaskSample>> task = m_tasks.TryPop();
  return task ? task->release() : nullptr;
}

void CWorkThreadMessageQueue::PostTask(ITaskSample* task) { PostTask(std::unique_ptr<ITaskSample>(task)); }

void CWorkThreadMessageQueue::PostTask(std::unique_ptr<ITaskSample> task) {
  if (!task || m_disabled) return;
  m_tasks.Push(std::move(task));
}

void CWorkThreadMessageQueue::RunLoop() {
  m_tasks.Serve([](std::unique_ptr<ITaskSample>& task) { task->Run(); });
}

int CWorkThreadMessageQueue::PendingCount() const { return static_cast<int>(m_tasks.PendingCount()); }

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
