#include "common/ServiceAddress.h"

#include <cstdlib>

namespace {

constexpr char kSchemeEnd[] = "://";

// Position just past "scheme://host[:port]", or npos when `url` has no scheme.
size_t AuthorityEnd(const std::string& url) {
  const size_t scheme = url.find(kSchemeEnd);
  if (scheme == std::string::npos || scheme == 0) return std::string::npos;
  const size_t hostStart = scheme + sizeof kSchemeEnd - 1;
  const size_t end = url.find_first_of("/?#", hostStart);
  return end == std::string::npos ? url.size() : end;
}

bool IsUsableOrigin(const std::string& origin, size_t authorityEnd) {
  if (authorityEnd == std::string::npos) return false;
  const size_t hostStart = origin.find(kSchemeEnd) + sizeof kSchemeEnd - 1;
  if (authorityEnd == hostStart) return false;  // no host
  for (size_t i = 0; i < authorityEnd; ++i) {
    const unsigned char c = static_cast<unsigned char>(origin[i]);
    if (c <= ' ' || c >= 0x7F) return false;
  }
  return true;
}

}  // namespace

std::string ReplaceServiceOrigin(const std::string& url, const std::string& origin) {
  const size_t originEnd = AuthorityEnd(origin);
  const size_t urlEnd = AuthorityEnd(url);
  if (!IsUsableOrigin(origin, originEnd) || urlEnd == std::string::npos) return url;
  return origin.substr(0, originEnd) + url.substr(urlEnd);
}

std::string ServiceUrl(const std::string& url) {
  const char* origin = std::getenv(service_address::kOverrideVariable);
  if (!origin || !*origin) return url;
  return ReplaceServiceOrigin(url, origin);
}
