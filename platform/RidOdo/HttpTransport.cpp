#include "platform/RidOdo/HttpTransport.h"

#include "common/TextConvert.h"
#include "common/WinInetGet.h"

namespace {

constexpr uint64_t kLargestBody = 64u * 1024 * 1024;

}  // namespace

HttpAnswer HttpGet(const HttpCall& call) {
  WebGetOptions options;
  options.url = Utf8ToWide(call.url);
  options.headers = Utf8ToWide(call.headers);
  options.agent = L"RidOdo/1.0";
  options.timeoutMs = call.timeoutMs;
  options.maxBodyBytes = kLargestBody;

  HttpAnswer answer;
  CWinInetGet get(std::move(options));
  if (!get.Open()) return answer;
  answer.status = get.Status();
  answer.headers = WideToUtf8(get.RawHeaders());
  CMemoryBodySink body;
  answer.transferred = get.ReadBody(body);
  if (answer.transferred) answer.body = body.Take();
  return answer;
}
