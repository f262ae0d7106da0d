// The client's settings as the program finds them, with every fallback, in Wine's registry.
#include "app/Environment.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/ClientLocations.h"
#include "common/Registry.h"
#include "common/TextConvert.h"
#include "tests/support/ProcessHarness.h"

namespace {

using vxtest::ReadTrace;

const std::wstring kUserKey = std::wstring(kClientUserKeyFormat) + kClientProductKey;

void ClearClientSettings() {
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Vexo");
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\AppDataLow\\Software\\Vexo");
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kMachineIdKey);
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"CLSID\\{7B3E9C20-4A61-4F8D-9E27-C5D1A08B36F4}");
}

void WriteRaw(HKEY root, const std::wstring& key, const wchar_t* name, const void* data, DWORD bytes) {
  HKEY handle = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(handle, name, 0, REG_SZ, static_cast<const BYTE*>(data), bytes);
  ::RegCloseKey(handle);
}

bool IsLowerHex32(const std::string& id) {
  if (id.size() != 32) return false;
  for (char c : id) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

class EnvironmentTest : public ::testing::Test {
protected:
  void SetUp() override { ClearClientSettings(); }
  void TearDown() override { ClearClientSettings(); }

  void SetDataFolder(const std::wstring& value) {
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue, value));
  }
  void SetStatus(const std::wstring& value) {
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", value));
  }

  vxtest::ScratchFolder folder{L"environment"};
};

TEST_F(EnvironmentTest, DataFolderWithTrailingBackslash) {
  SetDataFolder(folder.Path());
  CEnvironment environment;
  const std::wstring withoutSlash = folder.Path().substr(0, folder.Path().size() - 1);
  EXPECT_EQ(environment.GetClientDataFolder(), withoutSlash);
  EXPECT_EQ(environment.GetRawDataFolder(), folder.Path());
  EXPECT_EQ(environment.GetClientFolder(), withoutSlash + L"\\VexoClient");
  EXPECT_EQ(environment.IdentityFile(), folder.Path() + L"VexoClient\\InstallConfig.ini");
}

TEST_F(EnvironmentTest, MissingOrAbsentDataFolderFallsBackToPublicFolder) {
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring fallback = std::wstring(windows, 2) + L"\\Users\\Public\\Vexo";
  EXPECT_EQ(CEnvironment().GetClientDataFolder(), fallback);
  EXPECT_EQ(CEnvironment().GetRawDataFolder(), L"");
  SetDataFolder(L"C:\\no\\such\\folder\\");
  EXPECT_EQ(CEnvironment().GetClientDataFolder(), fallback);
}

TEST_F(EnvironmentTest, DataFolderIsCachedOnceFound) {
  SetDataFolder(folder.Path());
  CEnvironment environment;
  const std::wstring first = environment.GetClientDataFolder();
  SetDataFolder(L"C:\\");
  EXPECT_EQ(environment.GetClientDataFolder(), first);
}

TEST_F(EnvironmentTest, ModuleFolderHasNoTrailingBackslash) {
  const std::wstring binaries = vxtest::BinaryFolder();
  EXPECT_EQ(CEnvironment().GetModuleFolder(), binaries.substr(0, binaries.size() - 1));
}

TEST_F(EnvironmentTest, LoggedOutStatuses) {
  for (const wchar_t* status : {L"-1", L"0", L"abc", L"", L"  -3"}) {
    SetStatus(status);
    EXPECT_FALSE(CEnvironment().IsLoggedIn()) << "status " << WideToUtf8(status);
  }
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\AppDataLow\\Software\\Vexo");
  EXPECT_FALSE(CEnvironment().IsLoggedIn());  // no status at all
}

TEST_F(EnvironmentTest, LoggedInStatusesAndTheirIdentity) {
  for (const wchar_t* status : {L"1", L"5", L" 7x"}) {
    SetStatus(status);
    EXPECT_TRUE(CEnvironment().IsLoggedIn()) << "status " << WideToUtf8(status);
  }
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"UID", L"u1234"));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Cookie", L"ck=abc"));
  CEnvironment environment;
  EXPECT_EQ(environment.GetUserId(), "u1234");
  EXPECT_EQ(environment.GetLoginCookie(), "ck=abc");
}

TEST_F(EnvironmentTest, LoggedOutOnceStaysLoggedOut) {
  CEnvironment environment;
  SetStatus(L"1");
  EXPECT_TRUE(environment.IsLoggedIn());
  SetStatus(L"0");
  EXPECT_FALSE(environment.IsLoggedIn());
  SetStatus(L"1");
  EXPECT_FALSE(environment.IsLoggedIn());
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"UID", L"u1"));
  EXPECT_EQ(environment.GetUserId(), "");
  EXPECT_EQ(environment.GetLoginCookie(), "");
}

TEST_F(EnvironmentTest, ClientValueStoredWithoutTerminatorIsReadWhole) {
  const wchar_t uid[] = {L'u', L'7', L'7'};  // no NUL stored
  WriteRaw(HKEY_CURRENT_USER, kUserKey, L"UID", uid, sizeof uid);
  EXPECT_EQ(CEnvironment().ReadClientValue(L"101", L"UID"), L"u77");
  EXPECT_EQ(CEnvironment().ReadClientValue(L"101", L"Missing"), L"");
  EXPECT_EQ(CEnvironment().ReadClientValue(L"999", L"UID"), L"");
}

TEST_F(EnvironmentTest, MachineIdFromRegistryIsTrimmedLoweredAndCopiedToFile) {
  SetDataFolder(folder.Path());
  ::CreateDirectoryW(folder.File(L"VexoClient").c_str(), nullptr);
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue,
                                L"  ABCDEF0123456789ABCDEF0123456789 \r\n"));
  CEnvironment environment;
  EXPECT_EQ(environment.GetMachineId(), "abcdef0123456789abcdef0123456789");
  EXPECT_EQ(ReadTrace(environment.IdentityFile(), L"Install", L"ID"), L"abcdef0123456789abcdef0123456789");
}

