#include "sharedobject/MapBuilder.h"

#include <new>
#include <utility>
#include <vector>

#include "sharedobject/KeyOrder.h"
#include "sharedobject/VariantPayload.h"

namespace {

// Up to this many children are sorted in place; more move to a new block in key order.
constexpr size_t kSortInPlaceLimit = 16;

}  // namespace

MapBuilder::MapBuilder(Variant& map, size_t room)
    : map_(map), built_(std::move(map)), payload_(&built_.MapWithRoom(room)) {}

MapBuilder::MapBuilder(Variant& map, const Variant& model) : map_(map), built_(std::move(map)) {
  built_.Hold(model.GetKind() == Variant::Kind::TypedMap ? Variant::Kind::TypedMap : Variant::Kind::Map,
              model.IsMap() ? Variant::MapPayload::CopyOf(model.Map()) : Variant::MapPayload::Make(0));
  payload_ = static_cast<Variant::MapPayload*>(built_.value_.payload);
}

MapBuilder::~MapBuilder() {
  if (!ordered_) {
    PutInOrder();
  }
  map_ = std::move(built_);
}

void MapBuilder::PutInOrder() {
  Variant::Child* first = payload_->Items();
  const size_t count = payload_->count;
  if (count <= kSortInPlaceLimit) {
    payload_->Truncate(SortFewByKey(first, first + count));
    return;
  }
  // Read at random, written in sequence: the children a few places ahead are asked for early.
  const std::vector<size_t> positions = KeyOrder(first, count);
  Variant::MapPayload* sorted = Variant::MapPayload::Make(positions.size());
  sorted->className = std::move(payload_->className);
  sorted->isArray = payload_->isArray;
  constexpr size_t kAhead = 8;
  for (size_t i = 0; i < positions.size(); ++i) {
    if (i + kAhead < positions.size()) {
      __builtin_prefetch(first + positions[i + kAhead]);
    }
    new (sorted->Items() + i) Variant::Child(std::move(first[positions[i]]));
    sorted->count = static_cast<uint32_t>(i + 1);
  }
  Variant::MapPayload::Free(payload_);
  built_.value_.payload = payload_ = sorted;
}

Variant& MapBuilder::At(size_t index) { return payload_->Items()[index].second; }

void MapBuilder::SetClassName(const Variant& name) {
  built_.SetClassName(name);
  payload_ = &built_.EnsureMap();
}

Variant& MapBuilder::Add(const std::string& key) {
  if (payload_->count == payload_->capacity) {
    payload_ = &built_.MapWithRoom(1);
  }
  const size_t count = payload_->count;
  if (count != 0 && !(payload_->Items()[count - 1].first < key)) {
    ordered_ = false;
  }
  return payload_->InsertAt(count, key).second;
}
