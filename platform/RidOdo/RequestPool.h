// The library's own threads: a few workers that run queued requests. Created on first
// use and kept for the life of the process.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class CRequestPool {
public:
  static CRequestPool& Instance();

  void Post(std::function<void()> job);

private:
  CRequestPool();
  void Run();

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_jobs;
};
