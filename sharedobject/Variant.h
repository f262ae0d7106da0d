// A dynamic value decoded from a shared object: a scalar, a byte string, a UTC calendar time or
// a map of named children kept in key order. Windows-free.
//
// Copies share their text, time and map (copy on write): a copy costs a few pointers, and the
// first change made through one copy gives that copy a map of its own (one level at a time:
// the children in it are again shared until they are changed). So a reference-rich file whose
// references all copy one decoded value holds that value once. The sharing is counted without
// atomic steps: a value and every value that shares with it (all the values of one decoded file)
// belong to one thread at a time; they may move to another thread together. A `Variant&`
// taken with operator[] belongs to the map it came from at that moment: take it again after
// copying the value that holds it or adding another child to that map, rather than changing a
// child through an older reference.
//
// A map is one block: its class, its flag and its children, sorted by key, side by side. A lookup
// is a binary search and a child added after the last key is appended; a child added before
// the last key moves the ones after it, so a map whose keys come in any order (as decoders meet
// them) is filled through a MapBuilder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <iterator>
#include <string>
#include <utility>

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

  // A child of a map as the map keeps it: its key and its value.
  using Child = std::pair<std::string, Variant>;
  // A child of a map as its view gives it.
  struct ChildView {
    const std::string& first;
    const Variant& second;
  };
  // The children of a map in ascending byte order of their keys (index keys in numeric order):
  // a view, valid while the map is not changed.
  class Children {
  public:
    class const_iterator;
    using value_type = ChildView;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;

    Children() = default;
    const_iterator begin() const;
    const_iterator end() const;
    const_reverse_iterator rbegin() const;
    const_reverse_iterator rend() const;
    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    ChildView operator[](size_t index) const;

  private:
    friend class Variant;
    // The keys are those of `keys`; the values lie `valueStride` bytes apart from `values` on.
    Children(const Child* keys, const Variant* values, size_t valueStride, size_t count)
        : m_keys(keys), m_values(reinterpret_cast<const char*>(values)), m_valueStride(valueStride), m_count(count) {}
    const Child* m_keys = nullptr;
    const char* m_values = nullptr;
    size_t m_valueStride = sizeof(Child);
    size_t m_count = 0;
  };

  Variant() = default;
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept : m_kind(other.m_kind), m_value(other.m_value) { other.m_kind = Kind::Null; }
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() {
    if (HasPayload()) {
      Release();
    }
  }

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
  // a value of any other non-map kind, whose payload is dropped. A missing key gets a Null child,
  // in its place in key order.
  Variant& operator[](const std::string& key);
  Variant& operator[](uint32_t position);
  // Integer kinds up to 32 bits give the position's index key, a String gives its text and
  // every other kind gives the empty key.
  Variant& operator[](const Variant& key);

  // A Map with a Null child under every key of the map `keys`. The keys are shared with `keys`,
  // not copied, until the map is changed otherwise than in a child's value (through ChildAt): a
  // decoder gives the sealed members of every object of one class one list of names.
  static Variant WithKeysOf(const Variant& keys);
  // The value of the child at `index` (in key order, below ChildCount()) of a map, to be changed;
  // a map shared with other values is copied first.
  Variant& ChildAt(size_t index);

  // Null and Undefined first become an empty Map; Map and TypedMap become a TypedMap of that
  // class; other kinds are left unchanged.
  void SetClassName(const std::string& name);
  // The same with the text of a String, shared rather than copied (a decoder names every
  // object of a class with one text).
  void SetClassName(const Variant& name);
  // A value of any non-map kind becomes an empty Map (its payload dropped); a map keeps its
  // children and its class.
  void MakeMap() { EnsureMap(); }
  // Null first becomes an empty Map; only a Map (not a TypedMap) takes the flag.
  void MarkAsArray(bool isArray);

  Kind GetKind() const { return m_kind; }
  bool IsMap() const { return m_kind == Kind::Map || m_kind == Kind::TypedMap; }
  bool IsArray() const;
  // Empty unless the value is a TypedMap.
  const std::string& ClassName() const;
  // Number of children of a map, 0 for other kinds.
  size_t ChildCount() const;
  // The children of a map in key order; none for other kinds.
  Children GetChildren() const;
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
  friend class MapBuilder;
  struct Payload;
  struct TextPayload;
  struct TimePayload;
  struct MapPayload;

  void SetCalendar(Kind kind, const std::tm& time);
  void SetBytes(Kind kind, std::string bytes);
  // Takes `payload` (a new one, counted once) for a value of `kind`.
  void Hold(Kind kind, Payload* payload);
  // Lets go of the payload, freeing it when no other value holds it; leaves the value as it is.
  void Release();
  bool HasText() const { return m_kind == Kind::String || m_kind == Kind::ByteArray; }
  bool HasTime() const { return m_kind == Kind::Timestamp || m_kind == Kind::Date || m_kind == Kind::Time; }
  // The kinds from Timestamp on hold a payload: the calendar kinds, the texts and the maps.
  bool HasPayload() const { return m_kind >= Kind::Timestamp; }
  const MapPayload& Map() const;
  // The map to change: made first (with room for a few children) for a non-map value, copied
  // first while another value shares it.
  MapPayload& EnsureMap();
  // The same with room for `more` children: a new map gets room for exactly that many, a full
  // one moves to a larger block.
  MapPayload& MapWithRoom(size_t more);

  Kind m_kind = Kind::Null;
  // A scalar, or what the kind holds beyond one, shared by copies: a text for String and
  // ByteArray, a std::tm for the calendar kinds, the children for the maps. Texts and times
  // are never changed once made; a map is copied before a change while shared.
  union {
    uint64_t unsignedValue;
    int64_t signedValue;
    double real;
    bool flag;
    Payload* payload;
  } m_value{};
};

