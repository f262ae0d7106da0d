// Fills one map with children whose keys come in any order, as the decoders meet them: each
// child is appended, and the children are put in key order once, when the builder ends.
// (Variant::operator[] keeps the order at every insertion, which moves every later child for a
// key that comes out of order: quadratic for a hostile file.) A key added again replaces what
// it held before, the map's own children included. A value that decodes into the child it
// names, as keyed access would (an inline array or object adds its children to a map there),
// asks for that child with Into: found in the sorted children by a binary search, among a few
// unsorted ones by a scan, among many through a hash index made only then. While the builder
// lives the map is Null; it becomes the built map when the builder ends, whatever it was given
// meanwhile. Windows-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sharedobject/Variant.h"

class MapBuilder {
public:
  // Takes `map` over, made a map first as MakeMap does, with room for `room` more children
  // (a new map gets room for exactly that many); only a count the data has shown to be real
  // may go beyond the default.
  explicit MapBuilder(Variant& map, size_t room = 4);
  // Gives the map back with its children in key order, each key with the value added last.
  ~MapBuilder();
  MapBuilder(const MapBuilder&) = delete;
  MapBuilder& operator=(const MapBuilder&) = delete;

  // A new Null child under `key`, to be filled before the next Add.
  Variant& Add(const std::string& key);
  // A new Null child under the index key of `position`.
  Variant& Add(uint32_t position) { return Add(Variant::IndexKey(position)); }
  // The child that keyed access would give for `key`: the one added last under it (the map's
  // own children included), or else a new Null child, to be filled before the next Add or Into.
  Variant& Into(const std::string& key);
  Variant& Into(uint32_t position) { return Into(Variant::IndexKey(position)); }
  // After a value failed in the child added last, which it left as it was (Null): that child is
  // taken back when an earlier child has its key, as keyed access would have left that one.
  void TakeBackFailedRepeat();
  // How many children there are so far, repeated keys and the map's own children included.
  size_t Size() const;
  // Takes back the child added last.
  void TakeBackLast();
  // Drops every child whose flag in `dropped` (by index) is set.
  void Drop(const std::vector<bool>& dropped);
  // Names the class of the map, as Variant::SetClassName does.
  void SetClassName(const Variant& name);

private:
  // Sorts the children by key and drops all but the last child added under each key.
  void PutInOrder();
  // The place of the child added last under `key` among many unsorted ones, or `count` when
  // there is none; indexes the children added since the last call first.
  size_t IndexedPlace(const std::string& key);
  void IndexChild(size_t index);
  void ForgetIndex();

  Variant& m_map;
  Variant m_built;
  Variant::MapPayload* m_payload;  // m_built's, held by it alone while the builder lives
  bool m_ordered = true;           // every key so far came after the one before
  // The hash index of Into, empty until it is needed: per slot a child's place plus one, or 0.
  // It holds the children before `m_indexed`, for each key the one added last.
  std::vector<uint32_t> m_slots;
  size_t m_used = 0;
  size_t m_indexed = 0;
};
