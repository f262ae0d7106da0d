#include "common/ModulePath.h"

#include "common/PathText.h"

std::wstring ModuleFilePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(path, length);
}

std::wstring ModuleFolderWithSeparator(HMODULE module) {
  return FolderOf(ModuleFilePath(module));
}
