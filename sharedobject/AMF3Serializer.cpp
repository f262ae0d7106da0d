#include "sharedobject/AMF3Serializer.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "sharedobject/AMFTime.h"
#include "sharedobject/BigEndianRead.h"
#include "sharedobject/MapBuilder.h"
#include "sharedobject/VisibleMeasure.h"

namespace {

enum Marker : uint8_t {
  kUndefined = 0x00,
  kNull = 0x01,
  kFalse = 0x02,
  kTrue = 0x03,
  kInteger = 0x04,
  kDouble = 0x05,
  kString = 0x06,
  kXmlDocument = 0x07,
  kDate = 0x08,
  kArray = 0x09,
  kObject = 0x0A,
  kXml = 0x0B,
  kByteArray = 0x0C,
};

// Made once: every object looks its traits up by these keys, and a text made for each lookup
// would cost an allocation per object.
const std::string kIsDynamicKey = "____isDynamic____";
const std::string kClassNameKey = "____class_name____";
const std::string kTraitsKey = "____traits____";
const char kArrayCollection[] = "flex.messaging.io.ArrayCollection";

bool IsInline(uint32_t header) { return (header & 1) != 0; }

}  // namespace

// One call's decoding over the serializer's tables. Every read checks what is available;
// a failure makes every enclosing value fail. Everything a caller will see is charged as it
// is decoded: each value, text, key and class name, and for a reference the full size of
// what it names, although it only shares it.
class AMF3Decoder {
public:
  AMF3Decoder(AMF3Serializer& owner, IOBuffer& buffer)
      : m_owner(owner), m_buffer(buffer), m_budget(owner.Budget()), m_depth(owner.m_startDepth), m_peak(m_depth) {}

  bool Value(Variant& target);
  bool String(Variant& target, bool withMarker);
  bool Key(std::string& key);

private:
  using Entry = AMF3Serializer::Entry;
  using TextEntry = AMF3Serializer::TextEntry;
  using TraitsEntry = AMF3Serializer::TraitsEntry;

  // Counts one more level of nesting for its lifetime; Entered() is false past the bound.
  class Level {
  public:
    explicit Level(AMF3Decoder& decoder) : m_decoder(decoder) {
      m_entered = m_decoder.m_depth < m_decoder.m_budget.Limits().maxDepth;
      if (m_entered) {
        ++m_decoder.m_depth;
        m_decoder.m_peak = std::max(m_decoder.m_peak, m_decoder.m_depth);
      }
    }
    ~Level() {
      if (m_entered) {
        --m_decoder.m_depth;
      }
    }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;
    bool Entered() const { return m_entered; }

  private:
    AMF3Decoder& m_decoder;
    bool m_entered = false;
  };

  // What the value decoded during its lifetime was charged (with the marker charged before
  // it) and how tall it grew: what a reference to the value will cost.
  class Span {
  public:
    explicit Span(AMF3Decoder& decoder)
        : m_decoder(decoder), m_charged(decoder.m_budget.Charged()), m_depth(decoder.m_depth),
          m_outerPeak(decoder.m_peak) {
      m_decoder.m_peak = m_depth;
    }
    ~Span() { m_decoder.m_peak = std::max(m_decoder.m_peak, m_outerPeak); }
    Span(const Span&) = delete;
    Span& operator=(const Span&) = delete;
    size_t Cost() const { return AMFLimits::kValueCost + m_decoder.m_budget.Charged() - m_charged; }
    size_t Height() const { return m_decoder.m_peak - m_depth; }

  private:
    AMF3Decoder& m_decoder;
    size_t m_charged;
    size_t m_depth;
    size_t m_outerPeak;
  };

  bool ReadU29(uint32_t& value);
  // Whether the next value is an inline array or object, which decodes into the child its key
  // already names; read ahead without consuming anything.
  bool InlineMapNext() const;
  // Decodes the next value under `key` as keyed access would: an inline array or object into the
  // child the key already names, any other value into a new child that replaces the one before
  // when the map is built (or is taken back when it fails).
  bool ValueInto(MapBuilder& fields, const std::string& key);
  bool ReadBytes(size_t length, std::string& bytes);
  // A string's table entry, or null for the empty text (never an entry).
  bool StringEntry(TextEntry*& entry);

