// Decoding of Action Message Format 3 values from the unread bytes of an IOBuffer. The
// reference tables live as long as the serializer, so that one serializer decoding all entries
// of a file lets references reach across them. A reference shares the value it names (see
// Variant: copies share until changed), so it costs a pointer, while the output bound counts
// it at the full size of what it names. Windows-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sharedobject/AMFLimits.h"
#include "sharedobject/IOBuffer.h"
#include "sharedobject/Variant.h"

class AMF3Serializer {
public:
  // A serializer with its own budget under the default limits.
  AMF3Serializer() = default;
  explicit AMF3Serializer(const AMFLimits& limits) : m_ownBudget(limits) {}
  // Charges `shared` (which outlives the serializer); `startDepth` is the nesting of the value
  // that holds what this serializer decodes, so that an AMF0 value switching to AMF3 stays
  // within the same depth bound.
  AMF3Serializer(AMFBudget& shared, size_t startDepth) : m_shared(&shared), m_startDepth(startDepth) {}
  AMF3Serializer(const AMF3Serializer&) = delete;
  AMF3Serializer& operator=(const AMF3Serializer&) = delete;

  // Decodes one marker-led value into `target`, advancing the cursor. Scalars, texts and
  // references replace what `target` held; an inline array or object adds its children to a
  // map already there. A key given twice in one array or object decodes its later value into
  // the child that holds the earlier one, by the same rule. On failure the cursor stays where
  // the fault was met and what was decoded stays in `target`.
  bool ReadValue(IOBuffer& buffer, Variant& target);
  // Decodes a string (U29 header, string table) into `target`; with `withMarker` the string
  // marker must come first. Entry keys, member names and class names come without it.
  bool ReadString(IOBuffer& buffer, Variant& target, bool withMarker);
  // Decodes a string without its marker (a file's entry key) into `key`, through the same
  // table but without making it a String value that string references would share.
  bool ReadKey(IOBuffer& buffer, std::string& key);

  size_t StringCount() const { return m_strings.size(); }
  size_t ObjectCount() const { return m_objects.size(); }
  size_t TraitsCount() const { return m_traits.size(); }
  size_t ByteArrayCount() const { return m_byteArrays.size(); }
  const Variant& ObjectAt(size_t index) const { return m_objects[index].value; }
  const Variant& TraitsAt(size_t index) const { return m_traits[index].value; }

private:
  friend class AMF3Decoder;

  // An object-table entry with what a reference to it is charged and how tall its tree is,
  // both measured while it was decoded, so that a reference needs no walk of the entry.
  struct Entry {
    Variant value;
    size_t cost = 0;
    size_t height = 0;
  };

  AMFBudget& Budget() { return m_shared ? *m_shared : m_ownBudget; }

  AMFBudget m_ownBudget;
  AMFBudget* m_shared = nullptr;
  size_t m_startDepth = 0;
  // The values walked so far to measure maps that a repeated key decoded into again.
  size_t m_measuredValues = 0;
  // A string-table entry: its text, and the String value that the string values naming it
  // share, made when the first one does (a text read only as keys and names needs none).
  struct TextEntry {
    std::string text;
    Variant value;
  };

  // A traits-table entry: the traits as a map (TraitsAt), and what each object of these traits
  // takes from them, worked out once when they are read.
  struct TraitsEntry {
    Variant value;
    bool dynamic = false;
    Variant className;  // a String, or Null for an anonymous class
    // The map of sealed members with every name once, in key order, each value Null: what an
    // object's sealed members start from. For each member, in the order the data gives them,
    // the place of its name in that map.
    Variant emptyMembers;
    std::vector<uint32_t> placeOfMember;
  };

  // Deques: an entry stays where it is while later ones are appended during a nested decode.
  // Byte arrays are kept as the values a reference to them shares.
  std::deque<TextEntry> m_strings;
  std::deque<Entry> m_objects;
  std::deque<TraitsEntry> m_traits;
  std::deque<Variant> m_byteArrays;
};
