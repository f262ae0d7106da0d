#include "app/Pingbacks.h"

#include <string>

#include "app/Environment.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "platform/RidOdo/RidOdo.h"

namespace {

constexpr char kStartAction[] = "3";
constexpr char kExitAction[] = "14";

void SendPingback(const wchar_t* traceKey, const char* action) {
  const std::string installId = fnRidOdoDll()->GetUuid();
  WriteTrace(L"Tailcast:", traceKey, AnsiToWide(installId));
  CEnvironment& environment = CEnvironment::GetInstance();
  CPingbackPump& pump = CPingbackPump::GetInstance();
  pump.SetIsTailcast(1);
  LogParamInfo info(1, environment.IsLoggedIn(), action, -1, 0, 0, -1, environment.GetUserId(), "");
  info.uuid = installId;
  pump.SendASynLog(info);
}

}  // namespace

void SendStartPingback() { SendPingback(L"send start pingback e : ", kStartAction); }

void SendClosePingback() { SendPingback(L"send close pingback e : ", kExitAction); }
