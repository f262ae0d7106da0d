// The real program against a service that takes connections and never answers (a captive
// portal, a firewall that swallows traffic): neither a hand-off nor the program's end waits
// on it.
#include <gtest/gtest.h>

#include "app/ClientLocations.h"
#include "app/Messages.h"
#include "app/resource.h"
#include "common/Registry.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"
#include "tests/app/ProgramUnderTest.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxtest;

const std::wstring kUserKey = std::wstring(kClientUserKeyFormat) + kClientProductKey;
// The process must be gone within 2 s of its exit command; Wine is given half a second more
// to take a process down.
constexpr ULONGLONG kExitBoundMs = 2500;

std::wstring FavoriteText(int albumId, const std::wstring& name) {
  return L"{\"AlbumID\":" + std::to_wstring(albumId) + L",\"AlbumName\":\"" + name + L"\",\"ChannelID\":2," +
         L"\"PicUrl\":\"" + Utf8ToWide(EmulatorOrigin()) + L"/pictures/album_123.jpg\",\"VideoUrl\":" +
         L"\"http://www.vexo.com/v_" + std::to_wstring(albumId) + L".html\"}";
}

class DeadServiceTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    EndAllInstances();
    ResetEmulator();
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue, data.Path()));
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"0"));
    desktop = GetDesktopDirectory();
    ASSERT_FALSE(desktop.empty());
    SilenceService();
  }
  void TearDown() override {
    LiftSilence();
    EndAllInstances();
    DeleteStoredLinks(Store());
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey.c_str(), L"Status");
  }

  // The program runs with its start pingback held by the service.
  void StartWaitingOnTheService() {
    running = program.Start(L"update");
    window = program.WaitForControlWindow(running.Id());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForPingback("3", kProcessTimeoutMs).has_value());
  }

  // Handed over by a second start, as the client does; waits for that start to end.
  void HandOver(int albumId, const std::wstring& name) {
    ChildProcess second = program.Start(L"DeskFavor;id=" + std::to_wstring(albumId) + L" strjs=" +
                                        FavoriteText(albumId, name));
    ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs));
  }

  // A favourite whose album picture the icon worker is now waiting for.
  void HandOverAndWaitForItsPicture(int albumId, const std::wstring& name) {
    HandOver(albumId, name);
    ASSERT_TRUE(WaitForRequest("/pictures/", kProcessTimeoutMs)) << "the icon worker asked for no picture";
  }

  // From posting the message to the process handle being signalled; 0 when it did not end.
  ULONGLONG MsUntilGone(UINT message, WPARAM wParam) {
    const ULONGLONG posted = ::GetTickCount64();
    if (!::PostMessageW(window, message, wParam, 0)) return 0;
    if (!running.WaitForExit(kProcessTimeoutMs)) return 0;
    return ::GetTickCount64() - posted;
  }

  std::wstring Lnk(const std::wstring& name) const { return desktop + L"\\" + name + L".lnk"; }
  CShortcutStore Store() const { return CShortcutStore(data.Path() + L"VexoClient\\vexo_shortCut.dll"); }

  ScratchFolder data{L"dead-service-data"};
  ProgramUnderTest program{L"dead-service"};
  ChildProcess running;
  HWND window = nullptr;
  std::wstring desktop;
};

// The hand-off is answered while the icon worker waits on the service: the shortcut is there
// when the second start ends, and that start did not give up on the running one.
TEST_F(DeadServiceTest, HandedOverShortcutIsOnTheDesktopWhenTheSecondStartEnds) {
  StartWaitingOnTheService();
  HandOverAndWaitForItsPicture(301, L"Dead One");
  EXPECT_TRUE(FileExists(Lnk(L"Dead One")));

  HandOver(302, L"Dead Two");
  EXPECT_TRUE(FileExists(Lnk(L"Dead Two")));
  EXPECT_FALSE(program.StartupTrace(L"second start handoff : ").has_value());
  EXPECT_TRUE(running.IsRunning());
}

TEST_F(DeadServiceTest, TrayExitEndsTheProcessWithinTwoSeconds) {
  StartWaitingOnTheService();
  HandOverAndWaitForItsPicture(303, L"Dead Three");

  const ULONGLONG gone = MsUntilGone(WM_COMMAND, ID_TRAY_EXIT);
  ASSERT_NE(gone, 0u) << "still running " << kProcessTimeoutMs << " ms after the exit command";
  EXPECT_LE(gone, kExitBoundMs);
  EXPECT_EQ(running.ExitCode(), 0u);
  EXPECT_TRUE(FileExists(Lnk(L"Dead Three")));
  std::printf("dead service: gone %llu ms after the tray's exit\n", gone);
}

TEST_F(DeadServiceTest, UninstallEndsTheProcessWithinTwoSecondsAndRemovesTheShortcuts) {
  StartWaitingOnTheService();
  HandOverAndWaitForItsPicture(304, L"Dead Four");

  const ULONGLONG gone = MsUntilGone(WM_TAILCAST_UNINSTALL, 0);
  ASSERT_NE(gone, 0u) << "still running " << kProcessTimeoutMs << " ms after the uninstall command";
  EXPECT_LE(gone, kExitBoundMs);
  EXPECT_EQ(running.ExitCode(), 0u);
  EXPECT_FALSE(FileExists(Lnk(L"Dead Four")));
  std::printf("dead service: gone %llu ms after /uinst\n", gone);
}

}  // namespace
