// The play-history query through the network library, against the emulator's history.
#include "platform/RidOdo/PlayRecordTask.h"

#include <gtest/gtest.h>

#include <thread>

#include "common/ServiceAddress.h"
#include "platform/RidOdo/RidOdoDll.h"
#include "tests/platform/RidOdo/RequestRecorder.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxtest;

class PlayRecordTaskTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    ResetEmulator();
  }
  void TearDown() override { _putenv_s(service_address::kOverrideVariable, m_origin.c_str()); }

  std::vector<PlayRecordResult> Query(const std::wstring& cookie, int count = 50) {
    EXPECT_TRUE(task->QueryRecords(&recorder, cookie, count));
    return recorder.WaitFor(1);
  }

  CPlayRecordTask* task = fnRidOdoDll()->GetPlayRecordTask();
  PlayRecordRecorder recorder;

private:
  std::string m_origin = EmulatorOrigin();
};

TEST_F(PlayRecordTaskTest, RecordsOfTheCookieArriveInOneCall) {
  const auto results = Query(L"cookie-123");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].code, kPlayRecordOk);
  EXPECT_EQ(results[0].value, 200);
  ASSERT_EQ(results[0].records.size(), 2u);
  EXPECT_EQ(results[0].records[0].albumId, L"123");
  EXPECT_EQ(results[0].records[0].tvId, L"4567");
  EXPECT_EQ(results[0].records[0].videoUrl, L"http://www.vexo.com/v_played123.html");
  EXPECT_EQ(results[0].records[1].albumId, L"77");
  EXPECT_EQ(results[0].records[1].videoUrl, L"http://www.vexo.com/v_played77.html?list=1");

  const Json::Value requests = EmulatorJson("GET", "/__emu/requests?prefix=/apis/playrecord/list");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["query"]["limit"].asString(), "50");
  EXPECT_EQ(requests[0]["headers"]["cookie"].asString(), "vxauth=cookie-123");
}

TEST_F(PlayRecordTaskTest, CountLimitsTheRecords) {
  const auto results = Query(L"cookie-123", 1);
  ASSERT_EQ(results.size(), 1u);
  ASSERT_EQ(results[0].records.size(), 1u);
  EXPECT_EQ(results[0].records[0].albumId, L"123");
}

TEST_F(PlayRecordTaskTest, CookieWithAnyCharactersReachesTheService) {
  const std::string cookie = "a b;c=d,\xE4\xB8\xAD";
  SetOneRecordHistory(cookie, "9", nullptr, "http://www.vexo.com/v_9.html");
  const auto results = Query(L"a b;c=d,\x4E2D");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].code, kPlayRecordOk);
  ASSERT_EQ(results[0].records.size(), 1u);
  EXPECT_EQ(results[0].records[0].albumId, L"9");
}

TEST_F(PlayRecordTaskTest, EmptyHistoryIsAnAnswerWithoutRecords) {
  const auto results = Query(L"cookie-empty");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].code, kPlayRecordOk);
  EXPECT_TRUE(results[0].records.empty());
}

TEST_F(PlayRecordTaskTest, RefusedCookieIsToldWithoutRecords) {
  for (const wchar_t* cookie : {L"unknown", L""}) {
    PlayRecordRecorder refused;
    ASSERT_TRUE(task->QueryRecords(&refused, cookie, 50));
    const auto results = refused.WaitFor(1);
    ASSERT_EQ(results.size(), 1u) << cookie;
    EXPECT_EQ(results[0].code, kPlayRecordNotLoggedIn) << cookie;
    EXPECT_TRUE(results[0].records.empty());
  }
}

TEST_F(PlayRecordTaskTest, NoServiceIsAFailureWithoutRecords) {
  _putenv_s(service_address::kOverrideVariable, "http://127.0.0.1:1");
  const auto results = Query(L"cookie-123");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].code, kPlayRecordFailed);
  EXPECT_EQ(results[0].value, 0);
  EXPECT_TRUE(results[0].records.empty());
}

TEST_F(PlayRecordTaskTest, QueryWithoutHandlerIsRefused) {
  EXPECT_FALSE(task->QueryRecords(nullptr, L"cookie-123", 50));
}

TEST_F(PlayRecordTaskTest, QueriesInParallelEachAnswerOnce) {
  PlayRecordRecorder many;
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(task->QueryRecords(&many, i % 2 ? L"cookie-123" : L"unknown", 50));
  const auto results = many.WaitFor(8);
  ASSERT_EQ(results.size(), 8u);
  int answered = 0;
  for (const PlayRecordResult& result : results) answered += result.code == kPlayRecordOk ? 1 : 0;
  EXPECT_EQ(answered, 4);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(many.WaitFor(9, 0).size(), 8u);
}

}  // namespace