  bool Date(Variant& target);
  bool ByteArray(Variant& target);
  bool Array(Variant& target);
  bool Object(Variant& target);
  bool Externalizable(Variant& target, bool merged);
  // The traits of an object header: a table entry, or new ones read inline. Null on failure.
  const TraitsEntry* Traits(uint32_t header);
  bool InlineTraits(uint32_t header, TraitsEntry& traits);
  // What the objects of `traits` take from them, from the map read so far.
  static void DescribeTraits(TraitsEntry& traits, bool dynamic);
  bool Members(const TraitsEntry& traits, MapBuilder& fields);
  // Key and value pairs until the empty key: an array's associative part, an object's dynamic
  // members.
  bool NamedValues(MapBuilder& fields);

  // Table entry `index` shared into `target`, or false when there is no such entry or what it
  // holds would pass the bounds.
  bool ShareEntry(const std::deque<Entry>& table, uint32_t index, Variant& target);
  // Records what a reference to `value` shows: what `span` measured, or, for a map that an
  // earlier value had filled (`merged`), the whole map measured again. False when that walk
  // would pass what the serializer may walk.
  bool Store(const Variant& value, const Span& span, Entry& entry, bool merged);

  AMF3Serializer& m_owner;
  IOBuffer& m_buffer;
  AMFBudget& m_budget;
  size_t m_depth;
  size_t m_peak;  // the deepest level reached since the innermost Span began
};

namespace {

const size_t kIndexKeyBytes = Variant::IndexKey(0).size();
// The most children made room for before the data shows them.
constexpr uint32_t kUntrustedRoom = 64;

}  // namespace

bool AMF3Decoder::ReadU29(uint32_t& value) {
  // Up to three bytes of seven bits while the high bit says more follow, then one of eight.
  // Data that ends within the number is consumed, as each byte would have been.
  const uint8_t* bytes = m_buffer.Data();
  const size_t available = m_buffer.Available();
  value = 0;
  for (size_t i = 0; i < 3; ++i) {
    if (i == available) {
      m_buffer.Skip(available);
      return false;
    }
    value = value << 7 | (bytes[i] & 0x7F);
    if ((bytes[i] & 0x80) == 0) {
      return m_buffer.Skip(i + 1);
    }
  }
  if (available < 4) {
    m_buffer.Skip(available);
    return false;
  }
  value = value << 8 | bytes[3];
  return m_buffer.Skip(4);
}

bool AMF3Decoder::InlineMapNext() const {
  const uint8_t* bytes = m_buffer.Data();
  const size_t available = m_buffer.Available();
  if (available < 2 || (bytes[0] != kArray && bytes[0] != kObject)) {
    return false;
  }
  // The inline flag is the lowest bit of the header, in its last byte.
  for (size_t i = 1; i < 4; ++i) {
    if (i == available) {
      return false;
    }
    if ((bytes[i] & 0x80) == 0) {
      return (bytes[i] & 1) != 0;
    }
  }
  return available > 4 && (bytes[4] & 1) != 0;
}

bool AMF3Decoder::ValueInto(MapBuilder& fields, const std::string& key) {
  const bool into = InlineMapNext();
  if (Value(into ? fields.Into(key) : fields.Add(key))) {
    return true;
  }
  // Any other value that fails leaves its child as it was: Null, or the earlier value.
  if (!into) {
    fields.TakeBackFailedRepeat();
  }
  return false;
}

bool AMF3Decoder::ReadBytes(size_t length, std::string& bytes) {
  // The length is checked against the data before anything is allocated.
  if (m_buffer.Available() < length || !m_budget.Charge(length)) {
    return false;
  }
  bytes.assign(reinterpret_cast<const char*>(m_buffer.Data()), length);
  return m_buffer.Skip(length);
}

bool AMF3Decoder::StringEntry(TextEntry*& entry) {
  uint32_t header = 0;
  if (!ReadU29(header)) {
    return false;
  }
  const uint32_t index = header >> 1;
  entry = nullptr;
  if (!IsInline(header)) {
    if (index >= m_owner.m_strings.size() || !m_budget.Charge(m_owner.m_strings[index].text.size())) {
      return false;
    }
    entry = &m_owner.m_strings[index];
    return true;
  }
  if (index == 0) {
    return true;  // the empty text is never a table entry
  }
  std::string text;
  if (!ReadBytes(index, text)) {
    return false;
  }
  entry = &m_owner.m_strings.emplace_back(TextEntry{std::move(text), Variant()});
  return true;
}

