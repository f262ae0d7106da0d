// The program's package through msiexec, silently: installed, the program started from the
// installed folder as a log-on starts it and given a favourite, replaced by a newer package,
// uninstalled. The packages come from the environment (VX_TEST_PACKAGE: the build's package,
// VX_TEST_NEWER_PACKAGE: the same program packaged with a higher version; VX_TEST_ICON: the
// program's icon). Runs under the Chinese code page, in which the store keeps episode titles.
#include <windows.h>

#include <gtest/gtest.h>
#include <msi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/ClientLocations.h"
#include "app/resource.h"
#include "common/Registry.h"
#include "common/ScopedWin.h"
#include "common/SqliteConnection.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"
#include "tests/installer/FileChecks.h"
#include "tests/installer/MsiSession.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/LinkReader.h"
#include "tests/support/ProcessHarness.h"

namespace {

using namespace vxtest;

const std::wstring kUserKey = std::wstring(kClientUserKeyFormat) + kClientProductKey;
const std::wstring kPlayPage = L"http://www.vexo.com/a_123.html";

// A "Z:/..." path from the environment, as Windows writes it.
std::wstring PathFromEnvironment(const wchar_t* name) {
  std::wstring value(1024, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(name, &value[0], static_cast<DWORD>(value.size()));
  value.resize(length < value.size() ? length : 0);
  std::replace(value.begin(), value.end(), L'/', L'\\');
  return value;
}

// The executable of the process that owns `window`.
std::wstring ImageOfWindowOwner(HWND window) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  ScopedKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  wchar_t image[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (!process || !::QueryFullProcessImageNameW(process.Get(), 0, image, &size)) return L"";
  return std::wstring(image, size);
}

bool SameText(const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) == 0; }

std::string LinkTarget(const std::wstring& lnk) {
  LinkInfo info;
  return FileExists(lnk) && ReadLink(lnk, info) ? info.targetItemName : std::string();
}

ScopedKernelHandle OpenProcessOf(HWND window) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  return ScopedKernelHandle(::OpenProcess(SYNCHRONIZE, FALSE, processId));
}

class InstallerTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(package.empty()) << "VX_TEST_PACKAGE names no package";
    packageFacts = ReadPackageFacts(package);
    newerFacts = ReadPackageFacts(newerPackage);
    ASSERT_TRUE(packageFacts && newerFacts) << "unreadable packages: " << WideToUtf8(package) << ", "
                                            << WideToUtf8(newerPackage);
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    ResetEmulator();
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue, data.Path()));
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"0"));
    ASSERT_FALSE(LocalAppDataFolder().empty());
  }

  void TearDown() override {
    LiftSilence();
    RemoveStandInUpdater();
    for (const std::wstring& product : InstalledProducts(packageFacts->upgradeCode)) UninstallSilently(product);
    EndAllInstances();
    std::vector<ShortcutRecord> rows;
    Store().Load(rows);
    for (const ShortcutRecord& row : rows) ::DeleteFileW(AnsiToWide(row.strLNK).c_str());
    RemoveTree(InstallFolder());
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey.c_str(), L"Status");
  }

  std::wstring InstallFolder() const { return LocalAppDataFolder() + L"\\VXTailcast\\"; }
  std::wstring InstalledProgram() const { return InstallFolder() + L"VXTailcast.exe"; }
  std::optional<std::wstring> RunValue() const { return ReadRegistryText(HKEY_CURRENT_USER, kRunKey, kAutostartValue); }
  CShortcutStore Store() const { return CShortcutStore(data.File(L"VexoClient\\vexo_shortCut.dll")); }
  std::wstring RenamedShortcut() const { return GetDesktopDirectory() + L"\\ABC 更新至12集.lnk"; }

  std::optional<ShortcutRecord> StoredAlbum123() const {
    std::vector<ShortcutRecord> rows;
    Store().Load(rows);
    for (const ShortcutRecord& row : rows) {
      if (row.nAlbumID == 123) return row;
    }
    return std::nullopt;
  }

  // Straight from the file: the store's own listing leaves out rows whose shortcut is gone.
  int StoreRowsOfAlbum123() const {
    const std::wstring path = data.File(L"VexoClient\\vexo_shortCut.dll");
    if (!FileExists(path)) return -1;
    CSqliteConnection store(WideToUtf8(path));
    return store.ExecuteScalar("select count(*) from shortcut where nAlbumID = 123");
  }

  // The updater is not the package's: the stand-in lies beside the installed program only
  // while the test starts it.
  void PlaceStandInUpdater() const {
    ::CopyFileW((BinaryFolder() + L"VexoUpdate.exe").c_str(), (InstallFolder() + L"VexoUpdate.exe").c_str(), FALSE);
    ScopedKernelHandle marker(::CreateFileW((InstallFolder() + L"VexoUpdate.relaunch").c_str(), GENERIC_WRITE, 0,
                                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  void RemoveStandInUpdater() const {
    for (const wchar_t* name : {L"VexoUpdate.exe", L"VexoUpdate.relaunch", L"VexoUpdate.calls.txt"}) {
      ::DeleteFileW((InstallFolder() + name).c_str());
    }
  }

  // The installed program started with the Run value's command line, as a log-on starts it:
  // that start hands over to the updater, whose restart runs. Its control window, once the
  // message loop answers.
  HWND StartAtLogOn() {
    PlaceStandInUpdater();
    std::wstring command = RunValue().value_or(L"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      ADD_FAILURE() << "the Run value's command did not start: " << WideToUtf8(command);
      return nullptr;
    }
    ScopedKernelHandle thread(info.hThread);
    ScopedKernelHandle logOn(info.hProcess);
    HWND window = nullptr;
    const bool running = WaitUntil([&] {
      window = ::FindWindowW(nullptr, L"VexoTailcast");
      return window && ReadTrace(InstallFolder() + L"TailcastLog.txt", L"Tailcast:", L"first startup cmdline: ") ==
                           L"update,,autostart";
    }, kProcessTimeoutMs);
    DWORD_PTR ignored = 0;
    if (!running || !::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kProcessTimeoutMs, &ignored)) {
      ADD_FAILURE() << "the installed program did not come up through the updater";
      return nullptr;
    }
    EXPECT_TRUE(SameText(ImageOfWindowOwner(window), InstalledProgram()));
    return window;
  }

  // Album 123 handed to the running program by a second start; waits until its shortcut is
  // renamed with the episode count and points at the play page, and the store row follows.
  void HandOverFavorite() {
    const std::wstring text = L"{\"AlbumID\":123,\"AlbumName\":\"ABC\",\"ChannelID\":2,\"PicUrl\":\"" +
                              Utf8ToWide(EmulatorOrigin()) + L"/pictures/album_123.jpg\",\"VideoUrl\":" +
                              L"\"http://www.vexo.com/v_123.html\"}";
    ChildProcess second = ChildProcess::Start(InstalledProgram(), L"DeskFavor;id=123 strjs=" + text);
    ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs));
    ASSERT_TRUE(WaitUntil([&] {
      const auto row = StoredAlbum123();
      return LinkTarget(RenamedShortcut()) == WideToAnsi(kPlayPage) + "?src=fromtailcast" && row &&
             row->strVideoURL == WideToAnsi(kPlayPage);
    }, kProcessTimeoutMs)) << "no settled shortcut " << WideToUtf8(RenamedShortcut());
  }

  // The package installed, the program started at log-on and album 123 handed over: the
  // running program's process, or an empty handle after a failure (already reported).
  ScopedKernelHandle InstallStartAndHandOverFavorite(HWND& window) {
    if (InstallSilently(package) != 0u) {
      ADD_FAILURE() << "the package did not install";
      return ScopedKernelHandle();
    }
    window = StartAtLogOn();
    if (!window) return ScopedKernelHandle();
    HandOverFavorite();
    if (HasFatalFailure()) return ScopedKernelHandle();
    return OpenProcessOf(window);
  }

  const std::wstring package = PathFromEnvironment(L"VX_TEST_PACKAGE");
  const std::wstring newerPackage = PathFromEnvironment(L"VX_TEST_NEWER_PACKAGE");
  std::optional<PackageFacts> packageFacts;
  std::optional<PackageFacts> newerFacts;
  ScratchFolder data{L"installer-data"};
};

