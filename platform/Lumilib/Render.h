// Alpha-correct drawing of the three things controls are made of: colour, picture and text.
#pragma once

#include <windows.h>

#include <cstdint>

namespace Gdiplus {
class Bitmap;
}

namespace Lumi {

void FillColor(HDC dc, const RECT& rc, uint32_t argb);
// Stretches the picture over the rectangle.
void DrawPicture(HDC dc, const RECT& rc, Gdiplus::Bitmap* picture);
// One line of text; `format` takes DrawText's DT_ alignment and DT_END_ELLIPSIS flags.
void DrawTextLine(HDC dc, const RECT& rc, const wchar_t* text, HFONT font, uint32_t argb, UINT format);

}  // namespace Lumi
