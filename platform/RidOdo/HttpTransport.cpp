#include "platform/RidOdo/HttpTransport.h"

#include "common/ScopedInternet.h"
#include "common/TextConvert.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr DWORD kReadChunk = 16 * 1024;
constexpr size_t kLargestBody = 64u * 1024 * 1024;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;

void SetTimeouts(HINTERNET session, DWORD milliseconds) {
  for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    ::InternetSetOptionW(session, option, &milliseconds, sizeof milliseconds);
  }
}

std::string RawHeaders(HINTERNET request) {
  DWORD bytes = 0;
  ::HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &bytes, nullptr);
  if (bytes == 0) return {};
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (!::HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, text.data(), &bytes, nullptr)) return {};
  text.resize(bytes / sizeof(wchar_t));
  return WideToUtf8(text);
}

bool ReadBody(HINTERNET request, ULONGLONG deadline, std::vector<char>& body) {
  for (;;) {
    if (::GetTickCount64() > deadline) return false;
    const size_t used = body.size();
    if (used + kReadChunk > kLargestBody) return false;
    body.resize(used + kReadChunk);
    DWORD read = 0;
    const BOOL ok = ::InternetReadFile(request, body.data() + used, kReadChunk, &read);
    body.resize(used + (ok ? read : 0));
    if (!ok) return false;
    if (read == 0) return true;
  }
}

HttpAnswer Transfer(const HttpCall& call) {
  HttpAnswer answer;
  const DWORD timeout = call.timeoutMs;
  const ULONGLONG deadline = ::GetTickCount64() + timeout;
  ScopedInternet session(::InternetOpenW(L"RidOdo/1.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return answer;
  SetTimeouts(session.Get(), timeout);

  const std::wstring url = Utf8ToWide(call.url);
  const std::wstring headers = Utf8ToWide(call.headers);
  ScopedInternet request(::InternetOpenUrlW(session.Get(), url.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                            headers.empty() ? 0 : static_cast<DWORD>(headers.size()), kRequestFlags,
                                            0));
  if (!request) return answer;

  DWORD status = 0, length = sizeof status;
  if (!::HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr)) {
    return answer;
  }
  answer.status = status;
  answer.headers = RawHeaders(request.Get());
  answer.transferred = ReadBody(request.Get(), deadline, answer.body);
  if (!answer.transferred) answer.body.clear();
  return answer;
}

struct PendingTransfer {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  HttpAnswer answer;
};

}  // namespace

// The network stack does not bound a silent server by the receive time-out, so the
// transfer runs on a thread of its own and is abandoned (its answer dropped) when the
// time-out passes first.
HttpAnswer HttpGet(const HttpCall& call) {
  auto pending = std::make_shared<PendingTransfer>();
  std::thread([pending, call] {
    HttpAnswer answer = Transfer(call);
    std::lock_guard<std::mutex> lock(pending->mutex);
    pending->answer = std::move(answer);
    pending->done = true;
    pending->finished.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(pending->mutex);
  if (!pending->finished.wait_for(lock, std::chrono::milliseconds(call.timeoutMs), [&] { return pending->done; })) {
    return HttpAnswer();
  }
  return std::move(pending->answer);
}