bool AMF3Decoder::String(Variant& target, bool withMarker) {
  if (withMarker) {
    if (m_buffer.Available() < 1 || m_buffer.Data()[0] != kString) {
      return false;
    }
    m_buffer.Skip(1);
  }
  TextEntry* entry = nullptr;
  if (!StringEntry(entry)) {
    return false;
  }
  if (!entry) {
    target.SetString(std::string());
    return true;
  }
  if (entry->value.GetKind() != Variant::Kind::String) {
    entry->value.SetString(entry->text);
  }
  target = entry->value;
  return true;
}

bool AMF3Decoder::Key(std::string& key) {
  TextEntry* entry = nullptr;
  if (!StringEntry(entry)) {
    return false;
  }
  key = entry ? entry->text : std::string();
  return true;
}

bool AMF3Decoder::Value(Variant& target) {
  if (m_buffer.Available() < 1) {
    return false;
  }
  const uint8_t marker = m_buffer.Data()[0];
  if (marker > kByteArray) {
    return false;  // not consumed
  }
  m_buffer.Skip(1);
  if (!m_budget.Charge(AMFLimits::kValueCost)) {
    return false;
  }
  switch (marker) {
    case kUndefined:
    case kNull:
      target.Reset();
      return true;
    case kFalse:
    case kTrue:
      target.SetBool(marker == kTrue);
      return true;
    case kInteger: {
      uint32_t value = 0;
      if (!ReadU29(value)) {
        return false;
      }
      target.SetUInt32(value);
      return true;
    }
    case kDouble: {
      double value = 0;
      if (!ReadDouble(m_buffer, value)) {
        return false;
      }
      target.SetDouble(value);
      return true;
    }
    case kString:
      return String(target, false);
    case kDate:
      return Date(target);
    case kArray:
      return Array(target);
    case kObject:
      return Object(target);
    case kByteArray:
      return ByteArray(target);
    default:
      return false;  // XML: the marker is consumed, the value is not read
  }
}

bool AMF3Decoder::ShareEntry(const std::deque<Entry>& table, uint32_t index, Variant& target) {
  if (index >= table.size()) {
    return false;
  }
  const Entry& entry = table[index];
  // What the reference shows a caller must neither pass the output bound nor make the tree
  // taller than the nesting bound, which keeps every walk of the tree within the stack.
  if (m_depth + entry.height > m_budget.Limits().maxDepth || !m_budget.Charge(entry.cost)) {
    return false;
  }
  m_peak = std::max(m_peak, m_depth + entry.height);
  target = entry.value;
  return true;
}

bool AMF3Decoder::Store(const Variant& value, const Span& span, Entry& entry, bool merged) {
  entry.value = value;
  if (!merged) {
    entry.cost = span.Cost();
    entry.height = span.Height();
    return true;
  }
  // Every walk counts against one allowance per serializer, as large as the most values the
  // output bound lets through, so that keys repeated many times cannot make the walks quadratic.
  const size_t allowance = m_budget.Limits().maxDecodedBytes / AMFLimits::kValueCost;
  size_t steps = allowance - std::min(allowance, m_owner.m_measuredValues);
  VisibleMeasure measure;
  const bool measured = MeasureVisible(value, steps, measure);
  m_owner.m_measuredValues = allowance - steps;
  // The span also counts what the caller never sees (traits read inline): the larger stands.
  entry.cost = std::max(measure.cost, span.Cost());
  entry.height = std::max(measure.height, span.Height());
  return measured;
}

bool AMF3Decoder::Date(Variant& target) {
  uint32_t header = 0;
  if (!ReadU29(header)) {
    return false;
  }
  if (!IsInline(header)) {
    return ShareEntry(m_owner.m_objects, header >> 1, target);
  }
  double milliseconds = 0;
  if (!ReadDouble(m_buffer, milliseconds)) {
    return false;
  }
  // A time before 1970 cannot be held: it is kept as the epoch itself rather than failing.
  target.SetTimestamp(CalendarFromSeconds(SecondsFromMilliseconds(milliseconds)));
  m_owner.m_objects.push_back(Entry{target, AMFLimits::kValueCost, 0});
  return true;
}

bool AMF3Decoder::ByteArray(Variant& target) {
  uint32_t header = 0;
  if (!ReadU29(header)) {
    return false;
  }
  const uint32_t index = header >> 1;
  if (!IsInline(header)) {
    if (index >= m_owner.m_byteArrays.size() || !m_budget.Charge(m_owner.m_byteArrays[index].StoredBytes().size())) {
      return false;
    }
    target = m_owner.m_byteArrays[index];
    return true;
  }
  std::string bytes;
  if (index != 0 && !ReadBytes(index, bytes)) {
    return false;
  }
  target.SetByteArray(std::move(bytes));
  if (index != 0) {
    m_owner.m_byteArrays.push_back(target);
  }
  return true;
}

