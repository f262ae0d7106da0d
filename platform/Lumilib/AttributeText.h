// Reading the values of skin attributes: number lists, "#AARRGGBB" colours and flags.
// Windows-free, so that it is tested natively too.
#pragma once

#include <cstdint>

namespace Lumi {

// Reads exactly `count` comma-separated integers ("10,8,10,0"); false (and `out` untouched)
// when the text has fewer, more or something else.
bool ParseIntList(const wchar_t* text, int* out, int count);

// Reads "#AARRGGBB", or "#RRGGBB" as an opaque colour; false for anything else.
bool ParseColor(const wchar_t* text, uint32_t* argb);

// "true" and "1" are true; everything else is false.
bool ParseFlag(const wchar_t* text);

}  // namespace Lumi
