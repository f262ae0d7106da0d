#include "platform/Lumilib/UISystem.h"

namespace Lumi {

CUISystem& CUISystem::GetInstance() {
  static CUISystem system;
  return system;
}

void CUISystem::SetInstance(HINSTANCE instance) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_instance = instance;
}

HINSTANCE CUISystem::GetModuleInstance() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_instance ? m_instance : ::GetModuleHandleW(nullptr);
}

void CUISystem::SetResourcePath(const wchar_t* path) {
  std::wstring folder = path ? path : L"";
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  std::lock_guard<std::mutex> lock(m_mutex);
  m_resourcePath = folder;
}

std::wstring CUISystem::GetResourcePath() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_resourcePath;
}

void CUISystem::SetControlCreator(LPCREATECONTROL creator) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_controlCreator = creator;
}

LPCREATECONTROL CUISystem::GetControlCreator() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_controlCreator;
}

}  // namespace Lumi
