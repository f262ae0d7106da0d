// What the network library delivered to a consumer, for the tests to wait on and read.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/RidOdo/RidOdo.h"

namespace vxtest {

// An argument that tells when it has been released.
class WatchedArg : public CResourceArg {
public:
  explicit WatchedArg(HANDLE released) : CResourceArg(1000), m_released(released) {}
  ~WatchedArg() override { ::SetEvent(m_released); }

private:
  HANDLE m_released;
};

struct Delivery {
  int failed = 0;
  int id = 0;
  int mode = 0;
  int tag = 0;
  std::string url;
  std::string body;
  unsigned status = 0;
  DWORD threadId = 0;
};

class ResourceRecorder : public IResourceCallback {
public:
  int OnResCallback(int failed, CResourceArg* arg) override {
    Delivery delivery{failed, arg->id, arg->mode, arg->tag, arg->url, std::string(arg->Buffer(), arg->Length()),
                      arg->packet.status, ::GetCurrentThreadId()};
    delete arg;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_deliveries.push_back(std::move(delivery));
    }
    m_changed.notify_all();
    return 1;
  }

  // Waits until at least `count` callbacks arrived; the deliveries so far.
  std::vector<Delivery> WaitFor(size_t count, unsigned timeoutMs = 20000) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_deliveries.size() >= count; });
    return m_deliveries;
  }

private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<Delivery> m_deliveries;
};

struct PlayRecordResult {
  int code = -1;
  int value = 0;
  std::vector<PlayRecord> records;
};

class PlayRecordRecorder : public IPlayRecordHandler {
public:
  void OnPlayRecordResult(int code, int value, const std::vector<PlayRecord>& records) override {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_results.push_back(PlayRecordResult{code, value, records});
    }
    m_changed.notify_all();
  }

  std::vector<PlayRecordResult> WaitFor(size_t count, unsigned timeoutMs = 20000) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_results.size() >= count; });
    return m_results;
  }

private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<PlayRecordResult> m_results;
};

}  // namespace vxtest
