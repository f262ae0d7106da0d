// Abandoning the network, as the end of the process does: a request in flight and every later
// one end without a callback, and nothing more goes out. Abandoning is for good, so these tests
// run in a process of their own (CTest "ridodo_abandoned"); the "ridodo" run leaves them out.
#include "common/OpenInternetHandles.h"

#include <gtest/gtest.h>

#include "common/ScopedWin.h"
#include "platform/RidOdo/RidOdo.h"
#include "tests/platform/RidOdo/RequestRecorder.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxtest;

class AbandonedNetworkTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    ResetEmulator();
    module.SetCallback(&recorder);
  }
  void TearDown() override { LiftSilence(); }

  // True when the library released the argument of a request for `path` within 10 s.
  bool GetAndWaitForRelease(const std::string& path, const std::function<void()>& meanwhile = nullptr) {
    ScopedKernelHandle released(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CResourceRequest request;
    request.url = EmulatorOrigin() + path;
    request.timeoutMs = 20000;
    if (!module.GetRes(request, new WatchedArg(released.Get()))) return false;
    if (meanwhile) meanwhile();
    return ::WaitForSingleObject(released.Get(), 10000) == WAIT_OBJECT_0;
  }

  ResourceRecorder recorder;
  CTaskModule module;
};

TEST_F(AbandonedNetworkTest, NoCallbackComesAndNothingMoreGoesOut) {
  SilenceService();
  const bool heldOneReleased = GetAndWaitForRelease("/pictures/ok.jpg", [] {
    ASSERT_TRUE(WaitForRequest("/pictures/ok.jpg", 10000));
    AbandonNetwork();
    LiftSilence();  // under Wine closing its handles does not end the blocked call; the closed connection does
  });
  EXPECT_TRUE(heldOneReleased) << "the request in flight was never released";

  EXPECT_TRUE(GetAndWaitForRelease("/pictures/big.jpg"));
  CPingbackPump& pump = CPingbackPump::GetInstance();
  pump.SendASynLog(LogParamInfo(1, false, "14", -1, 0, 0, -1, "", ""));
  EXPECT_TRUE(pump.WaitUntilSent(10000));

  EXPECT_TRUE(recorder.WaitFor(1, 0).empty()) << "a callback came after the network was abandoned";
  // WinINet may send the request in flight once more when its connection closes unanswered.
  const Json::Value logged = EmulatorJson("GET", "/__emu/requests");
  ASSERT_GE(logged.size(), 1u);
  for (const Json::Value& request : logged) {
    EXPECT_EQ(request["path"].asString(), "/pictures/ok.jpg") << "went out after the network was abandoned";
  }
}

}  // namespace