bool AMF3Decoder::Array(Variant& target) {
  uint32_t header = 0;
  if (!ReadU29(header)) {
    return false;
  }
  if (!IsInline(header)) {
    return ShareEntry(m_owner.m_objects, header >> 1, target);
  }
  const Span span(*this);
  Level level(*this);
  if (!level.Entered()) {
    return false;
  }
  // A key repeated within the array decodes into the child that holds the first value: a map
  // there takes the new children, anything else is replaced.
  bool merged = false;
  {
    // The dense count is not trusted beyond a little room; running out of data ends the loop.
    const uint32_t dense = header >> 1;
    merged = target.ChildCount() != 0;
    MapBuilder fields(target, std::min<uint32_t>(dense, kUntrustedRoom));
    if (!NamedValues(fields)) {
      return false;
    }
    for (uint32_t i = 0; i < dense; ++i) {
      if (!m_budget.Charge(kIndexKeyBytes) || !ValueInto(fields, Variant::IndexKey(i))) {
        return false;
      }
    }
  }
  target.MarkAsArray(true);
  // The array enters the object table after everything it contains.
  return Store(target, span, m_owner.m_objects.emplace_back(), merged);
}

bool AMF3Decoder::Object(Variant& target) {
  uint32_t header = 0;
  if (!ReadU29(header)) {
    return false;
  }
  if (!IsInline(header)) {
    return ShareEntry(m_owner.m_objects, header >> 1, target);
  }
  const Span span(*this);
  Level level(*this);
  if (!level.Entered()) {
    return false;
  }
  const bool merged = target.ChildCount() != 0;
  if ((header & 7) == 7) {
    target.MakeMap();
    return Externalizable(target, merged);
  }
  // The object's place in the table is taken before its members are read, so that members
  // referring to it get the place (still empty) and later objects the indexes after it.
  const size_t slot = m_owner.m_objects.size();
  m_owner.m_objects.push_back(Entry{Variant(), AMFLimits::kValueCost, 0});

  const TraitsEntry* traits = Traits(header);
  const std::string* className = traits ? &traits->className.StoredBytes() : nullptr;
  if (!className || !m_budget.Charge(className->size())) {
    target.MakeMap();  // failed, with no member read
    return false;
  }
  {
    // Room for the sealed members' map and one dynamic member: most objects need no more.
    MapBuilder fields(target, (traits->placeOfMember.empty() ? 0 : 1) + (traits->dynamic ? 1 : 0));
    if (!className->empty()) {
      fields.SetClassName(traits->className);
    }
    if (!Members(*traits, fields)) {
      return false;
    }
  }
  return Store(target, span, m_owner.m_objects[slot], merged);
}

bool AMF3Decoder::Externalizable(Variant& target, bool merged) {
  Variant className;
  if (!String(className, false) || className.ToString() != kArrayCollection) {
    return false;
  }
  const Span span(*this);
  target.SetClassName(kArrayCollection);
  // The wrapped value (an array) fills the collection itself.
  if (!Value(target)) {
    return false;
  }
  return Store(target, span, m_owner.m_objects.emplace_back(), merged);
}

const AMF3Decoder::TraitsEntry* AMF3Decoder::Traits(uint32_t header) {
  if ((header & 2) == 0) {
    const uint32_t index = header >> 2;
    return index < m_owner.m_traits.size() ? &m_owner.m_traits[index] : nullptr;
  }
  TraitsEntry& traits = m_owner.m_traits.emplace_back();
  return InlineTraits(header, traits) ? &traits : nullptr;
}

void AMF3Decoder::DescribeTraits(TraitsEntry& traits, bool dynamic) {
  traits.dynamic = dynamic;
  const Variant* className = traits.value.Find(kClassNameKey);
  traits.className = className ? *className : Variant();
  traits.emptyMembers.Reset();
  traits.placeOfMember.clear();
  const Variant* sealed = traits.value.Find(kTraitsKey);
  if (!sealed || sealed->ChildCount() == 0) {
    return;
  }
  {
    MapBuilder names(traits.emptyMembers, sealed->ChildCount());
    for (const auto& member : sealed->GetChildren()) {
      names.Add(member.second.StoredBytes());
    }
  }
  const Variant::Children names = traits.emptyMembers.GetChildren();
  const auto nameBelow = [](const Variant::ChildView& child, const std::string& name) { return child.first < name; };
  for (const auto& member : sealed->GetChildren()) {
    const auto place = std::lower_bound(names.begin(), names.end(), member.second.StoredBytes(), nameBelow);
    traits.placeOfMember.push_back(static_cast<uint32_t>(place - names.begin()));
  }
}

