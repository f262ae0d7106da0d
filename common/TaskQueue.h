// A first-in-first-out queue of jobs served by one or more threads: posters push, servers
// wait for the oldest job and run it outside the lock. A quit wakes every waiter, discards
// what is still pending and refuses later pushes. Windows-free.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

template <typename Job>
class TaskQueue {
public:
  // False (and the job dropped) once the queue has quit.
  bool Push(Job job) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_quit) return false;
      m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    return true;
  }

  // The oldest job without waiting, or nothing.
  std::optional<Job> TryPop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_jobs.empty()) return std::nullopt;
    Job job = std::move(m_jobs.front());
    m_jobs.pop_front();
    return job;
  }

  // Runs `run(job)` for each job until the queue quits; a quit wins over pending jobs.
  template <typename Run>
  void Serve(Run run) {
    for (;;) {
      bool quit = false;
      std::optional<Job> job = WaitForJob(nullptr, quit);
      if (!job) return;
      run(*job);
      FinishJob();
    }
  }

  // Like Serve, but returns once no job has come for `idle`: true then, false when the queue
  // has quit. A job pushed before the wait ends is always taken, never left behind.
  template <typename Run>
  bool ServeUntilIdle(Run run, std::chrono::milliseconds idle) {
    for (;;) {
      bool quit = false;
      std::optional<Job> job = WaitForJob(&idle, quit);
      if (!job) return !quit;
      run(*job);
      FinishJob();
    }
  }

  // The pending jobs are destroyed outside the lock, so they may post or quit themselves.
  void Quit() {
    std::deque<Job> discarded;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_quit = true;
      discarded.swap(m_jobs);
    }
    m_wake.notify_all();
    m_idle.notify_all();
  }

  // Waits at most `timeout` until nothing is pending or running; true when so.
  bool WaitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return m_jobs.empty() && m_running == 0; });
  }

  size_t PendingCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_jobs.size();
  }

  // The pending jobs that no waiting server is about to take: what a pool that grows on
  // demand would need another server for. Counted under one lock, so never too low.
  size_t UnservedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_jobs.size() > m_waiting ? m_jobs.size() - m_waiting : 0;
  }

private:
  // Nothing when the queue quits (`quit` set) or `idle` passes without a job.
  std::optional<Job> WaitForJob(const std::chrono::milliseconds* idle, bool& quit) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto ready = [this] { return m_quit || !m_jobs.empty(); };
    ++m_waiting;
    if (idle) {
      m_wake.wait_for(lock, *idle, ready);
    } else {
      m_wake.wait(lock, ready);
    }
    --m_waiting;
    quit = m_quit;
    if (m_quit || m_jobs.empty()) return std::nullopt;
    Job job = std::move(m_jobs.front());
    m_jobs.pop_front();
    ++m_running;
    return job;
  }

  void FinishJob() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      --m_running;
    }
    m_idle.notify_all();
  }

  mutable std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_idle;
  std::deque<Job> m_jobs;
  size_t m_running = 0;
  size_t m_waiting = 0;  // servers waiting for a job
  bool m_quit = false;
};
