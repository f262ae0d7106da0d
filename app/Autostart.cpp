#include "app/Autostart.h"

#include <windows.h>

#include <string>

#include "app/ClientLocations.h"
#include "common/ModulePath.h"
#include "common/PathText.h"
#include "common/ScopedWin.h"

namespace {

// "C:\prog\VXTailcast.exe" -> "VXTailcast"
std::wstring ValueNameOf(const std::wstring& executable) {
  std::wstring name = FileNameOf(executable);
  const size_t dot = name.find_last_of(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

}  // namespace

bool SetAutostart(bool enable) {
  const std::wstring executable = ModuleFilePath();
  if (executable.empty() || ::GetFileAttributesW(executable.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  const std::wstring valueName = ValueNameOf(executable);

  ScopedRegKey run;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, run.Receive()) != ERROR_SUCCESS) {
    run.Release();
    return false;
  }
  const LSTATUS removed = ::RegDeleteValueW(run.Get(), valueName.c_str());
  if (!enable) return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;

  const std::wstring command = L"\"" + executable + L"\" autostart";
  const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(run.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          bytes) == ERROR_SUCCESS;
}
