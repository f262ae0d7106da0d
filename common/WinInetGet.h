// One blocking HTTP GET over WinINet, never answered from the cache and bounded by a
// time-out over the whole exchange: open it, read the status and headers, then let the
// body flow into a sink. Its handles are listed among the program's open ones, so once the
// network is abandoned (common/OpenInternetHandles.h) a GET fails at once.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/ScopedInternet.h"

struct WebGetOptions {
  static constexpr unsigned kDefaultTimeoutMs = 30000;

  std::wstring url;
  std::wstring headers;  // extra request headers, each ending in "\r\n"
  std::wstring agent = L"VXTailcast";
  DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG;
  std::wstring proxy;     // with INTERNET_OPEN_TYPE_PROXY
  unsigned timeoutMs = kDefaultTimeoutMs;  // 0: the default
  uint64_t maxBodyBytes = 64u * 1024 * 1024;
  LONG startOffset = 0;  // where reading begins, when the answer allows it
};

// Where a body goes, chunk by chunk; false stops the transfer.
class IBodySink {
public:
  virtual bool Write(const char* bytes, size_t count) = 0;

protected:
  ~IBodySink() = default;
};

class CMemoryBodySink : public IBodySink {
public:
  bool Write(const char* bytes, size_t count) override;
  const std::vector<char>& Bytes() const { return m_bytes; }
  std::vector<char> Take() { return std::move(m_bytes); }

private:
  std::vector<char> m_bytes;
};

class CFileBodySink : public IBodySink {
public:
  explicit CFileBodySink(HANDLE file) : m_file(file) {}
  bool Write(const char* bytes, size_t count) override;
  uint64_t Written() const { return m_written; }

private:
  HANDLE m_file;
  uint64_t m_written = 0;
};

class CWinInetGet {
public:
  explicit CWinInetGet(WebGetOptions options);
  CWinInetGet(const CWinInetGet&) = delete;
  CWinInetGet& operator=(const CWinInetGet&) = delete;

  // Sends the request and waits for the status and headers; false when none came in time.
  bool Open();
  unsigned Status() const { return m_status; }
  bool IsSuccess() const { return m_status >= 200 && m_status <= 299; }
  std::wstring RawHeaders() const;
  // The whole body into the sink; false when it failed, came late or grew past the bound.
  bool ReadBody(IBodySink& sink);

private:
  bool Connect();
  bool WaitForData(DWORD& available);
  unsigned RemainingMs() const;

  WebGetOptions m_options;
  ULONGLONG m_deadline;
  ListedInternet m_internet;
  ListedInternet m_connection;
  ListedInternet m_request;
  unsigned m_status = 0;
};
