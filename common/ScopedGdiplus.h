// GDI+ for as long as the object lives: started when it is made, shut down once when it goes.
// Every GDI+ object of its users must be gone by then.
#pragma once

#include <windows.h>

class ScopedGdiplus {
public:
  // Starts GDI+ (version 1, no debug callback, its background thread and codecs as they are).
  ScopedGdiplus();
  ~ScopedGdiplus();
  ScopedGdiplus(const ScopedGdiplus&) = delete;
  ScopedGdiplus& operator=(const ScopedGdiplus&) = delete;
  ScopedGdiplus(ScopedGdiplus&& other) noexcept;
  ScopedGdiplus& operator=(ScopedGdiplus&& other) noexcept;

  bool IsStarted() const { return m_token != 0; }

private:
  void Shutdown();

  ULONG_PTR m_token = 0;
};
