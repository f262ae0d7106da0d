// Start-up of the real program: which starts run, and what goes to the updater.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/resource.h"
#include "app/ClientLocations.h"
#include "app/TrayIcon.h"
#include "common/Registry.h"
#include "common/ScopedWin.h"
#include "tests/app/ProgramUnderTest.h"

namespace {

using vxtest::ChildProcess;
using vxtest::kProcessTimeoutMs;
using vxtest::ProgramUnderTest;
using Calls = std::vector<std::wstring>;

void ExpectRoutedToUpdater(const std::wstring& arguments, const std::wstring& expectedParameters) {
  ProgramUnderTest program(L"updater-route");
  ChildProcess start = program.Start(arguments);
  ASSERT_TRUE(start.IsStarted());
  ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
  EXPECT_EQ(start.ExitCode(), 0u);
  ASSERT_TRUE(program.WaitForUpdaterCalls(1));
  EXPECT_EQ(program.UpdaterCalls(), Calls{expectedParameters});
  EXPECT_TRUE(vxtest::WindowsTitled(L"VexoTailcast").empty());
  EXPECT_FALSE(program.StartupTrace(L"first startup cmdline: ").has_value());
}

TEST(StartupTest, LogOnStartIsHandedToTheUpdater) {
  ExpectRoutedToUpdater(L"autostart", L"AUTOSILENT,,VXTailcast,,autostart");
}

TEST(StartupTest, EmptyCommandLineIsHandedToTheUpdater) {
  ExpectRoutedToUpdater(L"", L"AUTOSILENT,,VXTailcast,,");
}

TEST(StartupTest, SeparatorWithoutUpdateIsNotAnUpdateStart) {
  ExpectRoutedToUpdater(L"x,,update", L"AUTOSILENT,,VXTailcast,,x,,update");
}

TEST(StartupTest, ClientFavoriteWithoutRunningInstanceGoesThroughUpdater) {
  ExpectRoutedToUpdater(L"DeskFavor;id=1 strjs={\"albumId\":1}",
                        L"AUTOSILENT,,VXTailcast,,DeskFavor;id=1 strjs={\"albumId\":1}");
}

TEST(StartupTest, MissingUpdaterIsTraced) {
  ProgramUnderTest program(L"no-updater", ProgramUnderTest::Updater::kMissing);
  ChildProcess start = program.Start(L"autostart");
  ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
  EXPECT_EQ(program.StartupTrace(L"start update : "), L"false");
  EXPECT_TRUE(vxtest::WindowsTitled(L"VexoTailcast").empty());
}

TEST(StartupTest, LogOnStartRunsOnceTheUpdaterStartsItAgain) {
  ProgramUnderTest program(L"relaunch");
  program.EnableUpdaterRelaunch();
  ChildProcess start = program.Start(L"autostart");
  ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
  const HWND window = program.WaitForControlWindow(0);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(::IsWindowVisible(window));
  EXPECT_EQ(program.StartupTrace(L"first startup cmdline: "), L"update,,autostart");
  EXPECT_FALSE(program.StartupTrace(L"send first startup cmdline: ").has_value());
}

TEST(StartupTest, UpdateAloneRunsWithoutCommand) {
  ProgramUnderTest program(L"update-alone");
  ChildProcess start = program.Start(L"update");
  ASSERT_NE(program.WaitForControlWindow(start.Id()), nullptr);
  EXPECT_TRUE(start.IsRunning());
  EXPECT_EQ(program.StartupTrace(L"first startup cmdline: "), L"update");
  EXPECT_FALSE(program.StartupTrace(L"send first startup cmdline: ").has_value());
  EXPECT_TRUE(program.UpdaterCalls().empty());
}

bool HasModuleLoaded(DWORD processId, const wchar_t* module) {
  ScopedKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
  if (!snapshot) return false;
  MODULEENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Module32FirstW(snapshot.Get(), &entry); more; more = ::Module32NextW(snapshot.Get(), &entry)) {
    if (::lstrcmpiW(entry.szModule, module) == 0) return true;
  }
  return false;
}

