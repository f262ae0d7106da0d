#include "platform/RidOdo/UrlText.h"

namespace {

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~';
}

}  // namespace

std::string PercentEncode(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsUnreserved(c)) {
      encoded += ch;
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 0x0F];
    }
  }
  return encoded;
}

std::string AppendQuery(const std::string& url, std::string query) {
  while (!query.empty() && (query.front() == '?' || query.front() == '&')) query.erase(0, 1);
  if (query.empty()) return url;
  const bool hasQuery = url.find('?') != std::string::npos;
  const bool endsWithSeparator = !url.empty() && (url.back() == '?' || url.back() == '&');
  if (endsWithSeparator) return url + query;
  return url + (hasQuery ? "&" : "?") + query;
}
