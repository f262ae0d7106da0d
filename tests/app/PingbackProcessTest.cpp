// The real program reports its start and its end to the service (here the emulator's sink).
#include <gtest/gtest.h>

#include "app/ClientLocations.h"
#include "app/resource.h"
#include "common/Registry.h"
#include "common/TraceRecord.h"
#include "platform/RidOdo/RidOdoDll.h"
#include "tests/app/ProgramUnderTest.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxtest;

const std::wstring kUserKey = std::wstring(kClientUserKeyFormat) + kClientProductKey;

class PingbackProcessTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    EndAllInstances();
    ForgetPingbacks();
    ::DeleteFileW(kTraceFile);
  }
  void TearDown() override {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey.c_str(), L"Status");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey.c_str(), L"UID");
    EndAllInstances();
  }

  void LogIn(const wchar_t* userId) {
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"1"));
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"UID", userId));
  }

  static std::string InstallId() { return CRidOdoDll().GetUuid(); }  // the same registry value
};

TEST_F(PingbackProcessTest, StartAndExitAreReportedWithTheUsersIdentity) {
  LogIn(L"20001");
  ProgramUnderTest program(L"pingback-start-exit");
  ChildProcess start = program.Start(L"update,,autostart");
  const HWND window = program.WaitForControlWindow(start.Id());
  ASSERT_NE(window, nullptr);

  const std::optional<Json::Value> started = WaitForPingback("3", kProcessTimeoutMs);
  ASSERT_TRUE(started.has_value());
  const std::string installId = InstallId();
  EXPECT_EQ((*started)["uuid"].asString(), installId);
  EXPECT_EQ((*started)["login"].asString(), "1");
  EXPECT_EQ((*started)["uid"].asString(), "20001");
  EXPECT_EQ((*started)["t"].asString(), "1");
  EXPECT_EQ((*started)["tc"].asString(), "1");
  EXPECT_EQ((*started)["p1"].asString() + (*started)["p2"].asString() + (*started)["p3"].asString() +
                (*started)["p4"].asString(),
            "-100-1");
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"send start pingback e : "),
            std::wstring(installId.begin(), installId.end()));

  ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
  ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
  EXPECT_EQ(start.ExitCode(), 0u);
  // Already there when the process has ended: the exit waits for the queued report.
  const Json::Value pingbacks = ReceivedPingbacks();
  ASSERT_EQ(pingbacks.size(), 2u);
  EXPECT_EQ(pingbacks[1]["query"]["a"].asString(), "14");
  EXPECT_EQ(pingbacks[1]["query"]["uuid"].asString(), installId);
  EXPECT_EQ(pingbacks[1]["query"]["uid"].asString(), "20001");
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"send close pingback e : "),
            std::wstring(installId.begin(), installId.end()));
}

TEST_F(PingbackProcessTest, LoggedOutUserIsReportedWithoutId) {
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"0"));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"UID", L"20001"));
  ProgramUnderTest program(L"pingback-logged-out");
  ChildProcess start = program.Start(L"update");
  ASSERT_NE(program.WaitForControlWindow(start.Id()), nullptr);
  const std::optional<Json::Value> started = WaitForPingback("3", kProcessTimeoutMs);
  ASSERT_TRUE(started.has_value());
  EXPECT_EQ((*started)["login"].asString(), "0");
  EXPECT_EQ((*started)["uid"].asString(), "");
}

// The installation keeps its identifier from one run to the next.
TEST_F(PingbackProcessTest, EveryRunReportsTheSameInstallation) {
  std::string firstId;
  for (int run = 0; run < 2; ++run) {
    ForgetPingbacks();
    ProgramUnderTest program(L"pingback-runs");
    ChildProcess start = program.Start(L"update");
    const HWND window = program.WaitForControlWindow(start.Id());
    ASSERT_NE(window, nullptr);
    const std::optional<Json::Value> started = WaitForPingback("3", kProcessTimeoutMs);
    ASSERT_TRUE(started.has_value());
    const std::string id = (*started)["uuid"].asString();
    EXPECT_EQ(id.size(), 32u);
    if (run == 0) firstId = id;
    EXPECT_EQ(id, firstId);
    ::PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
    ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
  }
}

// "/uinst" ends at once: no close report.
TEST_F(PingbackProcessTest, UninstallSendsNoCloseReport) {
  ProgramUnderTest program(L"pingback-uninstall");
  ChildProcess start = program.Start(L"update");
  ASSERT_NE(program.WaitForControlWindow(start.Id()), nullptr);
  ASSERT_TRUE(WaitForPingback("3", kProcessTimeoutMs).has_value());
  ChildProcess second = program.Start(L"/uinst");
  ASSERT_TRUE(start.WaitForExit(kProcessTimeoutMs));
  ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs));
  EXPECT_FALSE(WaitForPingback("14", 1000).has_value());
}

}  // namespace
