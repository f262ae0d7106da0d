// The play-history client with the real network library and the emulator's history.
#include "follow/PlayRecordManager.h"

#include "common/TraceRecord.h"
#include "follow/DesktopUrlUpdater.h"
#include "tests/follow/FollowFixture.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxtest;

size_t HistoryRequests() { return EmulatorJson("GET", "/__emu/requests?prefix=/apis/playrecord/list").size(); }

class PlayRecordManagerTest : public FollowTest {
protected:
  void SetUp() override {
    FollowTest::SetUp();
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    ResetEmulator();
    ::DeleteFileW(kPlayRecordTraceFile);
  }
  static LoginState LoggedIn(const char* cookie) { return LoginState{true, cookie, ""}; }
};

TEST_F(PlayRecordManagerTest, AnswerMovesTheShortcutToThePlayedEpisode) {
  const LoginState login = LoggedIn("cookie-123");
  const std::wstring lnk = AddFavorite(WebFavorite(L"ABC", 123, L"http://www.vexo.com/v_123.html"));
  auto updater = std::make_shared<CDesktopUrlUpdater>(2);
  updater->QueryPlayRecords(login);
  // The store follows the saved file: wait for both.
  EXPECT_TRUE(WaitUntil([&] { return StoredShortcuts()[0].strVideoURL == "http://www.vexo.com/v_played123.html"; },
                        kProcessTimeoutMs));
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/v_played123.html?src=fromtailcast");
  const Json::Value requests = EmulatorJson("GET", "/__emu/requests?prefix=/apis/playrecord/list");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["query"]["limit"].asString(), "50");
  EXPECT_EQ(requests[0]["headers"]["cookie"].asString(), "vxauth=cookie-123");
}

// Answers are not paired with their queries: the updater asked last gets both.
TEST_F(PlayRecordManagerTest, EveryAnswerGoesToTheLatestReceiver) {
  const LoginState login = LoggedIn("cookie-123");
  auto first = std::make_shared<CDesktopUrlUpdater>(2);
  auto second = std::make_shared<CDesktopUrlUpdater>(2);
  first->QueryPlayRecords(login);
  second->QueryPlayRecords(login);
  ASSERT_TRUE(WaitUntil([&] { return HistoryRequests() == 2 && !second->GetCurrentRecordUrl(77).empty(); },
                        kProcessTimeoutMs));
  ::Sleep(300);  // the other answer, if it were to reach the first updater
  EXPECT_EQ(second->GetCurrentRecordUrl(77), L"http://www.vexo.com/v_played77.html?list=1");
  EXPECT_EQ(first->GetCurrentRecordUrl(77), L"");
}

// Two favourites back to back: the first one's play page must not undo the history that the
// answer, delivered to the second updater, already put on its shortcut.
TEST_F(PlayRecordManagerTest, PlayPageOfAnEarlierUpdaterDoesNotUndoTheHistory) {
  const LoginState login = LoggedIn("cookie-123");
  const std::wstring lnk = AddFavorite(WebFavorite(L"ABC", 123, L"http://www.vexo.com/v_123.html"));
  auto first = std::make_shared<CDesktopUrlUpdater>(2);
  auto second = std::make_shared<CDesktopUrlUpdater>(2);
  first->QueryPlayRecords(login);
  second->QueryPlayRecords(login);
  ASSERT_TRUE(WaitUntil([&] { return StoredShortcuts()[0].strVideoURL == "http://www.vexo.com/v_played123.html"; },
                        kProcessTimeoutMs));
  first->DoUpdateVideoUrl(123, "http://www.vexo.com/a_123.html");
  EXPECT_EQ(StoredShortcuts()[0].strVideoURL, "http://www.vexo.com/v_played123.html");
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/v_played123.html?src=fromtailcast");
}

