#include "follow/CatalogueParse.h"

#include <google/protobuf/stubs/logging.h>

#include <climits>
#include <cstdlib>

namespace {

// The runtime's whole-buffer parse: it fails unless it consumes the whole answer and every
// required field is set. Its own complaint is silenced; callers report failures their way.
template <typename Message>
bool ParseWhole(const std::string& body, Message& out) {
  try {
    const google::protobuf::LogSilencer quiet;
    Message parsed;
    if (!parsed.ParseFromString(body)) return false;
    out.Swap(&parsed);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

bool ParseBigAlbum(const std::string& body, VRSProto1::BigAlbum& out) { return ParseWhole(body, out); }

bool ParseLatestVideo(const std::string& body, VRSProto1::LatestVideo& out) { return ParseWhole(body, out); }

int TvYearOf(const std::string& tvYear) {
  const long value = std::strtol(tvYear.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}
