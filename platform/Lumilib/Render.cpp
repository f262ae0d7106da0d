#include "platform/Lumilib/Render.h"

#include "platform/Lumilib/AlphaLayer.h"
#include "common/GdiplusInclude.h"

namespace Lumi {

void FillColor(HDC dc, const RECT& rc, uint32_t argb) {
  if ((argb >> 24) == 0) return;
  CAlphaLayer layer(VisiblePart(dc, rc), CAlphaLayer::Transient::kScratch);
  if (!layer.IsValid()) return;
  layer.Fill(argb);
  if ((argb >> 24) == 0xFF) {
    layer.CopyOnto(dc);
  } else {
    layer.BlendOnto(dc);
  }
}

std::unique_ptr<CAlphaLayer> ScalePicture(Gdiplus::Bitmap* picture, int width, int height) {
  if (!picture || width <= 0 || height <= 0) return nullptr;
  auto layer = std::make_unique<CAlphaLayer>(RECT{0, 0, width, height});
  if (!layer->IsValid()) return nullptr;
  // GDI+ draws straight into the layer's premultiplied pixels.
  Gdiplus::Bitmap canvas(width, height, width * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(layer->Bits()));
  Gdiplus::Graphics graphics(&canvas);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  // Stretched by an uneven factor, the filter reaches past the picture's edge: mirrored
  // pixels there keep the edge as opaque as the picture instead of fading it out.
  Gdiplus::ImageAttributes edges;
  edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  const Gdiplus::Rect target(0, 0, width, height);
  if (graphics.DrawImage(picture, target, 0, 0, static_cast<INT>(picture->GetWidth()),
                         static_cast<INT>(picture->GetHeight()), Gdiplus::UnitPixel, &edges) != Gdiplus::Ok) {
    return nullptr;
  }
  return layer;
}

void DrawScaledPicture(HDC dc, const RECT& rc, const CAlphaLayer& scaled) {
  scaled.BlendPart(dc, POINT{rc.left, rc.top}, VisiblePart(dc, rc));
}

// GDI text leaves the alpha byte at 0, so it is drawn white on a cleared layer and its
// brightness becomes the coverage of the text colour. The layer covers only the visible part
// of the line; the text is laid out over the whole rectangle all the same.
void DrawTextLine(HDC dc, const RECT& rc, const wchar_t* text, HFONT font, uint32_t argb, UINT format) {
  if (!text || !*text || (argb >> 24) == 0) return;
  const RECT visible = VisiblePart(dc, rc);
  CAlphaLayer layer(visible, CAlphaLayer::Transient::kScratch);
  if (!layer.IsValid()) return;
  RECT inner = {rc.left - visible.left, rc.top - visible.top, rc.right - visible.left, rc.bottom - visible.top};
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
