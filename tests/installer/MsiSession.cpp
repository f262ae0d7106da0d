#include "tests/installer/MsiSession.h"

#include <msi.h>
#include <msiquery.h>

#include "common/Registry.h"
#include "common/ScopedWin.h"

namespace vxtest {

namespace {

constexpr DWORD kMsiexecTimeoutMs = 120000;

struct MsiHandleTraits {
  using Handle = MSIHANDLE;
  static Handle Invalid() { return 0; }
  static bool IsValid(Handle h) { return h != 0; }
  static void Close(Handle h) { ::MsiCloseHandle(h); }
};
using ScopedMsiHandle = ScopedHandle<MsiHandleTraits>;

std::optional<std::wstring> PropertyOf(MSIHANDLE database, const std::wstring& name) {
  const std::wstring query = L"SELECT `Value` FROM `Property` WHERE `Property` = '" + name + L"'";
  ScopedMsiHandle view;
  ScopedMsiHandle record;
  if (::MsiDatabaseOpenViewW(database, query.c_str(), view.Receive()) != ERROR_SUCCESS) return std::nullopt;
  if (::MsiViewExecute(view.Get(), 0) != ERROR_SUCCESS) return std::nullopt;
  if (::MsiViewFetch(view.Get(), record.Receive()) != ERROR_SUCCESS) return std::nullopt;
  wchar_t value[256] = {};
  DWORD size = 256;
  if (::MsiRecordGetStringW(record.Get(), 1, value, &size) != ERROR_SUCCESS) return std::nullopt;
  return std::wstring(value, size);
}

DWORD RunMsiexec(std::wstring commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return ERROR_FILE_NOT_FOUND;
  }
  ScopedKernelHandle process(info.hProcess);
  ScopedKernelHandle thread(info.hThread);
  if (::WaitForSingleObject(process.Get(), kMsiexecTimeoutMs) != WAIT_OBJECT_0) return ERROR_TIMEOUT;
  DWORD code = 0;
  ::GetExitCodeProcess(process.Get(), &code);
  return code;
}

}  // namespace

std::optional<PackageFacts> ReadPackageFacts(const std::wstring& package) {
  ScopedMsiHandle database;
  if (::MsiOpenDatabaseW(package.c_str(), MSIDBOPEN_READONLY, database.Receive()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const auto productCode = PropertyOf(database.Get(), L"ProductCode");
  const auto productVersion = PropertyOf(database.Get(), L"ProductVersion");
  const auto upgradeCode = PropertyOf(database.Get(), L"UpgradeCode");
  if (!productCode || !productVersion || !upgradeCode) return std::nullopt;
  return PackageFacts{*productCode, *productVersion, *upgradeCode};
}

DWORD InstallSilently(const std::wstring& package) { return RunMsiexec(L"msiexec.exe /i \"" + package + L"\" /qn"); }

DWORD UninstallSilently(const std::wstring& productCode) {
  return RunMsiexec(L"msiexec.exe /x " + productCode + L" /qn");
}

std::vector<std::wstring> InstalledProducts(const std::wstring& upgradeCode) {
  std::vector<std::wstring> products;
  wchar_t product[39] = {};
  for (DWORD index = 0; ::MsiEnumRelatedProductsW(upgradeCode.c_str(), 0, index, product) == ERROR_SUCCESS; ++index) {
    products.emplace_back(product);
  }
  return products;
}

std::wstring InstalledProductInfo(const std::wstring& productCode, const wchar_t* property) {
  wchar_t value[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (::MsiGetProductInfoW(productCode.c_str(), property, value, &size) != ERROR_SUCCESS) return L"";
  return std::wstring(value, size);
}

std::optional<ProgramsEntry> FindProgramsEntry(const std::wstring& productCode) {
  const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productCode;
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    const auto name = ReadRegistryText(root, key, L"DisplayName");
    if (!name) continue;
    return ProgramsEntry{*name, ReadRegistryText(root, key, L"DisplayVersion").value_or(L""),
                         ReadRegistryText(root, key, L"Publisher").value_or(L"")};
  }
  return std::nullopt;
}

}  // namespace vxtest