TEST_F(InstallerTest, InstallsProgramSkinAutostartAndProgramsEntryForThisUser) {
  ASSERT_EQ(InstallSilently(package), 0u);

  EXPECT_EQ(FileBytes(InstalledProgram()), FileBytes(BinaryFolder() + L"VXTailcast.exe"));
  EXPECT_EQ(ProductVersionOf(InstalledProgram()), packageFacts->productVersion);
  const std::vector<std::wstring> skin = FilesBelow(BinaryFolder() + L"tcskin\\");
  ASSERT_GT(skin.size(), 40u);
  ASSERT_EQ(FilesBelow(InstallFolder() + L"tcskin\\"), skin);
  for (const std::wstring& file : skin) {
    EXPECT_EQ(FileBytes(InstallFolder() + L"tcskin\\" + file), FileBytes(BinaryFolder() + L"tcskin\\" + file))
        << WideToUtf8(file);
  }
  EXPECT_EQ(RunValue(), L"\"" + InstalledProgram() + L"\" autostart");

  const std::wstring& product = packageFacts->productCode;
  EXPECT_EQ(InstalledProducts(packageFacts->upgradeCode), std::vector<std::wstring>{product});
  EXPECT_EQ(InstalledProductInfo(product, INSTALLPROPERTY_VERSIONSTRING), packageFacts->productVersion);
  EXPECT_EQ(InstalledProductInfo(product, INSTALLPROPERTY_ASSIGNMENTTYPE), L"0");  // per user
  const std::wstring icon = InstalledProductInfo(product, INSTALLPROPERTY_PRODUCTICON);
  EXPECT_EQ(FileBytes(icon), FileBytes(PathFromEnvironment(L"VX_TEST_ICON"))) << WideToUtf8(icon);
  const auto entry = FindProgramsEntry(product);
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->displayName, L"VXTailcast");
  EXPECT_EQ(entry->displayVersion, packageFacts->productVersion);
  EXPECT_EQ(entry->publisher, L"Vexo");
}

// The tray menu's autostart item, switched off and on again, writes what the package wrote.
TEST_F(InstallerTest, ProgramWritesTheSameAutostartTextAsThePackage) {
  ASSERT_EQ(InstallSilently(package), 0u);
  const std::optional<std::wstring> packaged = RunValue();
  ASSERT_TRUE(packaged.has_value());
  const HWND window = StartAtLogOn();
  ASSERT_NE(window, nullptr);

  ::PostMessageW(window, WM_COMMAND, ID_TRAY_AUTOSTART, 0);
  ASSERT_TRUE(WaitUntil([&] { return !RunValue(); }, kProcessTimeoutMs));
  ::PostMessageW(window, WM_COMMAND, ID_TRAY_AUTOSTART, 0);
  ASSERT_TRUE(WaitUntil([&] { return RunValue().has_value(); }, kProcessTimeoutMs));
  EXPECT_EQ(RunValue(), packaged);
}

TEST_F(InstallerTest, UninstallEndsRunningProgramAndLeavesOnlyTheUsersData) {
  HWND window = nullptr;
  ScopedKernelHandle running = InstallStartAndHandOverFavorite(window);
  ASSERT_TRUE(running);
  const std::wstring userFile = data.File(L"VexoClient\\notes.txt");
  ASSERT_TRUE(WriteFileText(userFile, "the user's own"));
  RemoveStandInUpdater();

  ASSERT_EQ(UninstallSilently(packageFacts->productCode), 0u);

  EXPECT_EQ(::WaitForSingleObject(running.Get(), kProcessTimeoutMs), WAIT_OBJECT_0);
  EXPECT_TRUE(WindowsTitled(L"VexoTailcast").empty());
  EXPECT_FALSE(FileExists(RenamedShortcut()));
  EXPECT_FALSE(FileExists(InstallFolder())) << FilesBelow(InstallFolder()).size() << " files left";
  EXPECT_FALSE(RunValue().has_value());
  EXPECT_TRUE(InstalledProducts(packageFacts->upgradeCode).empty());
  EXPECT_FALSE(FindProgramsEntry(packageFacts->productCode).has_value());
  EXPECT_EQ(StoreRowsOfAlbum123(), 1);
  EXPECT_TRUE(FileExists(userFile));
}

