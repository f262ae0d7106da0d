// What a caller sees of a decoded value, as the decoders' output bound counts it (AMFLimits):
// every value kValueCost, every text, key and class name its bytes, and a value shared with
// others in full. The decoders measure what they charge as they go; this walk is for a map that
// a value decoded into after an earlier one had filled it (a key given twice), whose reference
// must show the whole. Windows-free.
#pragma once

#include <cstddef>

#include "sharedobject/Variant.h"

struct VisibleMeasure {
  size_t cost = 0;
  size_t height = 0;  // levels of maps: 0 for a scalar, 1 for a map of scalars
};

// Measures `value` (a tree within the nesting bound), walking at most `steps` values, which it
// counts down; false, with the measure unfinished, when they do not suffice.
bool MeasureVisible(const Variant& value, size_t& steps, VisibleMeasure& measure);
