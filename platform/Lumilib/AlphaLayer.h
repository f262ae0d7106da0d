// A transparent 32-bit premultiplied bitmap over one rectangle of a target, blended onto the
// target when the drawing is done. Everything the library draws goes through one, so that what
// it paints has correct alpha on a 32-bit bitmap (opaque where drawn) as on a window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/ScopedGdi.h"

namespace Lumi {

class CAlphaLayer {
public:
  explicit CAlphaLayer(const RECT& area);
  ~CAlphaLayer();
  CAlphaLayer(const CAlphaLayer&) = delete;
  CAlphaLayer& operator=(const CAlphaLayer&) = delete;

  bool IsValid() const { return m_bits != nullptr; }
  HDC GetDC() const { return m_dc.Get(); }
  uint32_t* Bits() const { return m_bits; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }

  // Every pixel the same premultiplied colour.
  void Fill(uint32_t argb);
  // GDI drew white on the cleared layer: turns each pixel's brightness into coverage of `argb`.
  void CoverageToColor(uint32_t argb);
  // Source-over onto the target at the area's top-left corner.
  void BlendOnto(HDC target) const;

private:
  RECT m_area;
  int m_width = 0;
  int m_height = 0;
  uint32_t* m_bits = nullptr;
  ScopedMemoryDc m_dc;
  ScopedBitmap m_bitmap;
  HGDIOBJ m_previous = nullptr;
};

// argb with its colour channels multiplied by `alpha` (0-255), as premultiplied bitmaps keep it.
uint32_t Premultiply(uint32_t argb, unsigned alpha);

}  // namespace Lumi
