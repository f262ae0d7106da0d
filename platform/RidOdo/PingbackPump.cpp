#include "platform/RidOdo/PingbackPump.h"

#include <chrono>
#include <thread>

#include "common/ServiceAddress.h"
#include "platform/RidOdo/HttpTransport.h"
#include "platform/RidOdo/PingbackQuery.h"
#include "platform/RidOdo/RidOdoDll.h"
#include "platform/RidOdo/UrlText.h"

namespace {

constexpr unsigned kSendTimeoutMs = 5000;
constexpr int kAttempts = 2;
constexpr auto kRetryPause = std::chrono::milliseconds(500);

}  // namespace

CPingbackPump& CPingbackPump::GetInstance() {
  static CPingbackPump* const pump = new CPingbackPump;  // its thread outlives any static teardown
  return *pump;
}

void CPingbackPump::SetIsTailcast(int isTailcast) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_isTailcast = isTailcast;
}

void CPingbackPump::SendASynLog(const LogParamInfo& info) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_queue.push_back(Pending{info, m_isTailcast});
  if (!m_started) {
    m_started = true;
    std::thread([this] { Run(); }).detach();
  }
  m_changed.notify_all();
}

bool CPingbackPump::WaitUntilSent(unsigned timeoutMs) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [this] { return m_queue.empty() && !m_sending; });
}

void CPingbackPump::Run() {
  for (;;) {
    Pending pending;
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_changed.wait(lock, [this] { return !m_queue.empty(); });
      pending = std::move(m_queue.front());
      m_queue.pop_front();
      m_sending = true;
    }
    Send(pending);
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_sending = false;
    }
    m_changed.notify_all();
  }
}

void CPingbackPump::Send(const Pending& pending) {
  const std::string query = PingbackQuery(pending.info, pending.isTailcast, fnRidOdoDll()->GenRandomId());
  HttpCall call;
  call.url = AppendQuery(ServiceUrl(service_address::kPingbackUrl), query);
  call.timeoutMs = kSendTimeoutMs;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(kRetryPause);
    if (HttpGet(call).Succeeded()) return;
  }
}
