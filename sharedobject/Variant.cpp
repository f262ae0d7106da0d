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

Variant::Variant(const Variant& other)
    : kind_(other.kind_), scalar_(other.scalar_), bytes_(other.bytes_) {
  if (other.time_) {
    time_ = std::make_unique<std::tm>(*other.time_);
  }
  if (other.map_) {
    map_ = std::make_unique<MapRecord>(*other.map_);
  }
}

Variant::Variant(Variant&& other) noexcept
    : kind_(other.kind_), scalar_(other.scalar_), bytes_(std::move(other.bytes_)),
      time_(std::move(other.time_)), map_(std::move(other.map_)) {
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
    taken.bytes_ = std::move(other.bytes_);
    taken.time_ = std::move(other.time_);
    taken.map_ = std::move(other.map_);
    other.Reset();
    kind_ = taken.kind_;
    scalar_ = taken.scalar_;
    bytes_ = std::move(taken.bytes_);
    time_ = std::move(taken.time_);
    map_ = std::move(taken.map_);
  }
  return *this;
}

Variant::~Variant() = default;

void Variant::Reset() {
  kind_ = Kind::Null;
  scalar_.unsignedValue = 0;
  bytes_.clear();
  bytes_.shrink_to_fit();
  time_.reset();
  map_.reset();
}

void Variant::SetUndefined() {
  Reset();
  kind_ = Kind::Undefined;
}

void Variant::SetString(std::string text) {
  Reset();
  kind_ = Kind::String;
  bytes_ = std::move(text);
}

void Variant::SetByteArray(std::string bytes) {
  Reset();
  kind_ = Kind::ByteArray;
  bytes_ = std::move(bytes);
}

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
  auto normalised = std::make_unique<std::tm>(CalendarFromSeconds(seconds));
  Reset();
  kind_ = kind;
  time_ = std::move(normalised);
}

Variant::MapRecord& Variant::EnsureMap() {
  if (!IsMap()) {
    Reset();
    kind_ = Kind::Map;
    map_ = std::make_unique<MapRecord>();
  }
  return *map_;
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
      const std::string text = key.bytes_;
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
  map_->className = name;
  kind_ = Kind::TypedMap;
}

void Variant::MarkAsArray(bool isArray) {
  if (kind_ == Kind::Null) {
    EnsureMap();
  }
  if (kind_ == Kind::Map) {
    map_->isArray = isArray;
  }
}

bool Variant::IsArray() const { return IsMap() && map_->isArray; }

const std::string& Variant::ClassName() const {
  return kind_ == Kind::TypedMap ? map_->className : EmptyText();
}

size_t Variant::ChildCount() const { return IsMap() ? map_->children.size() : 0; }

const Variant::Children& Variant::GetChildren() const {
  return IsMap() ? map_->children : EmptyChildren();
}

const Variant* Variant::Find(const std::string& key) const {
  if (!IsMap()) {
    return nullptr;
  }
  const auto found = map_->children.find(key);
  return found == map_->children.end() ? nullptr : &found->second;
}

const std::tm* Variant::CalendarTime() const { return time_.get(); }

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
      const size_t length = std::strftime(text, sizeof text, format, time_.get());
      return std::string(text, length);
    }
    case Kind::String:
    case Kind::ByteArray:
      return bytes_;
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
  char text[11];
  std::snprintf(text, sizeof text, "0x%08" PRIx32, position);
  return text;
}