TEST_F(EnvironmentTest, MachineIdFromFileIsCopiedIntoRegistry) {
  SetDataFolder(folder.Path());
  ::CreateDirectoryW(folder.File(L"VexoClient").c_str(), nullptr);
  const std::wstring file = folder.File(L"VexoClient\\InstallConfig.ini");
  ::WritePrivateProfileStringW(L"Install", L"ID", L"0123456789ABCDEF0123456789abcdef", file.c_str());
  EXPECT_EQ(CEnvironment().GetMachineId(), "0123456789abcdef0123456789abcdef");
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue),
            L"0123456789abcdef0123456789abcdef");
  EXPECT_EQ(ReadTrace(file, L"Install", L"ID"), L"0123456789abcdef0123456789abcdef");
}

TEST_F(EnvironmentTest, FreshMachineIdIsStoredInBothPlacesAndStaysStable) {
  SetDataFolder(folder.Path());
  ::CreateDirectoryW(folder.File(L"VexoClient").c_str(), nullptr);
  CEnvironment environment;
  const std::string id = environment.GetMachineId();
  EXPECT_TRUE(IsLowerHex32(id)) << id;
  EXPECT_EQ(WideToAnsi(ReadRegistryText(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue).value_or(L"")), id);
  EXPECT_EQ(WideToAnsi(ReadTrace(environment.IdentityFile(), L"Install", L"ID").value_or(L"")), id);
  EXPECT_EQ(CEnvironment().GetMachineId(), id);  // a later process finds the same
}

TEST_F(EnvironmentTest, MachineIdWithoutDataFolderStillExists) {
  const std::string id = CEnvironment().GetMachineId();
  EXPECT_TRUE(IsLowerHex32(id)) << id;
  EXPECT_EQ(CEnvironment().GetMachineId(), id);
}

TEST_F(EnvironmentTest, ClientExecutableFromComServerFolder) {
  folder.Touch(L"VexoClient.exe");
  ASSERT_TRUE(WriteRegistryText(HKEY_CLASSES_ROOT, kClientComServerKey, nullptr, folder.File(L"ClientHost.dll")));
  EXPECT_EQ(CEnvironment().GetClientExePath(), folder.File(L"VexoClient.exe"));
}

TEST_F(EnvironmentTest, ClientExecutableFromInstallFolderWithOrWithoutBackslash) {
  ::CreateDirectoryW(folder.File(L"install").c_str(), nullptr);
  folder.Touch(L"install\\VexoClient.exe");
  ASSERT_TRUE(WriteRegistryText(HKEY_CLASSES_ROOT, kClientComServerKey, nullptr, folder.File(L"elsewhere\\x.dll")));
  ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kInstallFolderValue, folder.File(L"install")));
  EXPECT_EQ(CEnvironment().GetClientExePath(), folder.File(L"install\\VexoClient.exe"));
  ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kInstallFolderValue, folder.File(L"install\\")));
  EXPECT_EQ(CEnvironment().GetClientExePath(), folder.File(L"install\\VexoClient.exe"));
}

TEST_F(EnvironmentTest, NoClientExecutableAnywhereGivesEmptyPath) {
  EXPECT_EQ(CEnvironment().GetClientExePath(), L"");
  ASSERT_TRUE(WriteRegistryText(HKEY_CLASSES_ROOT, kClientComServerKey, nullptr, folder.File(L"ClientHost.dll")));
  EXPECT_EQ(CEnvironment().GetClientExePath(), L"");
}

TEST_F(EnvironmentTest, ClientRunningWhileTheStandInRuns) {
  EXPECT_FALSE(CEnvironment().IsClientRunning());
  folder.CopyFromBinaries(L"VexoClient.exe");
  folder.Touch(L"VexoClient.stay");
  const HANDLE quit = ::CreateEventW(nullptr, TRUE, FALSE, L"VexoClientStandIn_Quit");
  vxtest::ChildProcess client = vxtest::ChildProcess::Start(folder.File(L"VexoClient.exe"), L"InstStart");
  ASSERT_TRUE(client.IsStarted());
  EXPECT_TRUE(vxtest::WaitUntil([] { return CEnvironment().IsClientRunning(); }, vxtest::kProcessTimeoutMs));
  ::SetEvent(quit);
  EXPECT_TRUE(client.WaitForExit(vxtest::kProcessTimeoutMs));
  EXPECT_FALSE(CEnvironment().IsClientRunning());
  ::CloseHandle(quit);
  EXPECT_EQ(vxtest::ReadUtf8Lines(folder.File(L"VexoClient.calls.txt")), std::vector<std::wstring>{L"InstStart"});
}

TEST_F(EnvironmentTest, AutostartEntryByItsValueName) {
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValue);
  EXPECT_FALSE(CEnvironment().IsAutostartRegistered());
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kRunKey, kAutostartValue, L"\"C:\\x\\VXTailcast.exe\" autostart"));
  EXPECT_TRUE(CEnvironment().IsAutostartRegistered());
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValue);
}

TEST(EnvironmentInstanceTest, OneObjectEvenWhenThreadsRaceToIt) {
  CEnvironment* seen[4] = {};
  std::vector<std::thread> threads;
  for (auto& slot : seen) threads.emplace_back([&slot] { slot = &CEnvironment::GetInstance(); });
  for (auto& thread : threads) thread.join();
  for (CEnvironment* environment : seen) EXPECT_EQ(environment, &CEnvironment::GetInstance());
}

}  // namespace
