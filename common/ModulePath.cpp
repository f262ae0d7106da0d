#include "common/ModulePath.h"

std::wstring ModuleFilePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(path, length);
}

std::wstring ModuleFolderWithSeparator(HMODULE module) {
  const std::wstring path = ModuleFilePath(module);
  const size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return std::wstring();
  return path.substr(0, slash + 1);
}