// A tray program that is never asked for its about box never loads the common controls.
TEST(StartupTest, CommonControlsLoadOnlyWithTheAboutBox) {
  ProgramUnderTest program(L"common-controls");
  ChildProcess start = program.Start(L"update");
  const HWND window = program.WaitForControlWindow(start.Id());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(program.StartupTrace(L"startup work done ms: ").has_value());
  EXPECT_TRUE(HasModuleLoaded(start.Id(), L"shell32.dll"));  // the snapshot does list the program's modules
  EXPECT_FALSE(HasModuleLoaded(start.Id(), L"comctl32.dll"));

  ::PostMessageW(window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  const HWND about = vxtest::WaitForWindow(L"About VXTailcast", kProcessTimeoutMs);
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(HasModuleLoaded(start.Id(), L"comctl32.dll"));
  ::PostMessageW(about, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(vxtest::WaitUntil([&] { return !::IsWindow(about); }, kProcessTimeoutMs));
  ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
  ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
  EXPECT_EQ(start.ExitCode(), 0u);
}

struct FirstStartCase {
  const wchar_t* arguments;
  const wchar_t* favoriteText;
};

class FirstStartFavoriteTest : public ::testing::TestWithParam<FirstStartCase> {};

TEST_P(FirstStartFavoriteTest, FavoriteTextReachesTheControlWindow) {
  ProgramUnderTest program(L"first-favorite");
  ChildProcess start = program.Start(GetParam().arguments);
  ASSERT_NE(program.WaitForControlWindow(start.Id()), nullptr);
  const std::wstring expected = GetParam().favoriteText;
  EXPECT_EQ(program.StartupTrace(L"first startup cmdline: "), GetParam().arguments);
  EXPECT_EQ(program.StartupTrace(L"send first startup cmdline: "), expected);
  EXPECT_EQ(program.Trace(L"Tailcast", L"CreateDeskFavor Info :"), expected);
  EXPECT_EQ(program.Trace(L"Tailcast:", L"GetDataInfoManager : "), expected);
}

INSTANTIATE_TEST_SUITE_P(
    CommandForms, FirstStartFavoriteTest,
    ::testing::Values(
        FirstStartCase{L"update,,deskfavor;id=1 strjs={\"albumId\":1,\"name\":\"ABC\"}",
                       L"{\"albumId\":1,\"name\":\"ABC\"}"},
        FirstStartCase{L"update,,,,DeskFavor;strjs=abc", L"abc"},
        FirstStartCase{L"update,,DeskFavor;id=2", L""},
        FirstStartCase{L"update,,DESKFAVOR;strjs={\"name\":\"\u89c6\u9891\"},,extra", L"{\"name\":\"\u89c6\u9891\"}"}));

TEST(StartupTest, FirstStartUninstallEndsTheProcess) {
  ProgramUnderTest program(L"first-uninstall");
  ChildProcess start = program.Start(L"update,,/UINST");
  ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
  EXPECT_EQ(start.ExitCode(), 0u);
  EXPECT_EQ(program.StartupTrace(L"first startup cmdline: "), L"update,,/UINST");
}

TEST(StartupTest, TrayExitEndsTheProcessNormally) {
  ProgramUnderTest program(L"tray-exit");
  ChildProcess start = program.Start(L"update,,autostart");
  const HWND window = program.WaitForControlWindow(start.Id());
  ASSERT_NE(window, nullptr);
  ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
  ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
  EXPECT_EQ(start.ExitCode(), 0u);
}

// Whether the shell's tray holds the program's icon, asked as any program may: changing an
// icon succeeds only while the tray knows it.
bool TrayHoldsIconOf(HWND owner) {
  NOTIFYICONDATAW record = {};
  record.cbSize = sizeof record;
  record.hWnd = owner;
  record.uID = CTrayIcon::kIconId;
  record.uFlags = NIF_TIP;
  wcscpy_s(record.szTip, L"VexoTailcast");
  return ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

// A restarted taskbar has forgotten every icon and tells every top-level window so.
TEST(TrayIconProcessTest, RestartedTaskbarGetsTheIconBack) {
  ProgramUnderTest program(L"taskbar-restart");
  ChildProcess start = program.Start(L"update");
  const HWND window = program.WaitForControlWindow(start.Id());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(vxtest::WaitUntil([&] { return TrayHoldsIconOf(window); }, kProcessTimeoutMs));

  NOTIFYICONDATAW forgotten = {};
  forgotten.cbSize = sizeof forgotten;
  forgotten.hWnd = window;
  forgotten.uID = CTrayIcon::kIconId;
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &forgotten));
  ASSERT_FALSE(TrayHoldsIconOf(window));

  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG,
                        kProcessTimeoutMs, &ignored);
  EXPECT_TRUE(vxtest::WaitUntil([&] { return TrayHoldsIconOf(window); }, kProcessTimeoutMs));
}

