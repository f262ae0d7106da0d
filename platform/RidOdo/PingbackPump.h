// Usage reports: queued by SendASynLog and sent in order, in the background, as one GET
// each to the service's pingback address, by one worker that runs only while there are
// reports to send. The pump lives until the process ends and is never joined: a report still
// queued or being sent when the process ends is lost.
#pragma once

#include <atomic>

#include "platform/RidOdo/LogParamInfo.h"
#include "platform/RidOdo/RequestPool.h"

class CPingbackPump {
public:
  static CPingbackPump& GetInstance();
  CPingbackPump(const CPingbackPump&) = delete;
  CPingbackPump& operator=(const CPingbackPump&) = delete;

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

  CPingbackPump();
  ~CPingbackPump() = default;
  static void Send(const Pending& pending);

  std::atomic<int> m_isTailcast{0};
  CRequestPool m_sender{1};  // one worker: the reports leave in order
};
