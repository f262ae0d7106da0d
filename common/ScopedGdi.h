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

// A 32-bit top-down bitmap (alpha in the high byte), as layered windows and alpha blending
// need it; `bits` receives its zeroed pixels.
inline ScopedBitmap CreateArgbBitmap(HDC dc, int width, int height, void** bits = nullptr) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  ScopedBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (bits) *bits = bitmap ? pixels : nullptr;
  return bitmap;
}

// A window's device context (the screen's without a window), released when the object goes.
class WindowDc {
public:
  explicit WindowDc(HWND window = nullptr) : m_window(window), m_dc(::GetDC(window)) {}
  ~WindowDc() {
    if (m_dc) ::ReleaseDC(m_window, m_dc);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return m_dc; }

private:
  HWND m_window;
  HDC m_dc;
};
using ScreenDc = WindowDc;

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
