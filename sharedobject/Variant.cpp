#include "sharedobject/Variant.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "sharedobject/VariantPayload.h"

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

const std::string& EmptyText() {
  static const std::string empty;
  return empty;
}

// The first child whose key is not below `key`.
template <typename Iterator>
Iterator LowerBound(Iterator first, Iterator last, const std::string& key) {
  return std::lower_bound(first, last, key,
                          [](const Variant::Child& child, const std::string& text) { return child.first < text; });
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

// HasPayload: every kind from Timestamp on holds a payload (times, texts, maps), none before it.
static_assert(Variant::Kind::Double < Variant::Kind::Timestamp && Variant::Kind::ByteArray == Variant::Kind{20},
              "the kinds with a payload come last");

Variant::Variant(const Variant& other) : m_kind(other.m_kind), m_value(other.m_value) {
  if (HasPayload()) {
    ++m_value.payload->holders;
  }
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
    Variant taken(std::move(other));
    std::swap(m_kind, taken.m_kind);
    std::swap(m_value, taken.m_value);
  }
  return *this;
}

void Variant::Reset() {
  if (HasPayload()) {
    Release();
  }
  m_kind = Kind::Null;
  m_value.unsignedValue = 0;
}

void Variant::Release() {
  Payload* const payload = m_value.payload;
  // The last holder frees.
  if (--payload->holders != 0) {
    return;
  }
  if (HasText()) {
    FreePayload(static_cast<TextPayload*>(payload));
  } else if (IsMap()) {
    MapPayload::Free(static_cast<MapPayload*>(payload));
  } else {
    FreePayload(static_cast<TimePayload*>(payload));
  }
}

void Variant::Hold(Kind kind, Payload* payload) {
  Reset();
  m_kind = kind;
  m_value.payload = payload;
}

void Variant::SetUndefined() {
  Reset();
  m_kind = Kind::Undefined;
}

void Variant::SetBytes(Kind kind, std::string bytes) { Hold(kind, MakePayload<TextPayload>(std::move(bytes))); }

void Variant::SetString(std::string text) { SetBytes(Kind::String, std::move(text)); }

void Variant::SetByteArray(std::string bytes) { SetBytes(Kind::ByteArray, std::move(bytes)); }

void Variant::SetBool(bool value) {
  Reset();
  m_kind = Kind::Bool;
  m_value.flag = value;
}

void Variant::SetInt8(int8_t value) {
  SetInt64(value);
  m_kind = Kind::Int8;
}

void Variant::SetInt16(int16_t value) {
  SetInt64(value);
  m_kind = Kind::Int16;
}

void Variant::SetInt32(int32_t value) {
  SetInt64(value);
  m_kind = Kind::Int32;
}

void Variant::SetInt64(int64_t value) {
  Reset();
  m_kind = Kind::Int64;
  m_value.signedValue = value;
}

void Variant::SetUInt8(uint8_t value) {
  SetUInt64(value);
  m_kind = Kind::UInt8;
}

void Variant::SetUInt16(uint16_t value) {
  SetUInt64(value);
  m_kind = Kind::UInt16;
}

void Variant::SetUInt32(uint32_t value) {
  SetUInt64(value);
  m_kind = Kind::UInt32;
}

void Variant::SetUInt64(uint64_t value) {
  Reset();
  m_kind = Kind::UInt64;
  m_value.unsignedValue = value;
}

void Variant::SetDouble(double value) {
  Reset();
  m_kind = Kind::Double;
  m_value.real = value;
}

void Variant::SetTimestamp(const std::tm& time) { SetCalendar(Kind::Timestamp, time); }
void Variant::SetDate(const std::tm& time) { SetCalendar(Kind::Date, time); }
void Variant::SetTime(const std::tm& time) { SetCalendar(Kind::Time, time); }

void Variant::SetCalendar(Kind kind, const std::tm& time) {
  int64_t seconds = SecondsFromCalendar(time);
  if (seconds < 0) {
    seconds = 0;
  }
  Hold(kind, MakePayload<TimePayload>(CalendarFromSeconds(seconds)));
}

const Variant::MapPayload& Variant::Map() const { return *static_cast<const MapPayload*>(m_value.payload); }

Variant::MapPayload& Variant::EnsureMap() {
  if (!IsMap()) {
    // Room for a few children from the start: most maps get some, and growing costs a copy.
    Hold(Kind::Map, MapPayload::Make(4));
  } else if (m_value.payload->holders != 1 || Map().Sealed()) {
    // Shared (or with shared keys): this value takes a copy of its own, and lets go of its share
    // of the original.
    Variant original(std::move(*this));
    m_kind = original.m_kind;
    m_value.payload = MapPayload::CopyOf(original.Map());
  }
  return *static_cast<MapPayload*>(m_value.payload);
}

Variant::MapPayload& Variant::MapWithRoom(size_t more) {
  if (!IsMap()) {
    Hold(Kind::Map, MapPayload::Make(more));
  }
  MapPayload* map = &EnsureMap();
  if (more > map->capacity - map->count) {
    const size_t capacity = std::max<size_t>({4, size_t{map->count} + more, size_t{map->capacity} * 2});
    m_value.payload = map = MapPayload::Grow(map, capacity);
  }
  return *map;
}

Variant& Variant::operator[](const std::string& key) {
  MapPayload* map = &EnsureMap();
  const Child* first = map->Items();
  // Keys that come in order are appended.
  size_t position = map->count;
  if (position != 0 && !(first[position - 1].first < key)) {
    position = static_cast<size_t>(LowerBound(first, first + map->count, key) - first);
    if (first[position].first == key) {
      return map->Items()[position].second;
    }
  }
  return MapWithRoom(1).InsertAt(position, key).second;
}

