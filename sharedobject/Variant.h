// A dynamic value decoded from a shared object: a scalar, a byte string, a UTC calendar time or
// an ordered map of named children. Windows-free.
//
// Copies share their text, time and map (copy on write): a copy costs a few pointers, and the
// first change made through one copy gives that copy a map of its own (one level at a time:
// the children in it are again shared until they are changed). So a reference-rich file whose
// references all copy one decoded value holds that value once. The sharing is counted
// atomically, so copies may live on different threads. A `Variant&` taken with
// operator[] belongs to the map it came from at that moment: take it again after copying the
// value that holds it, rather than changing a child through an older reference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>

class Variant {
public:
  // Kind tags; the conversions treat Int8..Double as the numeric kinds and Timestamp..Time as
  // the calendar kinds.
  enum class Kind : uint8_t {
    Null = 1,
    Undefined = 2,
    Bool = 3,
    Int8 = 4,
    Int16 = 5,
    Int32 = 6,
    Int64 = 7,
    UInt8 = 8,
    UInt16 = 9,
    UInt32 = 10,
    UInt64 = 11,
    Double = 12,
    Timestamp = 14,
    Date = 15,
    Time = 16,
    String = 17,
    TypedMap = 18,
    Map = 19,
    ByteArray = 20,
  };

  using Children = std::map<std::string, Variant>;

  Variant();
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  virtual ~Variant();

  // Frees the payload; the value becomes Null.
  void Reset();

  void SetUndefined();
  void SetString(std::string text);
  void SetByteArray(std::string bytes);
  void SetBool(bool value);
  void SetInt8(int8_t value);
  void SetInt16(int16_t value);
  void SetInt32(int32_t value);
  void SetInt64(int64_t value);
  void SetUInt8(uint8_t value);
  void SetUInt16(uint16_t value);
  void SetUInt32(uint32_t value);
  void SetUInt64(uint64_t value);
  void SetDouble(double value);
  // The calendar kinds. The fields are normalised: out-of-range fields carry over, and a time
  // before 1970-01-01 00:00:00 UTC becomes that instant (no earlier time can be held).
  void SetTimestamp(const std::tm& time);
  void SetDate(const std::tm& time);
  void SetTime(const std::tm& time);

  // Keyed access with insertion. A Null or Undefined value first becomes an empty Map; so does
  // a value of any other non-map kind, whose payload is dropped. A missing key gets a Null child.
  Variant& operator[](const std::string& key);
  Variant& operator[](uint32_t position);
  // Integer kinds up to 32 bits give the position's index key, a String gives its text and
  // every other kind gives the empty key.
  Variant& operator[](const Variant& key);

  // Null and Undefined first become an empty Map; Map and TypedMap become a TypedMap of that
  // class; other kinds are left unchanged.
  void SetClassName(const std::string& name);
  // A value of any non-map kind becomes an empty Map (its payload dropped); a map keeps its
  // children and its class.
  void MakeMap() { EnsureMap(); }
  // Null first becomes an empty Map; only a Map (not a TypedMap) takes the flag.
  void MarkAsArray(bool isArray);

  Kind GetKind() const { return kind_; }
  bool IsMap() const { return kind_ == Kind::Map || kind_ == Kind::TypedMap; }
  bool IsArray() const;
  // Empty unless the value is a TypedMap.
  const std::string& ClassName() const;
  // Number of children of a map, 0 for other kinds.
  size_t ChildCount() const;
  // The children of a map; an empty map for other kinds.
  const Children& GetChildren() const;
  // The child under `key`, or null when the value is no map or has no such child.
  const Variant* Find(const std::string& key) const;
  // The calendar time of Timestamp, Date and Time; null for other kinds.
  const std::tm* CalendarTime() const;

  // The bytes of a String or a ByteArray, without a copy; empty for other kinds.
  const std::string& StoredBytes() const;
  // True when this value and `other` hold the same text, time or map, not merely equal ones
  // (copies do until one of them is changed). Scalars hold nothing to share: false.
  bool SharesPayloadWith(const Variant& other) const;
  std::string ToString() const;
  bool ToBool() const;
  int32_t ToInt32() const;
  int64_t ToInt64() const;
  double ToDouble() const;

  // The key of a numeric position: "0x" and eight lower-case hexadecimal digits, so that
  // index keys sort in numeric order.
  static std::string IndexKey(uint32_t position);

private:
  struct MapRecord {
    std::string className;
    Children children;
    bool isArray = false;
  };

  void SetCalendar(Kind kind, const std::tm& time);
  void SetBytes(Kind kind, std::string bytes);
  bool HasText() const { return kind_ == Kind::String || kind_ == Kind::ByteArray; }
  bool HasTime() const { return kind_ == Kind::Timestamp || kind_ == Kind::Date || kind_ == Kind::Time; }
  const MapRecord& Map() const { return *static_cast<const MapRecord*>(payload_.get()); }
  // The map to change: made first for a non-map value, copied first while another value
  // shares it.
  MapRecord& EnsureMap();

  Kind kind_ = Kind::Null;
  union {
    bool flag;
    int64_t signedValue;
    uint64_t unsignedValue;
    double real;
  } scalar_{};
  // What the kind holds beyond a scalar, shared by copies: a std::string for the texts, a
  // std::tm for the calendar kinds, a MapRecord for the maps; null for every other kind.
  // Texts and times are never changed once made; a map is copied before a change while
  // shared. One pointer for all three keeps a map's node small.
  std::shared_ptr<void> payload_;
};

// Seconds since 1970-01-01 00:00:00 UTC of the broken-down fields (Gregorian calendar,
// out-of-range fields carried over; the result may be negative).
int64_t SecondsFromCalendar(const std::tm& time);
// The UTC broken-down time of a second count, weekday and day of year included. Counts
// outside the years 1 to 9999 are clamped to them.
std::tm CalendarFromSeconds(int64_t seconds);
