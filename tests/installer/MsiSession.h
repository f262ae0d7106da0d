// The tests' side of Windows Installer: what a package file says about itself, msiexec runs,
// and what the system then knows of the installed products.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vxtest {

// From the package's Property table.
struct PackageFacts {
  std::wstring productCode;
  std::wstring productVersion;
  std::wstring upgradeCode;
};
std::optional<PackageFacts> ReadPackageFacts(const std::wstring& package);

// msiexec's exit code; ERROR_TIMEOUT when it did not end in time, ERROR_FILE_NOT_FOUND when
// it did not start.
DWORD InstallSilently(const std::wstring& package);
DWORD UninstallSilently(const std::wstring& productCode);

// The products installed with this upgrade code, and a property the installer keeps of one
// ("" when unknown): INSTALLPROPERTY_VERSIONSTRING, INSTALLPROPERTY_PUBLISHER, ...
std::vector<std::wstring> InstalledProducts(const std::wstring& upgradeCode);
std::wstring InstalledProductInfo(const std::wstring& productCode, const wchar_t* property);

// The product's entry in the installed-programs list (the Uninstall key, per user or per machine).
struct ProgramsEntry {
  std::wstring displayName;
  std::wstring displayVersion;
  std::wstring publisher;
};
std::optional<ProgramsEntry> FindProgramsEntry(const std::wstring& productCode);

}  // namespace vxtest
