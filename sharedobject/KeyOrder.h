// The key order of a map's children as a MapBuilder appended them: in ascending byte order of
// the keys, and of the children under one key only the one added last. Windows-free.
#pragma once

#include <cstddef>
#include <vector>

#include "sharedobject/Variant.h"

// Sorts a few children in place; gives how many stay at the front (the rest are moved from).
size_t SortFewByKey(Variant::Child* first, Variant::Child* last);

// The positions of the children to keep, in key order; for any number of children, in time
// linear in their number but for keys that share their first eight bytes.
std::vector<size_t> KeyOrder(const Variant::Child* first, size_t count);
