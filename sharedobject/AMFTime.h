// The time of an AMF date: milliseconds since 1970-01-01 00:00:00 UTC as a double.
// Windows-free.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Whole seconds, truncated toward zero. NaN gives 0 and values beyond 64 bits saturate, so no
// input makes the conversion undefined.
inline int64_t SecondsFromMilliseconds(double milliseconds) {
  const double seconds = std::trunc(milliseconds / 1000.0);
  if (std::isnan(seconds)) {
    return 0;
  }
  if (seconds <= -9.2e18) {
    return std::numeric_limits<int64_t>::min();
  }
  if (seconds >= 9.2e18) {
    return std::numeric_limits<int64_t>::max();
  }
  return static_cast<int64_t>(seconds);
}
