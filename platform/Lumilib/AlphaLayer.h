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
  // A layer with its own bitmap, which may be kept (a scaled picture).
  explicit CAlphaLayer(const RECT& area);
  // A layer for one drawing only: it borrows the top-left part of the thread's scratch bitmap
  // (grown as needed) unless that is in use already, and gives it back when it goes.
  enum class Transient { kScratch };
  CAlphaLayer(const RECT& area, Transient);
  ~CAlphaLayer();
  // Frees this thread's scratch bitmap unless a layer borrows it; the next transient layer
  // makes it again. For a window that lets its drawing go while it waits.
  static void ReleaseScratch();
  CAlphaLayer(const CAlphaLayer&) = delete;
  CAlphaLayer& operator=(const CAlphaLayer&) = delete;

  bool IsValid() const { return m_bits != nullptr; }
  HDC GetDC() const { return m_dc; }
  // Rows of Stride() pixels; a layer of its own has Stride() == Width().
  uint32_t* Bits() const { return m_bits; }
  int Stride() const { return m_stride; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }

  // Every pixel the same premultiplied colour.
  void Fill(uint32_t argb);
  // GDI drew white on the cleared layer: turns each pixel's brightness into coverage of `argb`.
  void CoverageToColor(uint32_t argb);
  // Source-over onto the target at the area's top-left corner.
  void BlendOnto(HDC target) const;
  // Copied onto the target there, alpha and all: what source-over comes to for an opaque layer.
  void CopyOnto(HDC target) const;
  // Source-over of the part of the layer that lands on `part` (target coordinates) when the
  // layer's top-left corner is put at `origin`.
  void BlendPart(HDC target, POINT origin, const RECT& part) const;

private:
  bool MakeOwn();
  template <class Change>
  void ForEachPixel(Change change);

  RECT m_area;
  int m_width = 0;
  int m_height = 0;
  int m_stride = 0;
  uint32_t* m_bits = nullptr;
  HDC m_dc = nullptr;
  ScopedMemoryDc m_ownDc;
  ScopedBitmap m_ownBitmap;
  HGDIOBJ m_previous = nullptr;
  bool m_borrowed = false;
};

// The part of `rc` that drawing on `dc` can reach (its clip box); empty when none.
RECT VisiblePart(HDC dc, const RECT& rc);

// argb with its colour channels multiplied by `alpha` (0-255), as premultiplied bitmaps keep it.
uint32_t Premultiply(uint32_t argb, unsigned alpha);

}  // namespace Lumi
