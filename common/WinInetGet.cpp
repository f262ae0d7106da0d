#include "common/WinInetGet.h"

#include <algorithm>

namespace {

constexpr DWORD kReadChunk = 16 * 1024;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;

struct UrlParts {
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring object;  // path and query
  bool secure = false;
};

bool SplitUrl(const std::wstring& url, UrlParts& parts) {
  URL_COMPONENTSW components = {};
  components.dwStructSize = sizeof components;
  components.dwHostNameLength = 1;
  components.dwUrlPathLength = 1;
  components.dwExtraInfoLength = 1;
  if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &components)) return false;
  if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS) return false;
  if (components.dwHostNameLength == 0) return false;
  parts.host.assign(components.lpszHostName, components.dwHostNameLength);
  parts.port = components.nPort;
  parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
  parts.object.assign(components.lpszUrlPath ? components.lpszUrlPath : L"", components.dwUrlPathLength);
  if (components.lpszExtraInfo) parts.object.append(components.lpszExtraInfo, components.dwExtraInfoLength);
  if (parts.object.empty()) parts.object = L"/";
  return true;
}

// Set on the connection and again on the request: a value given only to the handle of
// InternetOpen does not reach the socket under Wine, where a silent server then holds the
// call as long as it likes.
void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
  for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                             INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    ::InternetSetOptionW(handle, option, &milliseconds, sizeof milliseconds);
  }
}

}  // namespace

bool CMemoryBodySink::Write(const char* bytes, size_t count) {
  m_bytes.insert(m_bytes.end(), bytes, bytes + count);
  return true;
}

bool CFileBodySink::Write(const char* bytes, size_t count) {
  DWORD written = 0;
  if (!::WriteFile(m_file, bytes, static_cast<DWORD>(count), &written, nullptr) || written != count) return false;
  m_written += written;
  return true;
}

CWinInetGet::CWinInetGet(WebGetOptions options) : m_options(std::move(options)) {
  if (m_options.timeoutMs == 0) m_options.timeoutMs = WebGetOptions::kDefaultTimeoutMs;
  m_deadline = ::GetTickCount64() + m_options.timeoutMs;
}

unsigned CWinInetGet::RemainingMs() const {
  const ULONGLONG now = ::GetTickCount64();
  return now >= m_deadline ? 0 : static_cast<unsigned>(m_deadline - now);
}

bool CWinInetGet::Connect() {
  UrlParts parts;
  if (!SplitUrl(m_options.url, parts)) return false;
  const wchar_t* proxy = m_options.proxy.empty() ? nullptr : m_options.proxy.c_str();
  m_internet.Reset(
      ListInternetHandle(::InternetOpenW(m_options.agent.c_str(), m_options.accessType, proxy, nullptr, 0)));
  if (!m_internet) return false;
  m_connection.Reset(ListInternetHandle(::InternetConnectW(m_internet.Get(), parts.host.c_str(), parts.port, nullptr,
                                                           nullptr, INTERNET_SERVICE_HTTP, 0, 0)));
  if (!m_connection) return false;
  SetTimeouts(m_connection.Get(), m_options.timeoutMs);
  const wchar_t* acceptTypes[] = {L"*/*", nullptr};
  const DWORD flags = kRequestFlags | (parts.secure ? INTERNET_FLAG_SECURE : 0);
  m_request.Reset(ListInternetHandle(::HttpOpenRequestW(m_connection.Get(), L"GET", parts.object.c_str(), nullptr,
                                                        nullptr, acceptTypes, flags, 0)));
  if (!m_request) return false;
  SetTimeouts(m_request.Get(), m_options.timeoutMs);
  return true;
}

bool CWinInetGet::Open() {
  if (!Connect()) return false;
  const std::wstring& headers = m_options.headers;
  if (!::HttpSendRequestW(m_request.Get(), headers.empty() ? nullptr : headers.c_str(),
                          static_cast<DWORD>(headers.size()), nullptr, 0)) {
    return false;
  }
  DWORD status = 0, length = sizeof status;
  if (!::HttpQueryInfoW(m_request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr)) {
    return false;
  }
  if (RemainingMs() == 0) return false;
  m_status = status;
  if (m_options.startOffset != 0) {
    ::InternetSetFilePointer(m_request.Get(), m_options.startOffset, nullptr, FILE_BEGIN, 0);
  }
  return true;
}

std::wstring CWinInetGet::RawHeaders() const {
  if (!m_request) return {};
  DWORD bytes = 0;
  ::HttpQueryInfoW(m_request.Get(), HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &bytes, nullptr);
  if (bytes == 0) return {};
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (!::HttpQueryInfoW(m_request.Get(), HTTP_QUERY_RAW_HEADERS_CRLF, text.data(), &bytes, nullptr)) return {};
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

// Windows takes the remaining time for the next wait; Wine keeps the time-out the
// connection started with, so there a stall can cost one time-out past the deadline.
bool CWinInetGet::WaitForData(DWORD& available) {
  DWORD remaining = RemainingMs();
  if (remaining == 0) return false;
  ::InternetSetOptionW(m_request.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &remaining, sizeof remaining);
  return ::InternetQueryDataAvailable(m_request.Get(), &available, 0, 0) != FALSE;
}

// Reads no more than is available, since a read of a larger buffer waits until it is full.
bool CWinInetGet::ReadBody(IBodySink& sink) {
  if (!m_request || m_status == 0) return false;
  std::vector<char> chunk(kReadChunk);
  uint64_t total = 0;
  for (;;) {
    DWORD available = 0;
    if (!WaitForData(available)) return false;
    if (available == 0) return true;
    DWORD read = 0;
    if (!::InternetReadFile(m_request.Get(), chunk.data(), std::min(available, kReadChunk), &read)) return false;
    if (read == 0) return true;
    total += read;
    if (total > m_options.maxBodyBytes) return false;
    if (!sink.Write(chunk.data(), read)) return false;
  }
}
