#include "sharedobject/KeyOrder.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

namespace {

using Child = Variant::Child;

bool KeyBelow(const Child& a, const Child& b) { return a.first < b.first; }

// A child's place in the sort: the first eight bytes of its key as a number (most keys differ
// there, and comparing numbers costs no call) and where it stands now.
struct SortKey {
  uint64_t prefix;
  size_t position;
};

uint64_t KeyPrefix(const std::string& key) {
  uint64_t prefix = 0;
  for (size_t i = 0; i < 8; ++i) {
    prefix = prefix << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0);
  }
  return prefix;
}

// Sorts by prefix one byte at a time from the last, each pass keeping the order of equal bytes
// (a radix sort): eight passes over the keys at most, none for a byte all keys share.
void SortByPrefix(std::vector<SortKey>& order) {
  std::vector<SortKey> sorted(order.size());
  for (int shift = 0; shift < 64; shift += 8) {
    size_t starts[257] = {};
    for (const SortKey& key : order) {
      ++starts[(key.prefix >> shift & 0xFF) + 1];
    }
    if (starts[(order.front().prefix >> shift & 0xFF) + 1] == order.size()) {
      continue;
    }
    for (size_t byte = 1; byte < 257; ++byte) {
      starts[byte] += starts[byte - 1];
    }
    for (const SortKey& key : order) {
      sorted[starts[key.prefix >> shift & 0xFF]++] = key;
    }
    order.swap(sorted);
  }
}

}  // namespace

size_t SortFewByKey(Child* first, Child* last) {
  if (first == last) {
    return 0;
  }
  // By insertion, which keeps the children under one key in the order they came.
  for (Child* next = first + 1; next < last; ++next) {
    Child moving = std::move(*next);
    Child* place = next;
    for (; place != first && KeyBelow(moving, place[-1]); --place) {
      *place = std::move(place[-1]);
    }
    *place = std::move(moving);
  }
  // Of the children under one key, now adjacent, the last moves to the front.
  Child* kept = first;
  for (Child* child = first + 1; child < last; ++child) {
    if (child->first != kept->first) {
      ++kept;
    }
    if (kept != child) {
      *kept = std::move(*child);
    }
  }
  return static_cast<size_t>(kept - first) + 1;
}

std::vector<size_t> KeyOrder(const Child* first, size_t count) {
  std::vector<SortKey> order(count);
  for (size_t i = 0; i < count; ++i) {
    order[i] = SortKey{KeyPrefix(first[i].first), i};
  }
  if (count > 1) {
    SortByPrefix(order);
  }
  // Keys that share their first eight bytes are ordered by the rest, each run keeping the
  // order in which the children came.
  for (auto run = order.begin(); run != order.end();) {
    const auto end = std::find_if(run, order.end(), [run](const SortKey& key) { return key.prefix != run->prefix; });
    if (end - run > 1) {  // std::stable_sort takes a buffer even for one key
      std::stable_sort(run, end, [first](const SortKey& a, const SortKey& b) {
        return first[a.position].first < first[b.position].first;
      });
    }
    run = end;
  }
  std::vector<size_t> positions;
  positions.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const bool replacedLater = i + 1 < count && order[i + 1].prefix == order[i].prefix &&
                               first[order[i + 1].position].first == first[order[i].position].first;
    if (!replacedLater) {
      positions.push_back(order[i].position);
    }
  }
  return positions;
}
