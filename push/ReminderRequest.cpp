#include "push/ReminderRequest.h"

#include "common/ServiceAddress.h"
#include "common/TextConvert.h"

CResourceRequest FeedRequest(const ReminderContext& context) {
  CResourceRequest request;
  const std::string origin = service_address::kReminderOrigin;
  if (context.login.loggedIn) {
    request.url = ServiceUrl(origin + kSignedInReminderPath);
    request.requestData = "auth=" + context.login.cookie;
  } else {
    request.url = ServiceUrl(origin + kAnonymousReminderPath);
    request.requestData = "&ckuid=" + context.machineId;
  }
  request.timeoutMs = 0;
  return request;
}

std::wstring ReminderUserKey(const ReminderContext& context) {
  return AnsiToWide(context.login.loggedIn ? context.login.userId : context.machineId);
}
