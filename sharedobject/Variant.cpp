#include "sharedobject/Variant.h"

#include <cinttypes>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kFirstSecond = -62135596800;  // 0001-01-01T00:00:00
constexpr int64_t kLastSecond = 253402300799;   // 9999-12-31T23:59:59

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = FloorDiv(year, 400);
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// Saturating conversion: NaN gives 0, values beyond the range give its ends.
template <typename Int>
Int SaturateDouble(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  if (value <= static_cast<double>(std::numeric_limits<Int>::min())) {
    return std::numeric_limits<Int>::min();
  }
  if (value >= static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::numeric_limits<Int>::max();
  }
  return static_cast<Int>(value);
}

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<size_t>(length));
  }
  va_end(args);
  return text;
}

const Variant::Children& EmptyChildren() {
  static const Variant::Children empty;
  return empty;
}

const std::string& EmptyText() {
  static const std::string empty;
  return empty;
}

}  // namespace

int64_t SecondsFromCalendar(const std::tm& time) {
  // Months carry into years first, so that tm_mon = 13 is February of the next year.
  int64_t year = int64_t{time.tm_year} + 1900;
  int64_t month = time.tm_mon;
  year += FloorDiv(month, 12);
  month -= FloorDiv(month, 12) * 12;
  const int64_t days = DaysFromCivil(year, month + 1, 1) + (int64_t{time.tm_mday} - 1);
  return days * kSecondsPerDay + int64_t{time.tm_hour} * 3600 + int64_t{time.tm_min} * 60 +
         time.tm_sec;
}

std::tm CalendarFromSeconds(int64_t seconds) {
  if (seconds < kFirstSecond) {
    seconds = kFirstSecond;
  } else if (seconds > kLastSecond) {
    seconds = kLastSecond;
  }
  const int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const int64_t secondOfDay = seconds - days * kSecondsPerDay;

  const int64_t shifted = days + 719468;
  const int64_t era = FloorDiv(shifted, 146097);
  const int64_t dayOfEra = shifted - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYearMarch = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthPosition = (5 * dayOfYearMarch + 2) / 153;
  const int64_t day = dayOfYearMarch - (153 * monthPosition + 2) / 5 + 1;
  const int64_t month = monthPosition < 10 ? monthPosition + 3 : monthPosition - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

  std::tm result{};
  result.tm_year = static_cast<int>(year - 1900);
  result.tm_mon = static_cast<int>(month - 1);
  result.tm_mday = static_cast<int>(day);
  result.tm_hour = static_cast<int>(secondOfDay / 3600);
  result.tm_min = static_cast<int>(secondOfDay / 60 % 60);
  result.tm_sec = static_cast<int>(secondOfDay % 60);
  result.tm_wday = static_cast<int>(days + 4 - FloorDiv(days + 4, 7) * 7);  // 1970-01-01 was a Thursday
  result.tm_yday = static_cast<int>(days - DaysFromCivil(year, 1, 1));
  result.tm_isdst = 0;
  return result;
}

Variant::Variant() = default;
Variant::Variant(const Variant& other) = default;

Variant::Variant(Variant&& other) noexcept
    : kind_(other.kind_), scalar_(other.scalar_), payload_(std::move(other.payload_)) {
  other.Reset();
}

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    // `other` may be one of our own children: take it over before dropping our payload.
    Variant taken;
    taken.kind_ = other.kind_;
    taken.scalar_ = other.scalar_;
    taken.payload_ = std::move(other.payload_);
    other.Reset();
    kind_ = taken.kind_;
    scalar_ = taken.scalar_;
    payload_ = std::move(taken.payload_);
  }
  return *this;
}

Variant::~Variant() = default;

void Variant::Reset() {
  kind_ = Kind::Null;
  scalar_.unsignedValue = 0;
  payload_.reset();
}

void Variant::SetUndefined() {
  Reset();
  kind_ = Kind::Undefined;
}

