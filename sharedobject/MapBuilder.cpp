#include "sharedobject/MapBuilder.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <random>
#include <utility>
#include <vector>

#include "sharedobject/KeyOrder.h"
#include "sharedobject/VariantPayload.h"

namespace {

// Up to this many children are sorted in place; more move to a new block in key order.
constexpr size_t kSortInPlaceLimit = 16;

// A hash of the key under a seed drawn once per process, so that data cannot be made to put its
// keys in one chain of the index.
uint64_t Mixed(uint64_t value) {
  value ^= value >> 33;
  value *= 0xff51afd7ed558ccdULL;
  value ^= value >> 33;
  value *= 0xc4ceb9fe1a85ec53ULL;
  return value ^ (value >> 33);
}

uint64_t KeyHash(const std::string& key) {
  static const uint64_t seed = (uint64_t{std::random_device()()} << 32) ^ std::random_device()();
  uint64_t hash = Mixed(seed ^ key.size());
  size_t i = 0;
  for (; i + 8 <= key.size(); i += 8) {
    uint64_t word = 0;
    std::memcpy(&word, key.data() + i, 8);
    hash = Mixed(hash ^ word);
  }
  uint64_t tail = 0;
  std::memcpy(&tail, key.data() + i, key.size() - i);
  return Mixed(hash ^ tail);
}

}  // namespace

MapBuilder::MapBuilder(Variant& map, size_t room)
    : m_map(map), m_built(std::move(map)), m_payload(&m_built.MapWithRoom(room)) {}

MapBuilder::~MapBuilder() {
  if (!m_ordered) {
    PutInOrder();
  }
  m_map = std::move(m_built);
}

void MapBuilder::PutInOrder() {
  Variant::Child* first = m_payload->Items();
  const size_t count = m_payload->count;
  if (count <= kSortInPlaceLimit) {
    m_payload->Truncate(SortFewByKey(first, first + count));
    return;
  }
  // Read at random, written in sequence: the children a few places ahead are asked for early.
  const std::vector<size_t> positions = KeyOrder(first, count);
  Variant::MapPayload* sorted = Variant::MapPayload::Make(positions.size());
  sorted->className = std::move(m_payload->className);
  sorted->isArray = m_payload->isArray;
  constexpr size_t kAhead = 8;
  for (size_t i = 0; i < positions.size(); ++i) {
    if (i + kAhead < positions.size()) {
      __builtin_prefetch(first + positions[i + kAhead]);
    }
    new (sorted->Items() + i) Variant::Child(std::move(first[positions[i]]));
    sorted->count = static_cast<uint32_t>(i + 1);
  }
  Variant::MapPayload::Free(m_payload);
  m_built.m_value.payload = m_payload = sorted;
}

void MapBuilder::SetClassName(const Variant& name) {
  m_built.SetClassName(name);
  m_payload = &m_built.EnsureMap();
}

Variant& MapBuilder::Add(const std::string& key) {
  if (m_payload->count == m_payload->capacity) {
    m_payload = &m_built.MapWithRoom(1);
  }
  const size_t count = m_payload->count;
  if (count != 0 && !(m_payload->Items()[count - 1].first < key)) {
    m_ordered = false;
  }
  return m_payload->InsertAt(count, key).second;
}

Variant& MapBuilder::Into(const std::string& key) {
  Variant::Child* items = m_payload->Items();
  const size_t count = m_payload->count;
  if (count == 0 || (m_ordered && items[count - 1].first < key)) {
    return Add(key);
  }
  if (items[count - 1].first == key) {
    return items[count - 1].second;
  }
  size_t place = count;
  if (m_ordered) {
    // Every key once, in order, and the last after `key`.
    const auto below = [](const Variant::Child& child, const std::string& name) { return child.first < name; };
    const Variant::Child* found = std::lower_bound(items, items + count, key, below);
    if (found->first == key) {
      place = static_cast<size_t>(found - items);
    }
  } else if (count <= kSortInPlaceLimit) {
    for (size_t i = count; i-- > 0;) {
      if (items[i].first == key) {
        place = i;
        break;
      }
    }
  } else {
    place = IndexedPlace(key);
  }
  return place == count ? Add(key) : items[place].second;
}

size_t MapBuilder::IndexedPlace(const std::string& key) {
  while (m_indexed < m_payload->count) {
    IndexChild(m_indexed++);
  }
  const Variant::Child* items = m_payload->Items();
  const size_t mask = m_slots.size() - 1;
  for (size_t slot = KeyHash(key) & mask;; slot = (slot + 1) & mask) {
    if (m_slots[slot] == 0) {
      return m_payload->count;
    }
    if (items[m_slots[slot] - 1].first == key) {
      return m_slots[slot] - 1;
    }
  }
}

void MapBuilder::IndexChild(size_t index) {
  // At most half the slots are used, so that a probe ends soon at an empty one.
  if (2 * (m_used + 1) > m_slots.size()) {
    std::vector<uint32_t> old = std::move(m_slots);
    m_slots.assign(std::max<size_t>(64, old.size() * 2), 0);
    m_used = 0;
    m_indexed = 0;  // rebuilt from the children, for each key the one added last
    for (size_t i = 0; i < index; ++i) {
      IndexChild(i);
    }
    m_indexed = index + 1;
  }
  const Variant::Child* items = m_payload->Items();
  const std::string& key = items[index].first;
  const size_t mask = m_slots.size() - 1;
  for (size_t slot = KeyHash(key) & mask;; slot = (slot + 1) & mask) {
    if (m_slots[slot] == 0) {
      ++m_used;
    } else if (items[m_slots[slot] - 1].first != key) {
      continue;
    }
    m_slots[slot] = static_cast<uint32_t>(index + 1);
    return;
  }
}

void MapBuilder::ForgetIndex() {
  m_slots.clear();
  m_used = 0;
  m_indexed = 0;
}

void MapBuilder::TakeBackFailedRepeat() {
  const size_t last = m_payload->count - 1;
  const std::string& key = m_payload->Items()[last].first;
  for (size_t i = last; i-- > 0;) {
    if (m_payload->Items()[i].first == key) {
      TakeBackLast();
      return;
    }
  }
}

size_t MapBuilder::Size() const { return m_payload->count; }

void MapBuilder::TakeBackLast() {
  m_payload->Truncate(m_payload->count - 1);
  if (m_indexed > m_payload->count) {
    ForgetIndex();
  }
}

void MapBuilder::Drop(const std::vector<bool>& dropped) {
  Variant::Child* items = m_payload->Items();
  size_t kept = 0;
  for (size_t i = 0; i < m_payload->count; ++i) {
    if (!dropped[i]) {
      if (kept != i) {
        items[kept] = std::move(items[i]);
      }
      ++kept;
    }
  }
  m_payload->Truncate(kept);
  ForgetIndex();
}
