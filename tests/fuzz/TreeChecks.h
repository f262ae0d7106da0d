// Checks that hold for every value the decoders produce, whatever the input: the fuzz targets
// run them on each result and stop (a crash the fuzzer records) when one fails.
#pragma once

#include <cstddef>

#include "sharedobject/AMFLimits.h"
#include "sharedobject/Variant.h"
#include "tests/fuzz/FuzzCheck.h"

// `value` and all its descendants: only the kinds the decoders make, maps consistent, times
// within their range, the tree no taller than the depth bound allows (`extraLevels` for the
// holders above a decoded value, such as a file's root), and no more output held than the
// bound lets the decoders charge (both with room for the maps that hold sealed members). When its dump is of reasonable size, the dump is written
// and read back: one line per descendant, each with exactly two tabs. Gives a bound of the
// dump's size in bytes.
size_t CheckDecodedTree(const Variant& value, const AMFLimits& limits, size_t extraLevels);

// What a caller sees of `value`, as the output bound counts it: kValueCost for every value, its
// text, class name and the keys of its children, descendants included (through every reference).
size_t VisibleBytes(const Variant& value);
