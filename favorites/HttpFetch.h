// Blocking HTTP GETs over WinINet, never answered from the cache.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when a 2xx answer came and more than 1024 body bytes were written to `filePath`
// (a shorter body stays in the file, but does not count as a picture).
bool HttpDownloadToFile(const std::wstring& url, const wchar_t* proxy, int accessType, int offset,
                        const std::wstring& filePath);

// True when a 2xx answer with a body came; `data` holds the whole body.
bool HttpGetToMemory(const std::wstring& url, const wchar_t* proxy, int accessType, int offset,
                     std::vector<uint8_t>& data);
