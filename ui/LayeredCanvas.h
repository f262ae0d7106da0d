// The picture a layered window hands to UpdateLayeredWindow, kept between redraws so that a
// redraw paints only what changed: a 32-bit top-down premultiplied bitmap in a memory context.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/ScopedGdi.h"

class CLayeredCanvas {
public:
  CLayeredCanvas() = default;
  ~CLayeredCanvas();
  CLayeredCanvas(const CLayeredCanvas&) = delete;
  CLayeredCanvas& operator=(const CLayeredCanvas&) = delete;

  // Makes the bitmap anew (transparent) unless it already has this size; true when it did,
  // since then all of it is to be painted.
  bool Fit(HDC reference, SIZE size);
  void Release();

  bool IsValid() const { return m_bits != nullptr; }
  HDC GetDC() const { return m_dc.Get(); }
  SIZE Size() const { return m_size; }

  // Every pixel of the rectangle transparent (0), or its alpha made 255.
  void Clear(const RECT& rc);
  void MakeOpaque(const RECT& rc);

private:
  template <class Change>
  void ForEachRow(const RECT& rc, Change change);

  ScopedMemoryDc m_dc;
  ScopedBitmap m_bitmap;
  std::optional<ScopedSelection> m_selection;  // declared last: undone first
  uint32_t* m_bits = nullptr;
  SIZE m_size = {0, 0};
};
