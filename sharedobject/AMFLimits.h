// Bounds that keep hostile input from exhausting the stack or the memory. Shared by both AMF
// decoders, so that a value switched from AMF0 to AMF3 stays within the same bounds.
// Windows-free.
#pragma once

#include <cstddef>

struct AMFLimits {
  // Objects and arrays nested deeper than this fail the value; for AMF3 this also bounds the
  // height of the trees that references copy in.
  size_t maxDepth = 256;
  // Upper bound of a decoder's output as a caller sees it: every value counts kValueCost, every
  // text its bytes (the keys and class names read too), and every reference the whole of what
  // it names (which it only shares), so that a few bytes of references cannot stand for a huge
  // tree.
  size_t maxDecodedBytes = size_t{64} << 20;

  static constexpr size_t kValueCost = 64;
};

// What a decoder (or a whole file's decoders) has produced so far, against the limits.
class AMFBudget {
public:
  AMFBudget() = default;
  explicit AMFBudget(const AMFLimits& limits) : m_limits(limits) {}

  // Counts `bytes` more output; false (and nothing counted) when that would pass the bound.
  bool Charge(size_t bytes) {
    if (bytes > m_limits.maxDecodedBytes - m_charged) {
      return false;
    }
    m_charged += bytes;
    return true;
  }

  const AMFLimits& Limits() const { return m_limits; }
  size_t Charged() const { return m_charged; }

private:
  AMFLimits m_limits;
  size_t m_charged = 0;
};