void Variant::SetBytes(Kind kind, std::string bytes) {
  auto shared = std::make_shared<std::string>(std::move(bytes));
  Reset();
  kind_ = kind;
  payload_ = std::move(shared);
}

void Variant::SetString(std::string text) { SetBytes(Kind::String, std::move(text)); }

void Variant::SetByteArray(std::string bytes) { SetBytes(Kind::ByteArray, std::move(bytes)); }

void Variant::SetBool(bool value) {
  Reset();
  kind_ = Kind::Bool;
  scalar_.flag = value;
}

void Variant::SetInt8(int8_t value) {
  SetInt64(value);
  kind_ = Kind::Int8;
}

void Variant::SetInt16(int16_t value) {
  SetInt64(value);
  kind_ = Kind::Int16;
}

void Variant::SetInt32(int32_t value) {
  SetInt64(value);
  kind_ = Kind::Int32;
}

void Variant::SetInt64(int64_t value) {
  Reset();
  kind_ = Kind::Int64;
  scalar_.signedValue = value;
}

void Variant::SetUInt8(uint8_t value) {
  SetUInt64(value);
  kind_ = Kind::UInt8;
}

void Variant::SetUInt16(uint16_t value) {
  SetUInt64(value);
  kind_ = Kind::UInt16;
}

void Variant::SetUInt32(uint32_t value) {
  SetUInt64(value);
  kind_ = Kind::UInt32;
}

void Variant::SetUInt64(uint64_t value) {
  Reset();
  kind_ = Kind::UInt64;
  scalar_.unsignedValue = value;
}

void Variant::SetDouble(double value) {
  Reset();
  kind_ = Kind::Double;
  scalar_.real = value;
}

void Variant::SetTimestamp(const std::tm& time) { SetCalendar(Kind::Timestamp, time); }
void Variant::SetDate(const std::tm& time) { SetCalendar(Kind::Date, time); }
void Variant::SetTime(const std::tm& time) { SetCalendar(Kind::Time, time); }

void Variant::SetCalendar(Kind kind, const std::tm& time) {
  int64_t seconds = SecondsFromCalendar(time);
  if (seconds < 0) {
    seconds = 0;
  }
  auto normalised = std::make_shared<std::tm>(CalendarFromSeconds(seconds));
  Reset();
  kind_ = kind;
  payload_ = std::move(normalised);
}

Variant::MapRecord& Variant::EnsureMap() {
  if (!IsMap()) {
    Reset();
    kind_ = Kind::Map;
    payload_ = std::make_shared<MapRecord>();
  } else if (payload_.use_count() > 1) {
    payload_ = std::make_shared<MapRecord>(Map());
  }
  return *static_cast<MapRecord*>(payload_.get());
}

Variant& Variant::operator[](const std::string& key) {
  return EnsureMap().children[key];
}

Variant& Variant::operator[](uint32_t position) {
  return EnsureMap().children[IndexKey(position)];
}

Variant& Variant::operator[](const Variant& key) {
  switch (key.kind_) {
    case Kind::Int8:
    case Kind::Int16:
    case Kind::Int32:
      return (*this)[static_cast<uint32_t>(key.scalar_.signedValue)];
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
      return (*this)[static_cast<uint32_t>(key.scalar_.unsignedValue)];
    case Kind::String: {
      // Copy first: `key` may live inside this map.
      const std::string text = key.StoredBytes();
      return (*this)[text];
    }
    default:
      return (*this)[EmptyText()];
  }
}

void Variant::SetClassName(const std::string& name) {
  if (kind_ == Kind::Null || kind_ == Kind::Undefined) {
    EnsureMap();
  }
  if (!IsMap()) {
    return;
  }
  EnsureMap().className = name;
  kind_ = Kind::TypedMap;
}

void Variant::MarkAsArray(bool isArray) {
  if (kind_ == Kind::Null) {
    EnsureMap();
  }
  if (kind_ == Kind::Map && Map().isArray != isArray) {
    EnsureMap().isArray = isArray;
  }
}

bool Variant::IsArray() const { return IsMap() && Map().isArray; }

