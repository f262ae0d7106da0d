#include "common/ScopedGdiplus.h"

#include <utility>

#include "common/GdiplusInclude.h"

ScopedGdiplus::ScopedGdiplus() {
  const Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok) m_token = 0;
}

ScopedGdiplus::~ScopedGdiplus() { Shutdown(); }

ScopedGdiplus::ScopedGdiplus(ScopedGdiplus&& other) noexcept : m_token(std::exchange(other.m_token, 0)) {}

ScopedGdiplus& ScopedGdiplus::operator=(ScopedGdiplus&& other) noexcept {
  if (this != &other) {
    Shutdown();
    m_token = std::exchange(other.m_token, 0);
  }
  return *this;
}

void ScopedGdiplus::Shutdown() {
  if (m_token) Gdiplus::GdiplusShutdown(std::exchange(m_token, 0));
}
