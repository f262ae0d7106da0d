#include "favorites/HttpFetch.h"

#include "common/ScopedWin.h"
#include "common/WinInetGet.h"

namespace {

constexpr uint64_t kMinimumPictureBytes = 1024;

WebGetOptions FetchOptions(const std::wstring& url, const wchar_t* proxy, int accessType, int offset,
                           unsigned timeoutMs) {
  WebGetOptions options;
  options.url = url;
  options.agent = L"Proxy";
  options.accessType = static_cast<DWORD>(accessType);
  options.proxy = proxy ? proxy : L"";
  options.timeoutMs = timeoutMs;
  options.startOffset = offset;
  return options;
}

}  // namespace

bool HttpDownloadToFile(const std::wstring& url, const wchar_t* proxy, int accessType, int offset,
                        const std::wstring& filePath, unsigned timeoutMs) {
  if (url.empty() || filePath.empty()) return false;
  CWinInetGet get(FetchOptions(url, proxy, accessType, offset, timeoutMs));
  if (!get.Open() || !get.IsSuccess()) return false;
  ScopedKernelHandle file(::CreateFileW(filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  CFileBodySink sink(file.Get());
  const bool whole = get.ReadBody(sink);
  ::FlushFileBuffers(file.Get());
  return whole && sink.Written() > kMinimumPictureBytes;
}

bool HttpGetToMemory(const std::wstring& url, const wchar_t* proxy, int accessType, int offset,
                     std::vector<uint8_t>& data, unsigned timeoutMs) {
  data.clear();
  if (url.empty()) return false;
  CWinInetGet get(FetchOptions(url, proxy, accessType, offset, timeoutMs));
  if (!get.Open() || !get.IsSuccess()) return false;
  CMemoryBodySink sink;
  if (!get.ReadBody(sink) || sink.Bytes().empty()) return false;
  data.assign(sink.Bytes().begin(), sink.Bytes().end());
  return true;
}
