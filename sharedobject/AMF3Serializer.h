// Decoding of Action Message Format 3 values from the unread bytes of an IOBuffer. The
// reference tables live as long as the serializer, so that one serializer decoding all entries
// of a file lets references reach across them. Windows-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "sharedobject/AMFLimits.h"
#include "sharedobject/IOBuffer.h"
#include "sharedobject/Variant.h"

class AMF3Serializer {
public:
  // A serializer with its own budget under the default limits.
  AMF3Serializer() = default;
  explicit AMF3Serializer(const AMFLimits& limits) : ownBudget_(limits) {}
  // Charges `shared` (which outlives the serializer); `startDepth` is the nesting of the value
  // that holds what this serializer decodes, so that an AMF0 value switching to AMF3 stays
  // within the same depth bound.
  AMF3Serializer(AMFBudget& shared, size_t startDepth) : shared_(&shared), startDepth_(startDepth) {}
  AMF3Serializer(const AMF3Serializer&) = delete;
  AMF3Serializer& operator=(const AMF3Serializer&) = delete;

  // Decodes one marker-led value into `target`, advancing the cursor. Scalars, texts and
  // references replace what `target` held; an inline array or object adds its children to a
  // map already there. On failure the cursor stays where the fault was met and what was
  // decoded stays in `target`.
  bool ReadValue(IOBuffer& buffer, Variant& target);
  // Decodes a string (U29 header, string table) into `target`; with `withMarker` the string
  // marker must come first. Entry keys, member names and class names come without it.
  bool ReadString(IOBuffer& buffer, Variant& target, bool withMarker);

  size_t StringCount() const { return strings_.size(); }
  size_t ObjectCount() const { return objects_.size(); }
  size_t TraitsCount() const { return traits_.size(); }
  size_t ByteArrayCount() const { return byteArrays_.size(); }
  const Variant& ObjectAt(size_t index) const { return objects_[index].value; }
  const Variant& TraitsAt(size_t index) const { return traits_[index].value; }

private:
  friend class AMF3Decoder;

  // A table entry with what a copy of it costs and how tall its tree is, so that a reference
  // is charged without walking the entry again.
  struct Entry {
    Variant value;
    size_t cost = 0;
    size_t height = 0;
  };

  AMFBudget& Budget() { return shared_ ? *shared_ : ownBudget_; }

  AMFBudget ownBudget_;
  AMFBudget* shared_ = nullptr;
  size_t startDepth_ = 0;
  // Deques: an entry stays where it is while later ones are appended during a nested decode.
  std::deque<std::string> strings_;
  std::deque<Entry> objects_;
  std::deque<Entry> traits_;
  std::deque<std::string> byteArrays_;
};
