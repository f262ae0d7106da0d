// Decoding of Action Message Format 0 values from the unread bytes of an IOBuffer.
// Windows-free.
#pragma once

#include <cstddef>

#include "sharedobject/IOBuffer.h"
#include "sharedobject/Variant.h"

// Bounds that keep hostile input from exhausting the stack or the memory.
struct AMF0Limits {
  // Objects and arrays nested deeper than this fail the value.
  size_t maxDepth = 256;
  // Upper bound of one decode's output: every value counts kValueCost, every text its bytes.
  size_t maxDecodedBytes = size_t{64} << 20;

  static constexpr size_t kValueCost = 64;
};

class AMF0Serializer {
public:
  AMF0Serializer() = default;
  explicit AMF0Serializer(const AMF0Limits& limits) : limits_(limits) {}

  // Decodes one marker-led value into `target` (which is reset first), advancing the cursor.
  // On failure the cursor stays where the fault was met and what was decoded stays in `target`.
  bool ReadValue(IOBuffer& buffer, Variant& target) const;
  // Decodes a short string (16-bit length) into `target`; with `withMarker` the string marker
  // must come first. Names and object keys come without the marker.
  bool ReadShortString(IOBuffer& buffer, Variant& target, bool withMarker) const;

private:
  AMF0Limits limits_;
};
