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
// `count` are alive. Made and freed only through its static functions.
struct Variant::MapPayload : Payload {
  // An empty map with room for `capacity` children.
  static MapPayload* Make(size_t capacity);
  // A map of its own for one holder of `shared`: its class, flag and children, each child
  // shared with the original.
  static MapPayload* CopyOf(const MapPayload& shared);
  // `map` (held by one value only) moved into a block with room for `capacity` children.
  static MapPayload* Grow(MapPayload* map, size_t capacity);
  static void Free(MapPayload* map);

  Child* Items() { return reinterpret_cast<Child*>(this + 1); }
  const Child* Items() const { return reinterpret_cast<const Child*>(this + 1); }
  // A Null child under `key`, placed before the child at `position` (or last).
  Child& InsertAt(size_t position, const std::string& key);
  // The children from `count` on are destroyed.
  void Truncate(size_t count);

  Variant className;  // a String for a TypedMap, else Null
  uint32_t count = 0;
  uint32_t capacity = 0;
  bool isArray = false;

private:
  MapPayload() = default;
  ~MapPayload() = default;
};
