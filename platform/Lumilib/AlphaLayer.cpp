#include "platform/Lumilib/AlphaLayer.h"

#include <algorithm>

namespace Lumi {

namespace {

// One per thread, grown to the largest layer asked for: a bitmap for each drawing would cost
// more than the drawing.
class CScratchBitmap {
public:
  ~CScratchBitmap() { Deselect(); }
  // The bitmap, at least width x height, or false.
  bool Borrow(int width, int height) {
    if (m_inUse) return false;
    if (width > m_width || height > m_height) Grow(std::max(width, m_width), std::max(height, m_height));
    if (!m_bits) return false;
    m_inUse = true;
    return true;
  }
  void GiveBack() { m_inUse = false; }
  void Release() {
    if (m_inUse) return;
    Deselect();
    m_bitmap.Reset();
    m_dc.Reset();
  }
  HDC GetDC() const { return m_dc.Get(); }
  uint32_t* Bits() const { return m_bits; }
  int Width() const { return m_width; }

private:
  // The DC gets its own bitmap back; the bits are no longer ours to hand out.
  void Deselect() {
    if (m_previous) ::SelectObject(m_dc.Get(), m_previous);
    m_previous = nullptr;
    m_bits = nullptr;
    m_width = m_height = 0;
  }
  void Grow(int width, int height) {
    Deselect();
    void* bits = nullptr;
    m_bitmap = CreateArgbBitmap(nullptr, width, height, &bits);
    if (!m_dc) m_dc.Reset(::CreateCompatibleDC(nullptr));
    if (!m_bitmap || !m_dc || !bits) return;
    m_previous = ::SelectObject(m_dc.Get(), m_bitmap.Get());
    m_bits = static_cast<uint32_t*>(bits);
    m_width = width;
    m_height = height;
  }

  ScopedMemoryDc m_dc;
  ScopedBitmap m_bitmap;
  HGDIOBJ m_previous = nullptr;
  uint32_t* m_bits = nullptr;
  int m_width = 0;
  int m_height = 0;
  bool m_inUse = false;
};

CScratchBitmap& Scratch() {
  thread_local CScratchBitmap scratch;
  return scratch;
}

}  // namespace

RECT VisiblePart(HDC dc, const RECT& rc) {
  RECT box = {};
  RECT visible = {};
  const int kind = ::GetClipBox(dc, &box);
  if (kind == ERROR) return rc;
  if (kind == NULLREGION || !::IntersectRect(&visible, &rc, &box)) return RECT{};
  return visible;
}

uint32_t Premultiply(uint32_t argb, unsigned alpha) {
  const unsigned a = ((argb >> 24) & 0xFF) * alpha / 255;
  const unsigned r = ((argb >> 16) & 0xFF) * a / 255;
  const unsigned g = ((argb >> 8) & 0xFF) * a / 255;
  const unsigned b = (argb & 0xFF) * a / 255;
  return (a << 24) | (r << 16) | (g << 8) | b;
}

CAlphaLayer::CAlphaLayer(const RECT& area) : m_area(area) {
  m_width = area.right - area.left;
  m_height = area.bottom - area.top;
  MakeOwn();
}

CAlphaLayer::CAlphaLayer(const RECT& area, Transient) : m_area(area) {
  m_width = area.right - area.left;
  m_height = area.bottom - area.top;
  if (m_width <= 0 || m_height <= 0) return;
  if (!Scratch().Borrow(m_width, m_height)) {
    MakeOwn();
    return;
  }
  m_borrowed = true;
  m_dc = Scratch().GetDC();
  m_stride = Scratch().Width();
  m_bits = Scratch().Bits();
  ::GdiFlush();
  ForEachPixel([](uint32_t& pixel) { pixel = 0; });  // as a bitmap of its own starts
}

bool CAlphaLayer::MakeOwn() {
  if (m_width <= 0 || m_height <= 0) return false;
  void* bits = nullptr;
  m_ownBitmap = CreateArgbBitmap(nullptr, m_width, m_height, &bits);
  m_ownDc.Reset(::CreateCompatibleDC(nullptr));
  if (!m_ownBitmap || !m_ownDc || !bits) return false;
  m_previous = ::SelectObject(m_ownDc.Get(), m_ownBitmap.Get());
  m_dc = m_ownDc.Get();
  m_stride = m_width;
  m_bits = static_cast<uint32_t*>(bits);  // CreateDIBSection hands out zeroed memory
  return true;
}

void CAlphaLayer::ReleaseScratch() { Scratch().Release(); }

CAlphaLayer::~CAlphaLayer() {
  if (m_previous) ::SelectObject(m_ownDc.Get(), m_previous);
  if (m_borrowed) Scratch().GiveBack();
}

template <class Change>
void CAlphaLayer::ForEachPixel(Change change) {
  for (int y = 0; y < m_height; ++y) {
    uint32_t* row = m_bits + static_cast<size_t>(y) * m_stride;
    for (int x = 0; x < m_width; ++x) change(row[x]);
  }
}

void CAlphaLayer::Fill(uint32_t argb) {
  if (!m_bits) return;
  const uint32_t colour = Premultiply(argb, 255);
  ForEachPixel([colour](uint32_t& pixel) { pixel = colour; });
}

void CAlphaLayer::CoverageToColor(uint32_t argb) {
  if (!m_bits) return;
  ::GdiFlush();
  ForEachPixel([argb](uint32_t& pixel) {
    const unsigned coverage = std::max({(pixel >> 16) & 0xFFu, (pixel >> 8) & 0xFFu, pixel & 0xFFu});
    pixel = coverage ? Premultiply(argb, coverage) : 0;
  });
}

void CAlphaLayer::BlendOnto(HDC target) const {
  BlendPart(target, POINT{m_area.left, m_area.top}, m_area);
}

void CAlphaLayer::CopyOnto(HDC target) const {
  if (!m_bits) return;
  ::GdiFlush();
  ::BitBlt(target, m_area.left, m_area.top, m_width, m_height, m_dc, 0, 0, SRCCOPY);
}

void CAlphaLayer::BlendPart(HDC target, POINT origin, const RECT& part) const {
  if (!m_bits) return;
  const RECT placed = {origin.x, origin.y, origin.x + m_width, origin.y + m_height};
  RECT drawn = {};
  if (!::IntersectRect(&drawn, &placed, &part)) return;
  ::GdiFlush();
  const int width = drawn.right - drawn.left, height = drawn.bottom - drawn.top;
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::GdiAlphaBlend(target, drawn.left, drawn.top, width, height, m_dc, drawn.left - origin.x, drawn.top - origin.y,
                  width, height, blend);
}

}  // namespace Lumi
