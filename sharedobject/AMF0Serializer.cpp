#include "sharedobject/AMF0Serializer.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "sharedobject/AMF3Serializer.h"
#include "sharedobject/AMFTime.h"
#include "sharedobject/BigEndianRead.h"
#include "sharedobject/MapBuilder.h"

namespace {

enum Marker : uint8_t {
  kNumber = 0x00,
  kBoolean = 0x01,
  kString = 0x02,
  kObject = 0x03,
  kNull = 0x05,
  kUndefined = 0x06,
  kEcmaArray = 0x08,
  kStrictArray = 0x0A,
  kDate = 0x0B,
  kLongString = 0x0C,
  kSwitchToAmf3 = 0x11,
};

constexpr uint8_t kObjectEnd[3] = {0x00, 0x00, 0x09};

// An ECMA array key such as "12" names a position; "012", "+1" and "" do not, since printing
// the number back does not give the key.
bool DecimalPosition(const std::string& key, uint32_t& position) {
  if (key.empty() || key.size() > 11) {
    return false;
  }
  char* end = nullptr;
  const long long value = std::strtoll(key.c_str(), &end, 10);
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  char text[12];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  if (key != text) {
    return false;
  }
  position = static_cast<uint32_t>(static_cast<int32_t>(value));
  return true;
}

// One decode: the cursor reads that cannot overrun, the nesting depth and the output charged
// so far. Every read checks what is available; a failure makes the enclosing values fail.
class Decoder {
public:
  Decoder(IOBuffer& buffer, AMFBudget& budget)
      : m_buffer(buffer), m_budget(budget), m_limits(budget.Limits()) {}

  bool Value(Variant& target);
  bool ShortString(Variant& target, bool withMarker);

private:
  // Checks the length against the available bytes before anything is allocated.
  bool ReadText(size_t length, Variant& target);
  bool Charge(size_t bytes);
  // Consumes the object end bytes when they come next.
  bool TakeObjectEnd();

  bool Nested(uint8_t marker, Variant& target);
  bool Object(Variant& target);
  bool EcmaArray(Variant& target);
  bool StrictArray(Variant& target);
  bool PairsUntilEnd(MapBuilder& fields);
  bool Date(Variant& target);

