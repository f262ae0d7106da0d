#include "ui/LayeredCanvas.h"

#include <algorithm>
#include <utility>

CLayeredCanvas::~CLayeredCanvas() { Release(); }

bool CLayeredCanvas::Fit(HDC reference, SIZE size) {
  if (m_bits && m_size.cx == size.cx && m_size.cy == size.cy) return false;
  Release();
  if (size.cx <= 0 || size.cy <= 0) return true;
  void* bits = nullptr;
  ScopedBitmap bitmap = CreateArgbBitmap(reference, size.cx, size.cy, &bits);
  ScopedMemoryDc dc(::CreateCompatibleDC(reference));
  if (!bitmap || !dc || !bits) return true;
  m_selection.emplace(dc.Get(), bitmap.Get());
  m_dc = std::move(dc);
  m_bitmap = std::move(bitmap);
  m_bits = static_cast<uint32_t*>(bits);
  m_size = size;
  return true;
}

void CLayeredCanvas::Release() {
  m_selection.reset();  // the bitmap leaves its context before either goes
  m_dc.Reset();
  m_bitmap.Reset();
  m_bits = nullptr;
  m_size = SIZE{0, 0};
}

template <class Change>
void CLayeredCanvas::ForEachRow(const RECT& rc, Change change) {
  if (!m_bits) return;
  const RECT bounds = {0, 0, m_size.cx, m_size.cy};
  RECT part = {};
  if (!::IntersectRect(&part, &rc, &bounds)) return;
  ::GdiFlush();  // GDI may still be drawing into the pixels
  for (LONG y = part.top; y < part.bottom; ++y) {
    uint32_t* row = m_bits + static_cast<size_t>(y) * m_size.cx;
    change(row + part.left, row + part.right);
  }
}

void CLayeredCanvas::Clear(const RECT& rc) {
  ForEachRow(rc, [](uint32_t* first, uint32_t* last) { std::fill(first, last, 0u); });
}

void CLayeredCanvas::MakeOpaque(const RECT& rc) {
  ForEachRow(rc, [](uint32_t* first, uint32_t* last) {
    for (uint32_t* pixel = first; pixel != last; ++pixel) *pixel |= 0xFF000000u;
  });
}