const std::string& Variant::ClassName() const {
  return kind_ == Kind::TypedMap ? Map().className : EmptyText();
}

size_t Variant::ChildCount() const { return IsMap() ? Map().children.size() : 0; }

const Variant::Children& Variant::GetChildren() const {
  return IsMap() ? Map().children : EmptyChildren();
}

const Variant* Variant::Find(const std::string& key) const {
  if (!IsMap()) {
    return nullptr;
  }
  const Children& children = Map().children;
  const auto found = children.find(key);
  return found == children.end() ? nullptr : &found->second;
}

const std::tm* Variant::CalendarTime() const {
  return HasTime() ? static_cast<const std::tm*>(payload_.get()) : nullptr;
}

const std::string& Variant::StoredBytes() const {
  return HasText() ? *static_cast<const std::string*>(payload_.get()) : EmptyText();
}

bool Variant::SharesPayloadWith(const Variant& other) const {
  return payload_ && payload_ == other.payload_;
}

std::string Variant::ToString() const {
  switch (kind_) {
    case Kind::Bool:
      return scalar_.flag ? "true" : "false";
    case Kind::Int8:
    case Kind::Int16:
    case Kind::Int32:
      return FormatText("%d", static_cast<int>(scalar_.signedValue));
    case Kind::Int64:
      return FormatText("%" PRId64, scalar_.signedValue);
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
      return FormatText("%u", static_cast<unsigned>(scalar_.unsignedValue));
    case Kind::UInt64:
      return FormatText("%" PRIu64, scalar_.unsignedValue);
    case Kind::Double:
      return FormatText("%.3f", scalar_.real);
    case Kind::Timestamp:
    case Kind::Date:
    case Kind::Time: {
      const char* format = kind_ == Kind::Timestamp ? "%Y-%m-%dT%H:%M:%S.000"
                           : kind_ == Kind::Date    ? "%Y-%m-%d"
                                                    : "%H:%M:%S.000";
      char text[24] = {};
      const size_t length = std::strftime(text, sizeof text, format, CalendarTime());
      return std::string(text, length);
    }
    case Kind::String:
    case Kind::ByteArray:
      return StoredBytes();
    default:
      return std::string();
  }
}

bool Variant::ToBool() const {
  switch (kind_) {
    case Kind::Bool:
      return scalar_.flag;
    case Kind::Int8:
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Int64:
      return scalar_.signedValue != 0;
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
    case Kind::UInt64:
      return scalar_.unsignedValue != 0;
    case Kind::Double:
      return scalar_.real != 0.0;
    default:
      return false;
  }
}

int64_t Variant::ToInt64() const {
  switch (kind_) {
    case Kind::Bool:
      return scalar_.flag ? 1 : 0;
    case Kind::Int8:
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Int64:
      return scalar_.signedValue;
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
    case Kind::UInt64:
      return static_cast<int64_t>(scalar_.unsignedValue);
    case Kind::Double:
      // A double outside the range would be undefined to convert; it saturates.
      return SaturateDouble<int64_t>(scalar_.real);
    default:
      return 0;
  }
}

int32_t Variant::ToInt32() const {
  if (kind_ == Kind::Double) {
    return SaturateDouble<int32_t>(scalar_.real);
  }
  return static_cast<int32_t>(ToInt64());
}

double Variant::ToDouble() const {
  switch (kind_) {
    case Kind::Double:
      return scalar_.real;
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
    case Kind::UInt64:
      return static_cast<double>(scalar_.unsignedValue);
    default:
      return static_cast<double>(ToInt64());
  }
}

std::string Variant::IndexKey(uint32_t position) {
  // Written by hand: array elements are many, and a formatted print costs more than the rest
  // of an element's decoding.
  static const char kDigits[] = "0123456789abcdef";
  std::string key = "0x00000000";
  for (size_t i = key.size(); position != 0; position >>= 4) {
    key[--i] = kDigits[position & 0xF];
  }
  return key;
}
