// Pingbacks through the network library, received by the emulator's sink.
#include "platform/RidOdo/PingbackPump.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/ServiceAddress.h"
#include "platform/RidOdo/RidOdoDll.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxtest;

class PingbackPumpTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    ForgetPingbacks();
  }
  void TearDown() override { _putenv_s(service_address::kOverrideVariable, m_origin.c_str()); }

  CPingbackPump& pump = CPingbackPump::GetInstance();

private:
  std::string m_origin = EmulatorOrigin();
};

TEST_F(PingbackPumpTest, RecordArrivesWithEveryField) {
  LogParamInfo info(1, true, "3", -1, 0, 0, -1, "20001", "");
  info.uuid = fnRidOdoDll()->GetUuid();
  pump.SetIsTailcast(1);
  pump.SendASynLog(info);
  ASSERT_TRUE(pump.WaitUntilSent(10000));
  const Json::Value pingbacks = ReceivedPingbacks();
  ASSERT_EQ(pingbacks.size(), 1u);
  const Json::Value& query = pingbacks[0]["query"];
  EXPECT_EQ(pingbacks[0]["path"].asString(), "/tailcast/pingback");
  EXPECT_EQ(query["t"].asString(), "1");
  EXPECT_EQ(query["login"].asString(), "1");
  EXPECT_EQ(query["a"].asString(), "3");
  EXPECT_EQ(query["p1"].asString(), "-1");
  EXPECT_EQ(query["p2"].asString(), "0");
  EXPECT_EQ(query["p3"].asString(), "0");
  EXPECT_EQ(query["p4"].asString(), "-1");
  EXPECT_EQ(query["uid"].asString(), "20001");
  EXPECT_EQ(query["ext"].asString(), "");
  EXPECT_EQ(query["uuid"].asString(), info.uuid);
  EXPECT_EQ(query["tc"].asString(), "1");
}

TEST_F(PingbackPumpTest, RecordsLeaveInTheOrderTheyWereQueued) {
  pump.SetIsTailcast(1);
  for (int i = 0; i < 10; ++i) pump.SendASynLog(LogParamInfo(1, false, std::to_string(i), -1, 0, 0, -1, "", ""));
  ASSERT_TRUE(pump.WaitUntilSent(20000));
  const Json::Value pingbacks = ReceivedPingbacks();
  ASSERT_EQ(pingbacks.size(), 10u);
  for (Json::ArrayIndex i = 0; i < pingbacks.size(); ++i) {
    EXPECT_EQ(pingbacks[i]["query"]["a"].asString(), std::to_string(i));
    EXPECT_EQ(pingbacks[i]["query"]["login"].asString(), "0");
  }
}

TEST_F(PingbackPumpTest, TailcastMarkIsTakenWhenTheRecordIsQueued) {
  pump.SetIsTailcast(0);
  pump.SendASynLog(LogParamInfo(1, false, "unmarked", -1, 0, 0, -1, "", ""));
  pump.SetIsTailcast(1);
  pump.SendASynLog(LogParamInfo(1, false, "marked", -1, 0, 0, -1, "", ""));
  ASSERT_TRUE(pump.WaitUntilSent(10000));
  const Json::Value pingbacks = ReceivedPingbacks();
  ASSERT_EQ(pingbacks.size(), 2u);
  EXPECT_EQ(pingbacks[0]["query"]["tc"].asString(), "0");
  EXPECT_EQ(pingbacks[1]["query"]["tc"].asString(), "1");
}

// A sink that cannot be reached costs that one record; the queue goes on afterwards.
TEST_F(PingbackPumpTest, UnreachableSinkDoesNotJamTheQueue) {
  _putenv_s(service_address::kOverrideVariable, "http://127.0.0.1:1");
  pump.SendASynLog(LogParamInfo(1, false, "lost", -1, 0, 0, -1, "", ""));
  ASSERT_TRUE(pump.WaitUntilSent(20000));
  TearDown();  // the emulator again
  pump.SendASynLog(LogParamInfo(1, false, "after", -1, 0, 0, -1, "", ""));
  ASSERT_TRUE(pump.WaitUntilSent(10000));
  const Json::Value pingbacks = ReceivedPingbacks();
  ASSERT_EQ(pingbacks.size(), 1u);
  EXPECT_EQ(pingbacks[0]["query"]["a"].asString(), "after");
}

}  // namespace
