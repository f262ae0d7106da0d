// Usage reports: queued by SendASynLog and sent in order, in the background, as one GET
// each to the service's pingback address.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/RidOdo/LogParamInfo.h"

class CPingbackPump {
public:
  static CPingbackPump& GetInstance();

  void SetIsTailcast(int isTailcast);
  // Queues a copy and returns at once.
  void SendASynLog(const LogParamInfo& info);
  // Waits until every queued report was sent (or given up), at most `timeoutMs`; true
  // when nothing is left. Lets a report made just before the process ends still go out.
  bool WaitUntilSent(unsigned timeoutMs);

private:
  struct Pending {
    LogParamInfo info;
    int isTailcast;
  };

  CPingbackPump() = default;
  void Run();
  void Send(const Pending& pending);

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<Pending> m_queue;
  bool m_sending = false;
  bool m_started = false;
  int m_isTailcast = 0;
};
