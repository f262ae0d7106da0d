// Owners of GDI objects and device contexts: each gives back what it holds exactly once.
#pragma once

#include <windows.h>

#include "common/ScopedWin.h"

template <typename T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
using ScopedBitmap = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using ScopedPen = ScopedHandle<GdiObjectTraits<HPEN>>;

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};
using ScopedMemoryDc = ScopedHandle<MemoryDcTraits>;

// The screen's device context, released when the object goes.
class ScreenDc {
public:
  ScreenDc() : m_dc(::GetDC(nullptr)) {}
  ~ScreenDc() {
    if (m_dc) ::ReleaseDC(nullptr, m_dc);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return m_dc; }

private:
  HDC m_dc;
};

// An object selected into a device context; the previous one is put back when this goes.
class ScopedSelection {
public:
  ScopedSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
  ~ScopedSelection() {
    if (IsValid()) ::SelectObject(m_dc, m_previous);
  }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;
  bool IsValid() const { return m_previous != nullptr && m_previous != HGDI_ERROR; }

private:
  HDC m_dc;
  HGDIOBJ m_previous;
};
