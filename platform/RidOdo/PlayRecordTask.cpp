#include "platform/RidOdo/PlayRecordTask.h"

#include "common/OpenInternetHandles.h"
#include "common/ServiceAddress.h"
#include "common/TextConvert.h"
#include "platform/RidOdo/HttpTransport.h"
#include "platform/RidOdo/PlayRecordAnswer.h"
#include "platform/RidOdo/RequestPool.h"
#include "platform/RidOdo/UrlText.h"

namespace {

constexpr char kCookieName[] = "vxauth";

PlayRecord ToWide(const PlayRecordText& text) {
  return PlayRecord{Utf8ToWide(text.albumId), Utf8ToWide(text.tvId), Utf8ToWide(text.videoUrl)};
}

struct PlayRecordResult {
  int code = kPlayRecordFailed;
  int status = 0;
  std::vector<PlayRecord> records;
};

PlayRecordResult Ask(const std::string& cookie, int count) {
  HttpCall call;
  call.url = AppendQuery(ServiceUrl(service_address::kPlayHistoryUrl), "limit=" + std::to_string(count));
  call.headers = std::string("Cookie: ") + kCookieName + "=" + PercentEncode(cookie) + "\r\n";
  call.timeoutMs = CPlayRecordTask::kTimeoutMs;
  const HttpAnswer answer = HttpGet(call);
  PlayRecordResult result;
  result.status = static_cast<int>(answer.status);
  if (!answer.Succeeded()) return result;

  std::vector<PlayRecordText> texts;
  const std::string body(answer.body.begin(), answer.body.end());
  const size_t limit = count > 0 ? static_cast<size_t>(count) : 0;
  switch (ParsePlayRecordAnswer(body, limit, texts)) {
    case PlayRecordAnswerStatus::Records:
      result.code = kPlayRecordOk;
      for (const PlayRecordText& text : texts) result.records.push_back(ToWide(text));
      break;
    case PlayRecordAnswerStatus::NotLoggedIn:
      result.code = kPlayRecordNotLoggedIn;
      break;
    case PlayRecordAnswerStatus::Unreadable:
      break;
  }
  return result;
}

// Nothing is reported once the network is abandoned: the program is ending.
void Query(IPlayRecordHandler* handler, const std::string& cookie, int count) {
  const PlayRecordResult result = Ask(cookie, count);
  if (IsNetworkAbandoned()) return;
  handler->OnPlayRecordResult(result.code, result.status, result.records);
}

}  // namespace

bool CPlayRecordTask::QueryRecords(IPlayRecordHandler* handler, const std::wstring& cookie, int count) {
  if (!handler) return false;
  const std::string cookieText = WideToUtf8(cookie);
  CRequestPool::GetInstance().Post(MakeTask([handler, cookieText, count] { Query(handler, cookieText, count); }));
  return true;
}
