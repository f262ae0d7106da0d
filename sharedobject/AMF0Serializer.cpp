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
      : buffer_(buffer), budget_(budget), limits_(budget.Limits()) {}

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

  IOBuffer& buffer_;
  AMFBudget& budget_;
  const AMFLimits& limits_;
  size_t depth_ = 0;
};

bool Decoder::ReadText(size_t length, Variant& target) {
  if (buffer_.Available() < length || !Charge(length)) {
    return false;
  }
  target.SetString(std::string(reinterpret_cast<const char*>(buffer_.Data()), length));
  return buffer_.Skip(length);
}

bool Decoder::Charge(size_t bytes) { return budget_.Charge(bytes); }

bool Decoder::TakeObjectEnd() {
  if (buffer_.Available() < sizeof kObjectEnd ||
      std::memcmp(buffer_.Data(), kObjectEnd, sizeof kObjectEnd) != 0) {
    return false;
  }
  return buffer_.Skip(sizeof kObjectEnd);
}

bool Decoder::ShortString(Variant& target, bool withMarker) {
  target.Reset();
  if (withMarker) {
    if (buffer_.Available() < 1 || buffer_.Data()[0] != kString) {
      return false;
    }
    buffer_.Skip(1);
  }
  uint16_t length = 0;
  return ReadU16(buffer_, length) && ReadText(length, target);
}

bool Decoder::Value(Variant& target) {
  target.Reset();
  if (buffer_.Available() < 1) {
    return false;
  }
  const uint8_t marker = buffer_.Data()[0];
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
  buffer_.Skip(1);
  if (!Charge(AMFLimits::kValueCost)) {
    return false;
  }

  switch (marker) {
    case kNumber: {
      double number = 0;
      if (!ReadDouble(buffer_, number)) {
        return false;
      }
      target.SetDouble(number);
      return true;
    }
    case kBoolean: {
      uint8_t flag = 0;
      if (!ReadByte(buffer_, flag)) {
        return false;
      }
      target.SetBool(flag == 0x01);
      return true;
    }
    case kString:
      return ShortString(target, false);
    case kLongString: {
      uint32_t length = 0;
      return ReadU32(buffer_, length) && ReadText(length, target);
    }
    case kNull:
    case kUndefined:
      return true;
    case kDate:
      return Date(target);
    case kSwitchToAmf3: {
      // One AMF3 value with reference tables of its own, within this decode's bounds.
      AMF3Serializer amf3(budget_, depth_);
      return amf3.ReadValue(buffer_, target);
    }
    default:
      return Nested(marker, target);
  }
}

bool Decoder::Nested(uint8_t marker, Variant& target) {
  // Every level costs a native stack frame; a bounded depth keeps deeply nested input from
  // exhausting the stack (and the recursive destruction of the result from doing so later).
  if (depth_ >= limits_.maxDepth) {
    return false;
  }
  ++depth_;
  bool decoded = false;
  if (marker == kObject) {
    decoded = Object(target);
  } else if (marker == kEcmaArray) {
    decoded = EcmaArray(target);
  } else {
    decoded = StrictArray(target);
  }
  --depth_;
  return decoded;
}

bool Decoder::Object(Variant& target) {
  target.MarkAsArray(false);
  if (buffer_.Available() < sizeof kObjectEnd) {
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
  if (!ReadU32(buffer_, count)) {
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
  if (buffer_.Available() < sizeof kObjectEnd) {
    return false;
  }
  return PairsUntilEnd(fields);
}

bool Decoder::StrictArray(Variant& target) {
  target.MarkAsArray(true);
  uint32_t count = 0;
  if (!ReadU32(buffer_, count)) {
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
  if (!ReadDouble(buffer_, milliseconds)) {
    return false;
  }
  // A time before 1970 cannot be held: it is kept as the epoch itself rather than failing.
  target.SetTimestamp(CalendarFromSeconds(SecondsFromMilliseconds(milliseconds)));
  // The time-zone field is skipped but must be there.
  return buffer_.Skip(2);
}

}  // namespace

bool AMF0Serializer::ReadValue(IOBuffer& buffer, Variant& target) const {
  AMFBudget own(limits_);
  Decoder decoder(buffer, shared_ ? *shared_ : own);
  return decoder.Value(target);
}

bool AMF0Serializer::ReadShortString(IOBuffer& buffer, Variant& target, bool withMarker) const {
  AMFBudget own(limits_);
  Decoder decoder(buffer, shared_ ? *shared_ : own);
  return decoder.ShortString(target, withMarker);
}