TEST_F(PlayRecordManagerTest, NoticeGoesToItsSinkAndTouchesNoUpdater) {
  SetOneRecordHistory("cookie-notice", "999", "1", "http://www.vexo.com/v_999.html");
  auto updater = std::make_shared<CDesktopUrlUpdater>(2);
  updater->QueryPlayRecords(LoggedIn("cookie-notice"));  // makes it the receiver
  // The real answer must be in before the hand-made ones, or it would overwrite them.
  ASSERT_TRUE(WaitUntil([&] { return !updater->GetCurrentRecordUrl(999).empty(); }, kProcessTimeoutMs));
  static uint32_t kept = 0;
  CPlayRecordManager::SetNoticeSink([](uint32_t value) { kept = value; });
  CPlayRecordManager::GetInstance().OnPlayRecordResult(CPlayRecordManager::kNoticeCode, 5,
                                                    {PlayRecord{L"123", L"", L"http://www.vexo.com/v_notice.html"}});
  CPlayRecordManager::SetNoticeSink(nullptr);
  EXPECT_EQ(kept, 5u);
  EXPECT_EQ(updater->GetCurrentRecordUrl(123), L"");
  EXPECT_EQ(updater->GetCurrentRecordUrl(999), L"http://www.vexo.com/v_999.html");
  CPlayRecordManager::GetInstance().OnPlayRecordResult(0, 200, {PlayRecord{L"123", L"", L"http://www.vexo.com/v_x.html"}});
  EXPECT_EQ(updater->GetCurrentRecordUrl(123), L"http://www.vexo.com/v_x.html");
}

// The scheduled road: each run asks for whoever is logged in at that moment, and each answer
// moves the web shortcut on; a used-up run count asks the host to stop the timer.
class ScheduledUpdaterTest : public PlayRecordManagerTest, public ITaskHost {
protected:
  void TearDown() override {
    CPlayRecordManager::SetLoginSource(nullptr);
    PlayRecordManagerTest::TearDown();
  }
  void RemoveTask(IExecutable* task) override { removed.push_back(task); }
  void RequestReminders(bool) override {}
  bool ReminderShownToday() override { return false; }

  static void Run(CDesktopUrlUpdater& updater) {
    bool result = false;
    updater.Execute(result);
  }

  static inline LoginState login;
  std::vector<IExecutable*> removed;
};

TEST_F(ScheduledUpdaterTest, EachRunFollowsTheHistoryOfTheLoginOfTheMoment) {
  CPlayRecordManager::SetLoginSource([] { return login; });
  const std::wstring lnk = AddFavorite(WebFavorite(L"ABC", 123, L"http://www.vexo.com/v_123.html"));
  auto updater = std::make_shared<CDesktopUrlUpdater>(2, this);

  login = LoggedIn("cookie-123");
  Run(*updater);
  EXPECT_TRUE(WaitUntil([&] { return LinkAt(lnk).targetItemName == "http://www.vexo.com/v_played123.html?src=fromtailcast"; },
                        kProcessTimeoutMs));
  EXPECT_TRUE(removed.empty());

  SetOneRecordHistory("cookie-123", "123", "4568", "http://www.vexo.com/v_played123_ep2.html?t=9");
  Run(*updater);
  // The store follows the saved file: wait for both.
  EXPECT_TRUE(WaitUntil([&] { return StoredShortcuts()[0].strVideoURL == "http://www.vexo.com/v_played123_ep2.html?t=9"; },
                        kProcessTimeoutMs));
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/v_played123_ep2.html?t=9&src=fromtailcast");
  EXPECT_EQ(removed, std::vector<IExecutable*>{updater.get()});
  EXPECT_EQ(HistoryRequests(), 2u);

  login = LoginState();  // logged out now: the run asks nothing
  Run(*updater);
  ::Sleep(300);
  EXPECT_EQ(HistoryRequests(), 2u);
  EXPECT_EQ(ReadTrace(kPlayRecordTraceFile, L"Tailcast", L"GetPlayRecord "), L"is not online, can not Get Record!");
}

TEST_F(PlayRecordManagerTest, LoggedOutAsksNothing) {
  const LoginState login;  // logged out
  const std::wstring lnk = AddFavorite(WebFavorite(L"ABC", 123, L"http://www.vexo.com/v_123.html"));
  auto updater = std::make_shared<CDesktopUrlUpdater>(2);
  updater->QueryPlayRecords(login);
  updater->QueryPlayRecords(login);
  ::Sleep(500);
  EXPECT_EQ(HistoryRequests(), 0u);
  EXPECT_EQ(ReadTrace(kPlayRecordTraceFile, L"Tailcast", L"GetPlayRecord "), L"is not online, can not Get Record!");
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/v_123.html?src=fromtailcast");
}

}  // namespace
