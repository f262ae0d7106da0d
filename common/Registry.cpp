#include "common/Registry.h"

#include <vector>

#include "common/ScopedWin.h"
#include "common/TextConvert.h"

namespace {

ScopedRegKey OpenForReading(HKEY root, const std::wstring& subKey) {
  ScopedRegKey key;
  if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) key.Release();
  return key;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

}  // namespace

std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& subKey, const wchar_t* valueName) {
  const ScopedRegKey key = OpenForReading(root, subKey);
  if (!key) return std::nullopt;
  DWORD type = 0, bytes = 0;
  if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || !IsText(type)) {
    return std::nullopt;
  }
  // One spare character, so that a value stored without its NUL is still terminated.
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
  DWORD capacity = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &capacity) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buffer.data());
}

std::optional<std::string> ReadRegistryNarrowText(HKEY root, const std::wstring& subKey, const wchar_t* valueName) {
  const ScopedRegKey key = OpenForReading(root, subKey);
  if (!key) return std::nullopt;
  const std::string name = valueName ? WideToAnsi(valueName) : std::string();
  DWORD type = 0, bytes = 0;
  if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || !IsText(type)) {
    return std::nullopt;
  }
  std::vector<char> buffer(bytes + 2, '\0');
  DWORD capacity = static_cast<DWORD>(buffer.size() - 1);
  if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &capacity) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(buffer.data());
}

bool RegistryValueExists(HKEY root, const std::wstring& subKey, const wchar_t* valueName) {
  const ScopedRegKey key = OpenForReading(root, subKey);
  return key && ::RegQueryValueExW(key.Get(), valueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool WriteRegistryText(HKEY root, const std::wstring& subKey, const wchar_t* valueName, const std::wstring& text) {
  ScopedRegKey key;
  if (::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr) !=
      ERROR_SUCCESS) {
    key.Release();
    return false;
  }
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
         ERROR_SUCCESS;
}
