// Decoding of Action Message Format 0 values from the unread bytes of an IOBuffer.
// Windows-free.
#pragma once

#include <cstddef>

#include "sharedobject/AMFLimits.h"
#include "sharedobject/IOBuffer.h"
#include "sharedobject/Variant.h"

class AMF0Serializer {
public:
  AMF0Serializer() = default;
  // Each decode gets its own budget under these limits.
  explicit AMF0Serializer(const AMFLimits& limits) : m_limits(limits) {}
  // Every decode charges `shared`, which outlives the serializer (a whole file's entries).
  explicit AMF0Serializer(AMFBudget& shared) : m_limits(shared.Limits()), m_shared(&shared) {}

  // Decodes one marker-led value into `target` (which is reset first), advancing the cursor.
  // On failure the cursor stays where the fault was met and what was decoded stays in `target`.
  bool ReadValue(IOBuffer& buffer, Variant& target) const;
  // Decodes a short string (16-bit length) into `target`; with `withMarker` the string marker
  // must come first. Names and object keys come without the marker.
  bool ReadShortString(IOBuffer& buffer, Variant& target, bool withMarker) const;

private:
  AMFLimits m_limits;
  AMFBudget* m_shared = nullptr;
};