  IOBuffer& m_buffer;
  AMFBudget& m_budget;
  const AMFLimits& m_limits;
  size_t m_depth = 0;
};

bool Decoder::ReadText(size_t length, Variant& target) {
  if (m_buffer.Available() < length || !Charge(length)) {
    return false;
  }
  target.SetString(std::string(reinterpret_cast<const char*>(m_buffer.Data()), length));
  return m_buffer.Skip(length);
}

bool Decoder::Charge(size_t bytes) { return m_budget.Charge(bytes); }

bool Decoder::TakeObjectEnd() {
  if (m_buffer.Available() < sizeof kObjectEnd ||
      std::memcmp(m_buffer.Data(), kObjectEnd, sizeof kObjectEnd) != 0) {
    return false;
  }
  return m_buffer.Skip(sizeof kObjectEnd);
}

bool Decoder::ShortString(Variant& target, bool withMarker) {
  target.Reset();
  if (withMarker) {
    if (m_buffer.Available() < 1 || m_buffer.Data()[0] != kString) {
      return false;
    }
    m_buffer.Skip(1);
  }
  uint16_t length = 0;
  return ReadU16(m_buffer, length) && ReadText(length, target);
}

bool Decoder::Value(Variant& target) {
  target.Reset();
  if (m_buffer.Available() < 1) {
    return false;
  }
  const uint8_t marker = m_buffer.Data()[0];
  switch (marker) {
    case kNumber:
    case kBoolean:
    case kString:
    case kObject:
    case kNull:
    case kUndefined:
    case kEcmaArray:
    case kStrictArray:
    case kDate:
    case kLongString:
    case kSwitchToAmf3:
      break;
    default:
      // Unsupported markers (references, typed objects, an object end out of place, ...) fail
      // without being consumed.
      return false;
  }
  m_buffer.Skip(1);
  if (!Charge(AMFLimits::kValueCost)) {
    return false;
  }

  switch (marker) {
    case kNumber: {
      double number = 0;
      if (!ReadDouble(m_buffer, number)) {
        return false;
      }
      target.SetDouble(number);
      return true;
    }
    case kBoolean: {
      uint8_t flag = 0;
      if (!ReadByte(m_buffer, flag)) {
        return false;
      }
      target.SetBool(flag == 0x01);
      return true;
    }
    case kString:
      return ShortString(target, false);
    case kLongString: {
      uint32_t length = 0;
      return ReadU32(m_buffer, length) && ReadText(length, target);
    }
    case kNull:
    case kUndefined:
      return true;
    case kDate:
      return Date(target);
    case kSwitchToAmf3: {
      // One AMF3 value with reference tables of its own, within this decode's bounds.
      AMF3Serializer amf3(m_budget, m_depth);
      return amf3.ReadValue(m_buffer, target);
    }
    default:
      return Nested(marker, target);
  }
}

bool Decoder::Nested(uint8_t marker, Variant& target) {
  // Every level costs a native stack frame; a bounded depth keeps deeply nested input from
  // exhausting the stack (and the recursive destruction of the result from doing so later).
  if (m_depth >= m_limits.maxDepth) {
    return false;
  }
  ++m_depth;
  bool decoded = false;
  if (marker == kObject) {
    decoded = Object(target);
  } else if (marker == kEcmaArray) {
    decoded = EcmaArray(target);
  } else {
    decoded = StrictArray(target);
  }
  --m_depth;
  return decoded;
}

bool Decoder::Object(Variant& target) {
  target.MarkAsArray(false);
  if (m_buffer.Available() < sizeof kObjectEnd) {
    return false;
  }
  MapBuilder fields(target);
  return PairsUntilEnd(fields);
}

bool Decoder::PairsUntilEnd(MapBuilder& fields) {
  // Bounded by the data: every pair consumes at least three bytes.
  while (!TakeObjectEnd()) {
    Variant key;
    if (!ShortString(key, false) || !Value(fields.Add(key.StoredBytes()))) {
      return false;
    }
  }
  return true;
}

bool Decoder::EcmaArray(Variant& target) {
  target.MarkAsArray(true);
  uint32_t count = 0;
  if (!ReadU32(m_buffer, count)) {
    return false;
  }
  // The count is not trusted for any allocation; running out of data ends the loop.
  MapBuilder fields(target);
  for (uint32_t i = 0; i < count; ++i) {
    Variant key;
    if (!ShortString(key, false)) {
      return false;
    }
    uint32_t position = 0;
    const std::string& text = key.StoredBytes();
    Variant& child = DecimalPosition(text, position) ? fields.Add(position) : fields.Add(text);
    if (!Value(child)) {
      return false;
    }
  }
  if (m_buffer.Available() < sizeof kObjectEnd) {
    return false;
  }
  return PairsUntilEnd(fields);
}

bool Decoder::StrictArray(Variant& target) {
  target.MarkAsArray(true);
  uint32_t count = 0;
  if (!ReadU32(m_buffer, count)) {
    return false;
  }
  MapBuilder elements(target);
  for (uint32_t i = 0; i < count; ++i) {
    if (!Value(elements.Add(i))) {
      return false;
    }
  }
  return true;
}

bool Decoder::Date(Variant& target) {
  double milliseconds = 0;
  if (!ReadDouble(m_buffer, milliseconds)) {
    return false;
  }
  // A time before 1970 cannot be held: it is kept as the epoch itself rather than failing.
  target.SetTimestamp(CalendarFromSeconds(SecondsFromMilliseconds(milliseconds)));
  // The time-zone field is skipped but must be there.
  return m_buffer.Skip(2);
}

}  // namespace

bool AMF0Serializer::ReadValue(IOBuffer& buffer, Variant& target) const {
  AMFBudget own(m_limits);
  Decoder decoder(buffer, m_shared ? *m_shared : own);
  return decoder.Value(target);
}

bool AMF0Serializer::ReadShortString(IOBuffer& buffer, Variant& target, bool withMarker) const {
  AMFBudget own(m_limits);
  Decoder decoder(buffer, m_shared ? *m_shared : own);
  return decoder.ShortString(target, withMarker);
}
