#include "platform/Lumilib/AlphaLayer.h"

#include <algorithm>

namespace Lumi {

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
  if (m_width <= 0 || m_height <= 0) return;
  void* bits = nullptr;
  m_bitmap = CreateArgbBitmap(nullptr, m_width, m_height, &bits);
  m_dc.Reset(::CreateCompatibleDC(nullptr));
  if (!m_bitmap || !m_dc || !bits) return;
  m_previous = ::SelectObject(m_dc.Get(), m_bitmap.Get());
  m_bits = static_cast<uint32_t*>(bits);  // CreateDIBSection hands out zeroed memory
}

CAlphaLayer::~CAlphaLayer() {
  if (m_previous) ::SelectObject(m_dc.Get(), m_previous);
}

void CAlphaLayer::Fill(uint32_t argb) {
  if (!m_bits) return;
  std::fill(m_bits, m_bits + static_cast<size_t>(m_width) * m_height, Premultiply(argb, 255));
}

void CAlphaLayer::CoverageToColor(uint32_t argb) {
  if (!m_bits) return;
  ::GdiFlush();
  const size_t count = static_cast<size_t>(m_width) * m_height;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t pixel = m_bits[i];
    const unsigned coverage = std::max({(pixel >> 16) & 0xFFu, (pixel >> 8) & 0xFFu, pixel & 0xFFu});
    m_bits[i] = coverage ? Premultiply(argb, coverage) : 0;
  }
}

void CAlphaLayer::BlendOnto(HDC target) const {
  if (!m_bits) return;
  ::GdiFlush();
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::GdiAlphaBlend(target, m_area.left, m_area.top, m_width, m_height, m_dc.Get(), 0, 0, m_width, m_height,
                  blend);
}

}  // namespace Lumi