// The client's install folder holds the stand-in client; the registry points at it.
class ClientStartTest : public ::testing::Test {
protected:
  void SetUp() override {
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"CLSID\\{7B3E9C20-4A61-4F8D-9E27-C5D1A08B36F4}");
    client.CopyFromBinaries(L"VexoClient.exe");
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kInstallFolderValue, client.Path()));
  }
  void TearDown() override { ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, kInstallFolderValue); }
  std::vector<std::wstring> ClientCalls() const { return vxtest::ReadUtf8Lines(client.File(L"VexoClient.calls.txt")); }

  vxtest::ScratchFolder client{L"client"};
};

TEST_F(ClientStartTest, InstalledClientThatDoesNotRunIsStarted) {
  ProgramUnderTest program(L"client-start");
  ChildProcess start = program.Start(L"update");
  ASSERT_NE(program.WaitForControlWindow(start.Id()), nullptr);
  EXPECT_TRUE(vxtest::WaitUntil([&] { return !ClientCalls().empty(); }, kProcessTimeoutMs));
  EXPECT_EQ(ClientCalls(), Calls{L"InstStart"});
}

TEST_F(ClientStartTest, RunningClientIsNotStartedAgain) {
  client.Touch(L"VexoClient.stay");
  const HANDLE quit = ::CreateEventW(nullptr, TRUE, FALSE, L"VexoClientStandIn_Quit");
  ChildProcess running = ChildProcess::Start(client.File(L"VexoClient.exe"), L"already-running");
  ASSERT_TRUE(vxtest::WaitUntil([&] { return !ClientCalls().empty(); }, kProcessTimeoutMs));

  ProgramUnderTest program(L"client-running");
  ChildProcess start = program.Start(L"update");
  ASSERT_NE(program.WaitForControlWindow(start.Id()), nullptr);
  EXPECT_EQ(ClientCalls(), Calls{L"already-running"});
  ::SetEvent(quit);
  EXPECT_TRUE(running.WaitForExit(kProcessTimeoutMs));
  ::CloseHandle(quit);
}

// Windows caps a command line at 32,767 characters; the longest one must not upset start-up.
TEST(StartupTest, LongestPossibleCommandLines) {
  const std::wstring filler(32000, L'x');
  {
    ProgramUnderTest program(L"long-ordinary");
    ChildProcess start = program.Start(filler);
    ASSERT_TRUE(start.IsStarted());
    ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
    EXPECT_EQ(start.ExitCode(), 0u);
    const bool handedOn = program.WaitForUpdaterCalls(1) &&
                          program.UpdaterCalls()[0] == L"AUTOSILENT,,VXTailcast,," + filler;
    EXPECT_TRUE(handedOn || program.StartupTrace(L"start update : ") == L"false");
  }
  {
    ProgramUnderTest program(L"long-favorite");
    ChildProcess start = program.Start(L"update,,DeskFavor;strjs=" + filler);
    ASSERT_NE(program.WaitForControlWindow(start.Id()), nullptr);
    EXPECT_EQ(program.StartupTrace(L"send first startup cmdline: "), filler);
    EXPECT_EQ(program.Trace(L"Tailcast:", L"GetDataInfoManager : "), filler);
  }
}

}  // namespace