// Walks the keys and the values side by side: a map that shares its keys keeps its values apart.
class Variant::Children::const_iterator {
public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = ChildView;
  using difference_type = std::ptrdiff_t;
  using reference = ChildView;
  // What operator-> gives: the child's view, held by value.
  struct pointer {
    ChildView child;
    const ChildView* operator->() const { return &child; }
  };

  const_iterator() = default;
  ChildView operator*() const { return ChildView{m_key->first, *reinterpret_cast<const Variant*>(m_value)}; }
  pointer operator->() const { return pointer{**this}; }
  ChildView operator[](difference_type n) const { return *(*this + n); }
  const_iterator& operator+=(difference_type n) {
    m_key += n;
    m_value += n * static_cast<difference_type>(m_valueStride);
    return *this;
  }
  const_iterator& operator-=(difference_type n) { return *this += -n; }
  const_iterator& operator++() { return *this += 1; }
  const_iterator& operator--() { return *this += -1; }
  const_iterator operator++(int) {
    const_iterator old = *this;
    ++*this;
    return old;
  }
  const_iterator operator--(int) {
    const_iterator old = *this;
    --*this;
    return old;
  }
  friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
  friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
  friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
  friend difference_type operator-(const const_iterator& a, const const_iterator& b) { return a.m_key - b.m_key; }
  friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.m_key == b.m_key; }
  friend bool operator!=(const const_iterator& a, const const_iterator& b) { return a.m_key != b.m_key; }
  friend bool operator<(const const_iterator& a, const const_iterator& b) { return a.m_key < b.m_key; }
  friend bool operator>(const const_iterator& a, const const_iterator& b) { return a.m_key > b.m_key; }
  friend bool operator<=(const const_iterator& a, const const_iterator& b) { return a.m_key <= b.m_key; }
  friend bool operator>=(const const_iterator& a, const const_iterator& b) { return a.m_key >= b.m_key; }

private:
  friend class Children;
  const_iterator(const Child* key, const char* value, size_t valueStride)
      : m_key(key), m_value(value), m_valueStride(valueStride) {}
  const Child* m_key = nullptr;
  const char* m_value = nullptr;
  size_t m_valueStride = sizeof(Child);
};

inline Variant::Children::const_iterator Variant::Children::begin() const {
  return const_iterator(m_keys, m_values, m_valueStride);
}
inline Variant::Children::const_iterator Variant::Children::end() const {
  return begin() + static_cast<std::ptrdiff_t>(m_count);
}
inline Variant::Children::const_reverse_iterator Variant::Children::rbegin() const {
  return const_reverse_iterator(end());
}
inline Variant::Children::const_reverse_iterator Variant::Children::rend() const {
  return const_reverse_iterator(begin());
}
inline Variant::ChildView Variant::Children::operator[](size_t index) const {
  return begin()[static_cast<std::ptrdiff_t>(index)];
}

// Seconds since 1970-01-01 00:00:00 UTC of the broken-down fields (Gregorian calendar,
// out-of-range fields carried over; the result may be negative).
int64_t SecondsFromCalendar(const std::tm& time);
// The UTC broken-down time of a second count, weekday and day of year included. Counts
// outside the years 1 to 9999 are clamped to them.
std::tm CalendarFromSeconds(int64_t seconds);
