// Blocking HTTP GETs over WinINet, never answered from the cache. Each gives up when the
// whole transfer has not finished within `timeoutMs`, so that a server that never answers
// cannot hold up the caller's thread for good.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr unsigned kHttpFetchTimeoutMs = 30000;

// True when a 2xx answer came and more than 1024 body bytes were written to `filePath`
// (a shorter body stays in the file, but does not count as a picture).
bool HttpDownloadToFile(const std::wstring& url, const wchar_t* proxy, int accessType, int offset,
                        const std::wstring& filePath, unsigned timeoutMs = kHttpFetchTimeoutMs);

// True when a 2xx answer with a body came; `data` holds the whole body.
bool HttpGetToMemory(const std::wstring& url, const wchar_t* proxy, int accessType, int offset,
                     std::vector<uint8_t>& data, unsigned timeoutMs = kHttpFetchTimeoutMs);
