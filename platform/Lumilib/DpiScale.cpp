#include "platform/Lumilib/DpiScale.h"

#include <climits>
#include <cstdint>

namespace Lumi {

unsigned ClampDpi(unsigned dpi) {
  if (dpi < kDesignDpi) return kDesignDpi;
  return dpi > kMaxDpi ? kMaxDpi : dpi;
}

int ScaleByDpi(int value, unsigned dpi) {
  const int64_t product = static_cast<int64_t>(value) * dpi;
  const int64_t half = kDesignDpi / 2;
  // Division truncates toward zero, so adding half the divisor away from zero rounds half away.
  const int64_t scaled = (product + (product < 0 ? -half : half)) / static_cast<int64_t>(kDesignDpi);
  if (scaled > INT_MAX) return INT_MAX;
  if (scaled < INT_MIN) return INT_MIN;
  return static_cast<int>(scaled);
}

bool WantsDoubleArt(unsigned dpi) { return dpi > kDesignDpi * 5 / 4; }

std::wstring DoubleArtPath(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  const size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
  const size_t dot = path.rfind(L'.');
  // A dot in a folder's name, or leading the file's, starts no extension.
  const size_t insertAt = dot == std::wstring::npos || dot <= nameStart ? path.size() : dot;
  return path.substr(0, insertAt) + L"@2x" + path.substr(insertAt);
}

}  // namespace Lumi
