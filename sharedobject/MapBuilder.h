// Fills one map with children whose keys come in any order, as the decoders meet them: each
// child is appended, and the children are put in key order once, when the builder ends.
// (Variant::operator[] keeps the order at every insertion, which moves every later child for a
// key that comes out of order: quadratic for a hostile file.) A key added again replaces what
// it held before, the map's own children included, so that no child is ever searched for or
// reopened. While the builder lives the map is Null; it becomes the built map when the builder
// ends, whatever it was given meanwhile. Windows-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sharedobject/Variant.h"

class MapBuilder {
public:
  // Takes `map` over, made a map first as MakeMap does, with room for `room` more children
  // (a new map gets room for exactly that many); only a count the data has shown to be real
  // may go beyond the default.
  explicit MapBuilder(Variant& map, size_t room = 4);
  // Takes `map` over, made a copy of the map `model` (its class, flag and children, each child
  // shared), with no room to spare.
  MapBuilder(Variant& map, const Variant& model);
  // Gives the map back with its children in key order, each key with the value added last.
  ~MapBuilder();
  MapBuilder(const MapBuilder&) = delete;
  MapBuilder& operator=(const MapBuilder&) = delete;

  // A new Null child under `key`, to be filled before the next Add.
  Variant& Add(const std::string& key);
  // A new Null child under the index key of `position`.
  Variant& Add(uint32_t position) { return Add(Variant::IndexKey(position)); }
  // The child added `index`-th (from 0, the map's own children first), to be filled before the
  // next Add.
  Variant& At(size_t index);
  // Names the class of the map, as Variant::SetClassName does.
  void SetClassName(const Variant& name);

private:
  // Sorts the children by key and drops all but the last child added under each key.
  void PutInOrder();

  Variant& map_;
  Variant built_;
  Variant::MapPayload* payload_;  // built_'s, held by it alone while the builder lives
  bool ordered_ = true;           // every key so far came after the one before
};