// The traits are written into their table place as they are read: an object whose traits
// fail to read fails, and the place holds what was read.
bool AMF3Decoder::InlineTraits(uint32_t header, TraitsEntry& entry) {
  Variant& traits = entry.value;
  traits[kIsDynamicKey].SetBool((header & 8) != 0);
  bool read = String(traits[kClassNameKey], false);
  // The member count is not trusted for any allocation: every name takes at least one byte.
  // Each name is charged as a value of the table's: empty names take one byte each.
  const uint32_t sealed = header >> 4;
  for (uint32_t i = 0; read && i < sealed; ++i) {
    read = m_budget.Charge(AMFLimits::kValueCost + kIndexKeyBytes) && String(traits[kTraitsKey][i], false);
  }
  DescribeTraits(entry, (header & 8) != 0);
  return read;
}

bool AMF3Decoder::Members(const TraitsEntry& traits, MapBuilder& fields) {
  // Sealed members live in a child map of their own, one level further down; it and the
  // member names in it are charged like what the data spells out. It starts as a copy of the
  // traits' map of Null members, already in key order, and is filled in the order of the data.
  if (!traits.placeOfMember.empty()) {
    Level level(*this);
    if (!level.Entered() || !m_budget.Charge(AMFLimits::kValueCost + kTraitsKey.size())) {
      return false;
    }
    const Variant::Children names = traits.emptyMembers.GetChildren();
    const size_t count = fields.Size();
    Variant& sealed = fields.Into(kTraitsKey);
    if (sealed.IsMap()) {
      // An object decoded into a map that has sealed members already: they take the new ones
      // as keyed access gives them.
      MapBuilder members(sealed);
      for (const uint32_t place : traits.placeOfMember) {
        if (!m_budget.Charge(names[place].first.size()) || !ValueInto(members, names[place].first)) {
          return false;
        }
      }
    } else {
      // A name given twice decodes its later value into the child that holds the earlier one.
      // When a value fails, the members not reached yet are dropped again, and the map with
      // them when none was reached.
      const std::vector<uint32_t>& places = traits.placeOfMember;
      const bool added = fields.Size() != count;
      const Variant earlier = added ? Variant() : sealed;
      size_t reached = places.size();  // the members reached, the one that failed included
      bool failed = false;
      // The map shares its keys with the traits' map of names until it fails.
      sealed = Variant::WithKeysOf(traits.emptyMembers);
      for (size_t i = 0; i < places.size(); ++i) {
        const bool charged = m_budget.Charge(names[places[i]].first.size());
        if (!charged || !Value(sealed.ChildAt(places[i]))) {
          reached = charged ? i + 1 : i;
          failed = true;
          break;
        }
      }
      if (failed && reached != 0) {
        std::vector<bool> dropped(names.size(), true);
        for (size_t i = 0; i < reached; ++i) {
          dropped[places[i]] = false;
        }
        MapBuilder(sealed, 0).Drop(dropped);
      }
      if (failed && reached == 0) {
        if (added) {
          fields.TakeBackLast();
        } else {
          sealed = earlier;
        }
      }
      if (failed) {
        return false;
      }
    }
  }
  return !traits.dynamic || NamedValues(fields);
}

bool AMF3Decoder::NamedValues(MapBuilder& fields) {
  for (;;) {
    TextEntry* key = nullptr;
    if (!StringEntry(key)) {
      return false;
    }
    if (!key) {
      return true;  // the empty key ends the pairs
    }
    if (!ValueInto(fields, key->text)) {
      return false;
    }
  }
}

bool AMF3Serializer::ReadValue(IOBuffer& buffer, Variant& target) {
  AMF3Decoder decoder(*this, buffer);
  return decoder.Value(target);
}

bool AMF3Serializer::ReadString(IOBuffer& buffer, Variant& target, bool withMarker) {
  AMF3Decoder decoder(*this, buffer);
  return decoder.String(target, withMarker);
}

bool AMF3Serializer::ReadKey(IOBuffer& buffer, std::string& key) {
  AMF3Decoder decoder(*this, buffer);
  return decoder.Key(key);
}