// The service goes dead (a firewall that swallows traffic) while the program runs: the running
// program and the uninstall's own start of it both wait on it, and still the program ends and
// every file goes.
TEST_F(InstallerTest, UninstallWithAServiceThatNeverAnswersStillRemovesEveryFile) {
  HWND window = nullptr;
  ScopedKernelHandle running = InstallStartAndHandOverFavorite(window);
  ASSERT_TRUE(running);
  RemoveStandInUpdater();
  SilenceService();
  const std::wstring held = L"{\"AlbumID\":125,\"AlbumName\":\"Held\",\"ChannelID\":1,\"PicUrl\":\"" +
                            Utf8ToWide(EmulatorOrigin()) + L"/pictures/album_125.jpg\",\"VideoUrl\":" +
                            L"\"http://www.vexo.com/v_125.html\"}";
  ChildProcess second = ChildProcess::Start(InstalledProgram(), L"DeskFavor;id=125 strjs=" + held);
  ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs));
  ASSERT_TRUE(WaitForRequest("/pictures/album_125", kProcessTimeoutMs)) << "the icon worker asked for no picture";

  ASSERT_EQ(UninstallSilently(packageFacts->productCode), 0u);

  EXPECT_EQ(::WaitForSingleObject(running.Get(), 0), WAIT_OBJECT_0) << "the program outlived its uninstall";
  EXPECT_TRUE(WindowsTitled(L"VexoTailcast").empty());
  EXPECT_FALSE(FileExists(RenamedShortcut()));
  EXPECT_FALSE(FileExists(GetDesktopDirectory() + L"\\Held.lnk"));
  EXPECT_FALSE(FileExists(InstallFolder())) << FilesBelow(InstallFolder()).size() << " files left";
  EXPECT_TRUE(InstalledProducts(packageFacts->upgradeCode).empty());
}

TEST_F(InstallerTest, UninstallRemovesShortcutsAlsoWhenTheProgramIsNotRunning) {
  HWND window = nullptr;
  ScopedKernelHandle running = InstallStartAndHandOverFavorite(window);
  ASSERT_TRUE(running);
  ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
  ASSERT_EQ(::WaitForSingleObject(running.Get(), kProcessTimeoutMs), WAIT_OBJECT_0);
  ASSERT_TRUE(FileExists(RenamedShortcut()));
  RemoveStandInUpdater();

  ASSERT_EQ(UninstallSilently(packageFacts->productCode), 0u);

  EXPECT_FALSE(FileExists(RenamedShortcut()));
  EXPECT_FALSE(FileExists(InstallFolder()));
  EXPECT_TRUE(WindowsTitled(L"VexoTailcast").empty());
  EXPECT_EQ(StoreRowsOfAlbum123(), 1);
}

TEST_F(InstallerTest, NewerPackageReplacesTheOlderAndKeepsFavoritesAndTheRunningProgram) {
  HWND window = nullptr;
  ScopedKernelHandle running = InstallStartAndHandOverFavorite(window);
  ASSERT_TRUE(running);

  ASSERT_EQ(InstallSilently(newerPackage), 0u);

  EXPECT_EQ(InstalledProducts(packageFacts->upgradeCode), std::vector<std::wstring>{newerFacts->productCode});
  EXPECT_FALSE(FindProgramsEntry(packageFacts->productCode).has_value());
  const auto entry = FindProgramsEntry(newerFacts->productCode);
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->displayVersion, newerFacts->productVersion);
  EXPECT_EQ(::WaitForSingleObject(running.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the upgrade ended it";
  EXPECT_TRUE(FileExists(RenamedShortcut()));
  EXPECT_EQ(StoreRowsOfAlbum123(), 1);
  EXPECT_TRUE(FileExists(InstalledProgram()));
  EXPECT_EQ(RunValue(), L"\"" + InstalledProgram() + L"\" autostart");
}

TEST_F(InstallerTest, OlderPackageIsRefusedOverTheNewerAndChangesNothing) {
  ASSERT_EQ(InstallSilently(newerPackage), 0u);

  EXPECT_NE(InstallSilently(package), 0u);

  EXPECT_EQ(InstalledProducts(packageFacts->upgradeCode), std::vector<std::wstring>{newerFacts->productCode});
  EXPECT_EQ(InstalledProductInfo(newerFacts->productCode, INSTALLPROPERTY_VERSIONSTRING), newerFacts->productVersion);
  EXPECT_TRUE(FileExists(InstalledProgram()));
  EXPECT_TRUE(RunValue().has_value());
}

}  // namespace
