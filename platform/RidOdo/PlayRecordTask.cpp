#include "platform/RidOdo/PlayRecordTask.h"

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

void Query(IPlayRecordHandler* handler, const std::string& cookie, int count) {
  HttpCall call;
  call.url = AppendQuery(ServiceUrl(service_address::kPlayHistoryUrl), "limit=" + std::to_string(count));
  call.headers = std::string("Cookie: ") + kCookieName + "=" + PercentEncode(cookie) + "\r\n";
  call.timeoutMs = CPlayRecordTask::kTimeoutMs;
  const HttpAnswer answer = HttpGet(call);
  const int status = static_cast<int>(answer.status);

  std::vector<PlayRecord> records;
  if (!answer.Succeeded()) {
    handler->OnPlayRecordResult(kPlayRecordFailed, status, records);
    return;
  }
  std::vector<PlayRecordText> texts;
  const std::string body(answer.body.begin(), answer.body.end());
  const size_t limit = count > 0 ? static_cast<size_t>(count) : 0;
  switch (ParsePlayRecordAnswer(body, limit, texts)) {
    case PlayRecordAnswerStatus::Records:
      for (const PlayRecordText& text : texts) records.push_back(ToWide(text));
      handler->OnPlayRecordResult(kPlayRecordOk, status, records);
      return;
    case PlayRecordAnswerStatus::NotLoggedIn:
      handler->OnPlayRecordResult(kPlayRecordNotLoggedIn, status, records);
      return;
    case PlayRecordAnswerStatus::Unreadable:
      handler->OnPlayRecordResult(kPlayRecordFailed, status, records);
      return;
  }
}

}  // namespace

bool CPlayRecordTask::QueryRecords(IPlayRecordHandler* handler, const std::wstring& cookie, int count) {
  if (!handler) return false;
  const std::string cookieText = WideToUtf8(cookie);
  CRequestPool::Instance().Post([handler, cookieText, count] { Query(handler, cookieText, count); });
  return true;
}
