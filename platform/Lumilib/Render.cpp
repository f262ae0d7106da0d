#include "platform/Lumilib/Render.h"

#include "platform/Lumilib/AlphaLayer.h"
#include "common/GdiplusInclude.h"

namespace Lumi {

void FillColor(HDC dc, const RECT& rc, uint32_t argb) {
  if ((argb >> 24) == 0) return;
  CAlphaLayer layer(rc);
  if (!layer.IsValid()) return;
  layer.Fill(argb);
  layer.BlendOnto(dc);
}

void DrawPicture(HDC dc, const RECT& rc, Gdiplus::Bitmap* picture) {
  if (!picture) return;
  CAlphaLayer layer(rc);
  if (!layer.IsValid()) return;
  {
    // GDI+ draws straight into the layer's premultiplied pixels.
    Gdiplus::Bitmap canvas(layer.Width(), layer.Height(), layer.Width() * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(layer.Bits()));
    Gdiplus::Graphics graphics(&canvas);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    // Stretched by an uneven factor, the filter reaches past the picture's edge: mirrored
    // pixels there keep the edge as opaque as the picture instead of fading it out.
    Gdiplus::ImageAttributes edges;
    edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    const Gdiplus::Rect target(0, 0, layer.Width(), layer.Height());
    graphics.DrawImage(picture, target, 0, 0, static_cast<INT>(picture->GetWidth()),
                       static_cast<INT>(picture->GetHeight()), Gdiplus::UnitPixel, &edges);
  }
  layer.BlendOnto(dc);
}

// GDI text leaves the alpha byte at 0, so it is drawn white on a cleared layer and its
// brightness becomes the coverage of the text colour.
void DrawTextLine(HDC dc, const RECT& rc, const wchar_t* text, HFONT font, uint32_t argb, UINT format) {
  if (!text || !*text || (argb >> 24) == 0) return;
  CAlphaLayer layer(rc);
  if (!layer.IsValid()) return;
  RECT inner = {0, 0, layer.Width(), layer.Height()};
  const HDC layerDc = layer.GetDC();
  const HGDIOBJ previousFont = font ? ::SelectObject(layerDc, font) : nullptr;
  ::SetBkMode(layerDc, TRANSPARENT);
  ::SetTextColor(layerDc, RGB(255, 255, 255));
  ::DrawTextW(layerDc, text, -1, &inner, format | DT_SINGLELINE | DT_NOPREFIX);
  if (previousFont) ::SelectObject(layerDc, previousFont);
  layer.CoverageToColor(argb);
  layer.BlendOnto(dc);
}

}  // namespace Lumi
