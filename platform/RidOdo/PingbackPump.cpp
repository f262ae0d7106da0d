#include "platform/RidOdo/PingbackPump.h"

#include <chrono>
#include <thread>

#include "common/OpenInternetHandles.h"
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
  static CPingbackPump* const pump = new CPingbackPump;
  return *pump;
}

CPingbackPump::CPingbackPump() = default;

void CPingbackPump::SetIsTailcast(int isTailcast) { m_isTailcast = isTailcast; }

void CPingbackPump::SendASynLog(const LogParamInfo& info) {
  m_sender.Post(MakeTask([pending = Pending{info, m_isTailcast}] { Send(pending); }));
}

bool CPingbackPump::WaitUntilSent(unsigned timeoutMs) {
  return m_sender.WaitUntilIdle(std::chrono::milliseconds(timeoutMs));
}

void CPingbackPump::Send(const Pending& pending) {
  const std::string query = PingbackQuery(pending.info, pending.isTailcast, fnRidOdoDll()->GenRandomId());
  HttpCall call;
  call.url = AppendQuery(ServiceUrl(service_address::kPingbackUrl), query);
  call.timeoutMs = kSendTimeoutMs;
  for (int attempt = 0; attempt < kAttempts && !IsNetworkAbandoned(); ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(kRetryPause);
    if (HttpGet(call).Succeeded()) return;
  }
}
