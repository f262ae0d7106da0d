#pragma once

#include <objbase.h>

// COM for the current thread for the lifetime of the object; uninitialised exactly once.
class ComScope {
public:
  ComScope() : m_result(::CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(m_result)) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool Succeeded() const { return SUCCEEDED(m_result); }

private:
  HRESULT m_result;
};