Variant& Variant::operator[](uint32_t position) { return (*this)[IndexKey(position)]; }

Variant& Variant::operator[](const Variant& key) {
  switch (key.m_kind) {
    case Kind::Int8:
    case Kind::Int16:
    case Kind::Int32:
      return (*this)[static_cast<uint32_t>(key.m_value.signedValue)];
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
      return (*this)[static_cast<uint32_t>(key.m_value.unsignedValue)];
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
  Variant text;
  text.SetString(name);
  SetClassName(text);
}

void Variant::SetClassName(const Variant& name) {
  if (m_kind == Kind::Null || m_kind == Kind::Undefined) {
    EnsureMap();
  }
  if (!IsMap()) {
    return;
  }
  EnsureMap().className = name.m_kind == Kind::String ? name : Variant();
  m_kind = Kind::TypedMap;
}

void Variant::MarkAsArray(bool isArray) {
  if (m_kind == Kind::Null) {
    EnsureMap();
  }
  if (m_kind == Kind::Map && Map().isArray != isArray) {
    EnsureMap().isArray = isArray;
  }
}

bool Variant::IsArray() const { return IsMap() && Map().isArray; }

const std::string& Variant::ClassName() const {
  return m_kind == Kind::TypedMap ? Map().className.StoredBytes() : EmptyText();
}

size_t Variant::ChildCount() const { return IsMap() ? Map().count : 0; }

Variant::Children Variant::GetChildren() const {
  if (!IsMap()) {
    return Children();
  }
  const MapPayload& map = Map();
  return map.Sealed() ? Children(map.Keys(), map.Values(), sizeof(Variant), map.count)
                      : Children(map.Items(), &map.Items()->second, sizeof(Child), map.count);
}

const Variant* Variant::Find(const std::string& key) const {
  if (!IsMap()) {
    return nullptr;
  }
  const MapPayload& map = Map();
  const Child* keys = map.Keys();
  const Child* found = LowerBound(keys, keys + map.count, key);
  return found == keys + map.count || found->first != key ? nullptr : &map.ValueAt(static_cast<size_t>(found - keys));
}

Variant Variant::WithKeysOf(const Variant& keys) {
  Variant map;
  if (!keys.IsMap()) {
    map.MakeMap();
    return map;
  }
  MapPayload* source = static_cast<MapPayload*>(keys.m_value.payload);
  map.Hold(Kind::Map, MapPayload::MakeSealed(source->Sealed() ? *source->keySource : *source));
  return map;
}

Variant& Variant::ChildAt(size_t index) {
  MapPayload* map = static_cast<MapPayload*>(m_value.payload);
  if (map->holders != 1) {
    map = &EnsureMap();
  }
  return map->ValueAt(index);
}

const std::tm* Variant::CalendarTime() const {
  return HasTime() ? &static_cast<const TimePayload*>(m_value.payload)->time : nullptr;
}

const std::string& Variant::StoredBytes() const {
  return HasText() ? static_cast<const TextPayload*>(m_value.payload)->bytes : EmptyText();
}

bool Variant::SharesPayloadWith(const Variant& other) const {
  return HasPayload() && other.HasPayload() && m_value.payload == other.m_value.payload;
}

std::string Variant::ToString() const {
  switch (m_kind) {
    case Kind::Bool:
      return m_value.flag ? "true" : "false";
    case Kind::Int8:
    case Kind::Int16:
    case Kind::Int32:
      return FormatText("%d", static_cast<int>(m_value.signedValue));
    case Kind::Int64:
      return FormatText("%" PRId64, m_value.signedValue);
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
      return FormatText("%u", static_cast<unsigned>(m_value.unsignedValue));
    case Kind::UInt64:
      return FormatText("%" PRIu64, m_value.unsignedValue);
    case Kind::Double:
      return FormatText("%.3f", m_value.real);
    case Kind::Timestamp:
    case Kind::Date:
    case Kind::Time: {
      const char* format = m_kind == Kind::Timestamp ? "%Y-%m-%dT%H:%M:%S.000"
                           : m_kind == Kind::Date    ? "%Y-%m-%d"
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
  switch (m_kind) {
    case Kind::Bool:
      return m_value.flag;
    case Kind::Int8:
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Int64:
      return m_value.signedValue != 0;
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
    case Kind::UInt64:
      return m_value.unsignedValue != 0;
    case Kind::Double:
      return m_value.real != 0.0;
    default:
      return false;
  }
}

int64_t Variant::ToInt64() const {
  switch (m_kind) {
    case Kind::Bool:
      return m_value.flag ? 1 : 0;
    case Kind::Int8:
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Int64:
      return m_value.signedValue;
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
    case Kind::UInt64:
      return static_cast<int64_t>(m_value.unsignedValue);
    case Kind::Double:
      // A double outside the range would be undefined to convert; it saturates.
      return SaturateDouble<int64_t>(m_value.real);
    default:
      return 0;
  }
}

int32_t Variant::ToInt32() const {
  if (m_kind == Kind::Double) {
    return SaturateDouble<int32_t>(m_value.real);
  }
  return static_cast<int32_t>(ToInt64());
}

double Variant::ToDouble() const {
  switch (m_kind) {
    case Kind::Double:
      return m_value.real;
    case Kind::UInt8:
    case Kind::UInt16:
    case Kind::UInt32:
    case Kind::UInt64:
      return static_cast<double>(m_value.unsignedValue);
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
