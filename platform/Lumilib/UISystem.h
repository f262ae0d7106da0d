// Process-wide state of the UI library: the module instance, the skin folder and
// the factory for controls that skins name but the library does not know.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

namespace Lumi {

class CControlUI;
using LPCREATECONTROL = CControlUI* (*)(const wchar_t* className);

class CUISystem {
public:
  static CUISystem& GetInstance();

  void SetInstance(HINSTANCE instance);
  HINSTANCE GetModuleInstance() const;

  // Skin files are looked up relative to this folder; it is kept with a trailing separator.
  void SetResourcePath(const wchar_t* path);
  std::wstring GetResourcePath() const;

  void SetControlCreator(LPCREATECONTROL creator);
  // The factory handed to every dialog build; null means only the library's own controls.
  LPCREATECONTROL GetControlCreator() const;

private:
  CUISystem() = default;

  mutable std::mutex m_mutex;
  HINSTANCE m_instance = nullptr;
  std::wstring m_resourcePath;
  LPCREATECONTROL m_controlCreator = nullptr;
};

}  // namespace Lumi
