// What a Variant holds beyond a scalar, for Variant and MapBuilder only: a text, a calendar time
// or a map, each counted by the values that share it. Windows-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <new>
#include <string>
#include <utility>

#include "sharedobject/PayloadArena.h"
#include "sharedobject/Variant.h"

struct Variant::Payload {
  uint32_t holders = 1;
  bool fromChunk = false;  // its memory was cut from a PayloadArena's chunk
};

// A text or time payload in memory from the thread's PayloadArena (see there), and its end.
template <typename Kind, typename... Args>
Kind* MakePayload(Args&&... args) {
  bool fromChunk = false;
  void* block = PayloadArena::Allocate(sizeof(Kind), fromChunk);
  Kind* payload = nullptr;
  try {
    payload = new (block) Kind(std::forward<Args>(args)...);
  } catch (...) {
    PayloadArena::Free(block, fromChunk);
    throw;
  }
  payload->fromChunk = fromChunk;
  return payload;
}

template <typename Kind>
void FreePayload(Kind* payload) {
  const bool fromChunk = payload->fromChunk;
  payload->~Kind();
  PayloadArena::Free(payload, fromChunk);
}

struct Variant::TextPayload : Payload {
  explicit TextPayload(std::string text) : bytes(std::move(text)) {}
  const std::string bytes;
};

struct Variant::TimePayload : Payload {
  explicit TimePayload(const std::tm& fields) : time(fields) {}
  const std::tm time;
};

// A map in one block: this header, then room for `capacity` children of which the first
// `count` are alive. A sealed map (one with a key source) holds only the values of its children,
// whose keys are those of the key source's children, place by place; it never grows or shrinks,
// and is given keys of its own (EnsureMap) before any change but that of a child's value. Made
// and freed only through its static functions.
struct Variant::MapPayload : Payload {
  // An empty map with room for `capacity` children.
  static MapPayload* Make(size_t capacity);
  // A sealed map with the keys of `keys` (not sealed itself), which it holds, and Null values.
  static MapPayload* MakeSealed(MapPayload& keys);
  // A map of its own, not sealed, for one holder of `shared`: its class, flag and children,
  // each child shared with the original.
  static MapPayload* CopyOf(const MapPayload& shared);
  // `map` (held by one value only, not sealed) moved into a block with room for `capacity`
  // children.
  static MapPayload* Grow(MapPayload* map, size_t capacity);
  static void Free(MapPayload* map);

  bool Sealed() const { return keySource != nullptr; }
  // The children of a map that is not sealed.
  Child* Items() { return reinterpret_cast<Child*>(this + 1); }
  const Child* Items() const { return reinterpret_cast<const Child*>(this + 1); }
  // The values of a sealed map.
  Variant* Values() { return reinterpret_cast<Variant*>(this + 1); }
  const Variant* Values() const { return reinterpret_cast<const Variant*>(this + 1); }
  // The children whose keys are this map's, in either form.
  const Child* Keys() const { return Sealed() ? keySource->Items() : Items(); }
  Variant& ValueAt(size_t index) { return Sealed() ? Values()[index] : Items()[index].second; }
  const Variant& ValueAt(size_t index) const { return Sealed() ? Values()[index] : Items()[index].second; }
  // A Null child under `key`, placed before the child at `position` (or last).
  Child& InsertAt(size_t position, const std::string& key);
  // The children from `count` on are destroyed.
  void Truncate(size_t count);

  Variant className;  // a String for a TypedMap, else Null
  MapPayload* keySource = nullptr;
  uint32_t count = 0;
  uint32_t capacity = 0;
  bool isArray = false;

private:
  MapPayload() = default;
  ~MapPayload() = default;
  // The values (sealed) or children from `count` on are destroyed, a few ahead asked for early.
  template <typename Slot, typename ValueOf>
  static void DestroyFrom(Slot* slots, size_t count, ValueOf valueOf);
};
