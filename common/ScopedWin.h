// Move-only owners of Win32 handles: each releases its handle exactly once.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class ScopedHandle {
public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : m_handle(handle) {}
  ~ScopedHandle() { Reset(); }

  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const { return m_handle; }
  bool IsValid() const { return Traits::IsValid(m_handle); }
  explicit operator bool() const { return IsValid(); }

  Handle Release() {
    Handle handle = m_handle;
    m_handle = Traits::Invalid();
    return handle;
  }
  void Reset(Handle handle = Traits::Invalid()) {
    if (Traits::IsValid(m_handle)) Traits::Close(m_handle);
    m_handle = handle;
  }
  // For out-parameters of Win32 calls: releases the old handle first.
  Handle* Receive() {
    Reset();
    return &m_handle;
  }

private:
  Handle m_handle = Traits::Invalid();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::FindClose(h); }
};

struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};

struct LibraryTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};

struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DestroyMenu(h); }
};

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) {
    if (::IsWindow(h)) ::DestroyWindow(h);
  }
};

struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DestroyIcon(h); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedRegKey = ScopedHandle<RegKeyTraits>;
using ScopedLibrary = ScopedHandle<LibraryTraits>;
using ScopedMenu = ScopedHandle<MenuTraits>;
using ScopedWindow = ScopedHandle<WindowTraits>;
using ScopedIcon = ScopedHandle<IconTraits>;
