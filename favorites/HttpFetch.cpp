#include "favorites/HttpFetch.h"

#include "common/ScopedInternet.h"

namespace {

constexpr DWORD kReadChunk = 4096;
constexpr DWORD kMinimumPictureBytes = 1024;

struct OpenRequest {
  ScopedInternet internet;
  ScopedInternet request;
};

// Steps common to both GETs; false unless the answer is 2xx.
bool Open(const std::wstring& url, const wchar_t* proxy, int accessType, int offset, OpenRequest& open) {
  open.internet.Reset(::InternetOpenW(L"Proxy", static_cast<DWORD>(accessType), proxy, nullptr, 0));
  if (!open.internet) return false;
  const wchar_t headers[] = L"Accept: */*\r\n";
  open.request.Reset(::InternetOpenUrlW(open.internet.Get(), url.c_str(), headers, ARRAYSIZE(headers) - 1,
                                        INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE, 0));
  if (!open.request) return false;
  DWORD status = 0, length = sizeof status;
  if (!::HttpQueryInfoW(open.request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length,
                        nullptr)) {
    return false;
  }
  if (status < 200 || status > 299) return false;
  if (offset != 0) ::InternetSetFilePointer(open.request.Get(), offset, nullptr, FILE_BEGIN, 0);
  return true;
}

}  // namespace

bool HttpDownloadToFile(const std::wstring& url, const wchar_t* proxy, int accessType, int offset,
                        const std::wstring& filePath) {
  if (url.empty() || filePath.empty()) return false;
  OpenRequest open;
  if (!Open(url, proxy, accessType, offset, open)) return false;
  ScopedKernelHandle file(::CreateFileW(filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;

  char buffer[kReadChunk];
  DWORD read = 0;
  unsigned long long total = 0;
  while (::InternetReadFile(open.request.Get(), buffer, kReadChunk, &read) && read > 0) {
    DWORD written = 0;
    if (!::WriteFile(file.Get(), buffer, read, &written, nullptr) || written != read) return false;
    total += read;
  }
  ::FlushFileBuffers(file.Get());
  return total > kMinimumPictureBytes;
}

// The first availability figure only sizes the first read; the buffer grows with the
// body, so nothing is written past it and the caller gets every byte.
bool HttpGetToMemory(const std::wstring& url, const wchar_t* proxy, int accessType, int offset,
                     std::vector<uint8_t>& data) {
  data.clear();
  OpenRequest open;
  if (!Open(url, proxy, accessType, offset, open)) return false;
  DWORD available = 0;
  if (!::InternetQueryDataAvailable(open.request.Get(), &available, 0, 0) || available == 0) return false;

  std::vector<uint8_t> body;
  DWORD chunk = available;
  for (;;) {
    const size_t used = body.size();
    body.resize(used + chunk);
    DWORD read = 0;
    const BOOL ok = ::InternetReadFile(open.request.Get(), body.data() + used, chunk, &read);
    body.resize(used + (ok ? read : 0));
    if (!ok) return false;
    if (read == 0) break;
    chunk = kReadChunk;
  }
  data.swap(body);
  return true;
}
