// Alpha-correct drawing of the three things controls are made of: colour, picture and text.
// Each draws only the part of its rectangle within the target's clip box, so that a repaint of
// a small area costs that area.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace Gdiplus {
class Bitmap;
}

namespace Lumi {

class CAlphaLayer;

void FillColor(HDC dc, const RECT& rc, uint32_t argb);
// A picture already scaled to the rectangle's size (ScalePicture), put at its top-left corner.
void DrawScaledPicture(HDC dc, const RECT& rc, const CAlphaLayer& scaled);
// The picture stretched to width x height with high-quality filtering; null when it fails.
std::unique_ptr<CAlphaLayer> ScalePicture(Gdiplus::Bitmap* picture, int width, int height);
// One line of text; `format` takes DrawText's DT_ alignment and DT_END_ELLIPSIS flags.
void DrawTextLine(HDC dc, const RECT& rc, const wchar_t* text, HFONT font, uint32_t argb, UINT format);

}  // namespace Lumi
