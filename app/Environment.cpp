#include "app/Environment.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

#include "app/ClientLocations.h"
#include "common/DirectoryTree.h"
#include "common/GuidText.h"
#include "common/ModulePath.h"
#include "common/PathText.h"
#include "common/Registry.h"
#include "common/ScopedWin.h"
#include "common/SplitText.h"
#include "common/TextConvert.h"

namespace {

std::wstring Trimmed(const std::wstring& text) {
  const wchar_t* blanks = L" \t\r\n\v\f";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::wstring Lowered(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(::towlower(c));
  return text;
}

bool IsVistaOrLaterSystem() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  return ::GetVersionExW(&version) && version.dwMajorVersion > 5;
}

std::wstring FallbackDataFolder() {
  if (IsVistaOrLaterSystem()) {
    wchar_t windows[MAX_PATH] = {};
    if (::GetWindowsDirectoryW(windows, MAX_PATH) >= 2) return std::wstring(windows, 2) + L"\\Users\\Public\\Vexo";
    return L"C:\\Users\\Public\\Vexo";
  }
  wchar_t common[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common);
  return std::wstring(common) + L"\\Vexo";
}

std::wstring NewMachineId() {
  GUID guid = {};
  if (SUCCEEDED(::CoCreateGuid(&guid))) return GuidHexDigits(guid);
  wchar_t text[40] = {};
  std::swprintf(text, 40, L"%08lx%08lx%08x%08x", static_cast<unsigned long>(::time(nullptr)),
                static_cast<unsigned long>(::GetTickCount()), 0u, static_cast<unsigned>(std::rand()));
  return text;
}

// C library text-to-integer reading: leading blanks, a sign, decimal digits; 0 without digits.
long LeadingInteger(const std::wstring& text) { return std::wcstol(text.c_str(), nullptr, 10); }

}  // namespace

CEnvironment& CEnvironment::GetInstance() {
  static CEnvironment environment;
  return environment;
}

CEnvironment::CEnvironment() : m_playRecordNoticeTick(::GetTickCount()) {}

std::wstring CEnvironment::GetModuleFolder() {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  if (m_moduleFolder.empty()) m_moduleFolder = ParentFolderOf(ModuleFilePath());
  return m_moduleFolder;
}

std::wstring CEnvironment::GetSkinFolder() { return GetModuleFolder() + L"\\tcskin"; }

HostPaths CEnvironment::GetHostPaths() {
  HostPaths paths;
  paths.clientFolder = GetClientFolder();
  paths.clientExePath = GetClientExePath();
  paths.skinFolder = GetSkinFolder();
  return paths;
}

std::wstring CEnvironment::GetRawDataFolder() {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  if (m_rawDataFolder.empty()) {
    m_rawDataFolder = ReadRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue).value_or(L"");
  }
  return m_rawDataFolder;
}

std::wstring CEnvironment::GetClientDataFolder() {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  if (!m_dataFolder.empty()) return m_dataFolder;
  std::wstring folder = ReadRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue).value_or(L"");
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  if (!PathExists(folder)) folder = FallbackDataFolder();
  m_dataFolder = folder;
  return m_dataFolder;
}

std::wstring CEnvironment::GetClientFolder() { return GetClientDataFolder() + L"\\VexoClient"; }

bool CEnvironment::IsClientRunning() const {
  ScopedKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
    if (::lstrcmpiW(entry.szExeFile, kClientExecutable) == 0) return true;
  }
  return false;
}

std::wstring CEnvironment::GetClientExePath() const {
  std::wstring path;
  const std::wstring server = ReadRegistryText(HKEY_CLASSES_ROOT, kClientComServerKey, nullptr).value_or(L"");
  const std::wstring serverFolder = FolderOf(server);
  if (!serverFolder.empty()) path = serverFolder + kClientExecutable;

  if (!IsFile(path)) {
    const auto installFolder = ReadRegistryNarrowText(HKEY_LOCAL_MACHINE, kClientKey, kInstallFolderValue);
    if (installFolder) {
      path = AnsiToWide(*installFolder);
      if (path.empty() || path.back() != L'\\') path += L'\\';
      path += kClientExecutable;
    }
  }
  return IsFile(path) ? path : std::wstring();
}

std::wstring CEnvironment::ReadClientValue(const std::wstring& productKey, const std::wstring& valueName) const {
  return ReadRegistryText(HKEY_CURRENT_USER, kClientUserKeyFormat + productKey, valueName.c_str()).value_or(L"");
}

// Once a logged-out status has been seen, the process stays logged out.
bool CEnvironment::IsLoggedIn() {
  const std::wstring status = ReadClientValue(kClientProductKey, L"Status");
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  if (status == L"-1" || LeadingInteger(status) < 1) m_loggedIn = false;
  return m_loggedIn;
}

std::string CEnvironment::GetUserId() {
  if (!IsLoggedIn()) return std::string();
  return WideToAnsi(ReadClientValue(kClientProductKey, L"UID"));
}

std::string CEnvironment::GetLoginCookie() {
  if (!IsLoggedIn()) return std::string();
  return WideToAnsi(ReadClientValue(kClientProductKey, L"Cookie"));
}

std::wstring CEnvironment::IdentityFile() {
  const std::wstring raw = GetRawDataFolder();
  return raw.empty() ? std::wstring() : raw + kIdentityFileName;
}

std::string CEnvironment::GetMachineId() {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  if (m_machineId.empty()) m_machineId = ReadOrCreateMachineId();
  return m_machineId;
}

std::string CEnvironment::ReadOrCreateMachineId() {
  std::wstring id = Trimmed(ReadRegistryText(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue).value_or(L""));
  const bool registryHadId = !id.empty();
  const std::wstring identityFile = IdentityFile();
  if (id.empty() && !identityFile.empty()) {
    wchar_t stored[MAX_PATH] = {};
    ::GetPrivateProfileStringW(L"Install", L"ID", L"", stored, MAX_PATH, identityFile.c_str());
    id = Trimmed(stored);
  }
  if (id.empty()) id = NewMachineId();
  id = Lowered(id);

  // Without a client data folder there is no identity file to keep it in.
  if (!identityFile.empty()) ::WritePrivateProfileStringW(L"Install", L"ID", id.c_str(), identityFile.c_str());
  if (!registryHadId && WriteRegistryText(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue, id)) {
    ::OutputDebugStringW((L"Write Mac Address " + id + L" To Registry!").c_str());
  }
  return WideToAnsi(id);
}

bool CEnvironment::IsAutostartRegistered() const {
  return RegistryValueExists(HKEY_CURRENT_USER, kRunKey, kAutostartValue);
}

void CEnvironment::StorePlayRecordNotice(uint32_t value) {
  std::lock_guard<std::recursive_mutex> lock(m_mutex);
  m_playRecordNotice = value;
  m_playRecordNoticeTick = ::GetTickCount();
}

void CEnvironment::SplitText(const std::wstring& text, const std::wstring& separator,
                             std::vector<std::wstring>& pieces) const {
  ::SplitText(text, separator, pieces);
}
