#include "sharedobject/VariantPayload.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>

Variant::MapPayload* Variant::MapPayload::Make(size_t capacity) {
  static_assert(sizeof(MapPayload) % alignof(Child) == 0, "the children follow the header");
  if (capacity > std::numeric_limits<uint32_t>::max()) {
    throw std::bad_alloc();
  }
  bool fromChunk = false;
  void* block = PayloadArena::Allocate(sizeof(MapPayload) + capacity * sizeof(Child), fromChunk);
  MapPayload* map = new (block) MapPayload();
  map->capacity = static_cast<uint32_t>(capacity);
  map->fromChunk = fromChunk;
  return map;
}

Variant::MapPayload* Variant::MapPayload::MakeSealed(MapPayload& keys) {
  bool fromChunk = false;
  void* block = PayloadArena::Allocate(sizeof(MapPayload) + keys.count * sizeof(Variant), fromChunk);
  MapPayload* map = new (block) MapPayload();
  map->fromChunk = fromChunk;
  std::uninitialized_value_construct_n(map->Values(), keys.count);
  map->count = map->capacity = keys.count;
  map->keySource = &keys;
  ++keys.holders;
  return map;
}

Variant::MapPayload* Variant::MapPayload::CopyOf(const MapPayload& shared) {
  MapPayload* copy = Make(shared.count);
  try {
    copy->className = shared.className;
    copy->isArray = shared.isArray;
    const Child* keys = shared.Keys();
    for (; copy->count < shared.count; ++copy->count) {
      new (copy->Items() + copy->count) Child(keys[copy->count].first, shared.ValueAt(copy->count));
    }
  } catch (...) {
    Free(copy);
    throw;
  }
  return copy;
}

Variant::MapPayload* Variant::MapPayload::Grow(MapPayload* map, size_t capacity) {
  MapPayload* grown = Make(capacity);
  grown->className = std::move(map->className);
  grown->isArray = map->isArray;
  std::uninitialized_move(map->Items(), map->Items() + map->count, grown->Items());
  grown->count = map->count;
  Free(map);
  return grown;
}

template <typename Slot, typename ValueOf>
void Variant::MapPayload::DestroyFrom(Slot* slots, size_t count, ValueOf valueOf) {
  // The children's payloads were made long ago and are seldom in the cache: each is asked for
  // a few children ahead, so that its load overlaps the release of the ones before it. A map's
  // header and first children take a few cache lines.
  constexpr size_t kAhead = 8;
  constexpr size_t kLine = 64;
  const auto prefetch = [&](size_t i) {
    const Variant& value = valueOf(slots[i]);
    if (value.HasPayload()) {
      const char* payload = reinterpret_cast<const char*>(value.m_value.payload);
      __builtin_prefetch(payload);
      if (value.IsMap()) {
        __builtin_prefetch(payload + kLine);
        __builtin_prefetch(payload + 2 * kLine);
      }
    }
  };
  for (size_t i = 0; i < count && i < kAhead; ++i) {
    prefetch(i);
  }
  for (size_t i = 0; i < count; ++i) {
    if (i + kAhead < count) {
      prefetch(i + kAhead);
    }
    slots[i].~Slot();
  }
}

void Variant::MapPayload::Free(MapPayload* map) {
  if (map->Sealed()) {
    DestroyFrom<Variant>(map->Values(), map->count, [](const Variant& value) -> const Variant& { return value; });
    MapPayload* const keys = map->keySource;
    if (--keys->holders == 0) {
      Free(keys);
    }
  } else {
    DestroyFrom<Child>(map->Items(), map->count, [](const Child& child) -> const Variant& { return child.second; });
  }
  map->count = 0;
  const bool fromChunk = map->fromChunk;
  map->~MapPayload();
  PayloadArena::Free(map, fromChunk);
}

Variant::Child& Variant::MapPayload::InsertAt(size_t position, const std::string& key) {
  Child* items = Items();
  if (position == count) {
    new (items + count) Child(key, Variant());
    ++count;
    return items[position];
  }
  // The last child moves into the free place, the others one place up, then the new one
  // takes `position`.
  new (items + count) Child(std::move(items[count - 1]));
  ++count;
  std::move_backward(items + position, items + count - 2, items + count - 1);
  items[position].second.Reset();
  items[position].first = key;
  return items[position];
}

void Variant::MapPayload::Truncate(size_t kept) {
  Child* items = Items();
  for (size_t i = kept; i < count; ++i) {
    items[i].~Child();
  }
  if (kept < count) {
    count = static_cast<uint32_t>(kept);
  }
}
