// Skins are designed at 96 dpi: the arithmetic that turns their pixels into a display's, and
// the choice of the picture drawn for it. Windows-free, so that it is tested natively too.
#pragma once

#include <string>

namespace Lumi {

constexpr unsigned kDesignDpi = 96;
// 500 %, the largest scale Windows offers; anything above is no display's.
constexpr unsigned kMaxDpi = 480;

// Below 96 (0 included) gives 96, above kMaxDpi gives kMaxDpi.
unsigned ClampDpi(unsigned dpi);

// value * dpi / 96, rounded half away from zero as MulDiv rounds; kept within int.
int ScaleByDpi(int value, unsigned dpi);

// Above 125 % the pictures drawn at twice their design size are the sharper choice.
bool WantsDoubleArt(unsigned dpi);

// The name of a picture's 2x file beside it: "dir/name.png" -> "dir/name@2x.png"; a name
// without an extension gets "@2x" at its end.
std::wstring DoubleArtPath(const std::wstring& path);

}  // namespace Lumi
