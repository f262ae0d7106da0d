#include "common/Logger.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

class RecordingSink : public ILogSink {
public:
  explicit RecordingSink(unsigned level) { threshold = level; }
  void Write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

TEST(LoggerTest, LineHasTimeStampLevelModuleAndMessage) {
  CLogger logger("network");
  RecordingSink sink(5);
  logger.AddSink("test", &sink);
  logger.Log(1, "%s(%d) open db error code %d, db path %s", "CSqliteConnection::Open", 29, 14, "d:\\x.db");
  ASSERT_EQ(sink.lines.size(), 1u);
  const std::regex shape(
      R"(\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\] <ERROR> \[network\] )"
      R"(CSqliteConnection::Open\(29\) open db error code 14, db path d:\\x\.db)");
  EXPECT_TRUE(std::regex_match(sink.lines[0], shape)) << sink.lines[0];
}

TEST(LoggerTest, LevelNamesIncludingInvalid) {
  EXPECT_STREQ(LogLevelName(1), "ERROR");
  EXPECT_STREQ(LogLevelName(2), "WARN");
  EXPECT_STREQ(LogLevelName(3), "EVENT");
  EXPECT_STREQ(LogLevelName(4), "INFO");
  EXPECT_STREQ(LogLevelName(5), "DEBUG");
  EXPECT_STREQ(LogLevelName(0), "INVALID");
  EXPECT_STREQ(LogLevelName(6), "INVALID");

  CLogger logger("m");
  RecordingSink sink(100);
  logger.AddSink("s", &sink);
  logger.Log(7, "x");
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_NE(sink.lines[0].find("<INVALID> [m] x"), std::string::npos);
}

TEST(LoggerTest, SinkReceivesOnlyLevelsUpToItsThreshold) {
  CLogger logger("network");
  RecordingSink errorsOnly(1);
  RecordingSink upToEvents(3);
  logger.AddSink("a", &errorsOnly);
  logger.AddSink("b", &upToEvents);
  for (unsigned level = 1; level <= 5; ++level) logger.Log(level, "level %u", level);
  EXPECT_EQ(errorsOnly.lines.size(), 1u);
  EXPECT_EQ(upToEvents.lines.size(), 3u);
}

TEST(LoggerTest, SinksAreCalledInNameOrder) {
  CLogger logger("network");
  std::vector<std::string> order;
  struct NamedSink : ILogSink {
    NamedSink(std::string n, std::vector<std::string>& o) : name(std::move(n)), out(o) { threshold = 5; }
    void Write(const std::string&) override { out.push_back(name); }
    std::string name;
    std::vector<std::string>& out;
  } zulu("zulu", order), alpha("alpha", order), mike("mike", order);
  logger.AddSink("zulu", &zulu);
  logger.AddSink("alpha", &alpha);
  logger.AddSink("mike", &mike);
  logger.Log(1, "x");
  EXPECT_EQ(order, (std::vector<std::string>{"alpha", "mike", "zulu"}));
}

TEST(LoggerTest, SetLevelOutsideOneToFiveChangesNothing) {
  CLogger logger("network");
  RecordingSink sink(2);
  logger.AddSink("s", &sink);
  logger.SetLevel(0);
  logger.SetLevel(6);
  EXPECT_EQ(logger.Level(), 0u);
  EXPECT_EQ(sink.threshold, 2u);
}

TEST(LoggerTest, SetLevelSetsEverySinkThreshold) {
  CLogger logger("network");
  RecordingSink quiet(1), loud(5);
  logger.AddSink("quiet", &quiet);
  logger.AddSink("loud", &loud);
  logger.SetLevel(3);
  EXPECT_EQ(logger.Level(), 3u);
  for (unsigned level = 1; level <= 5; ++level) logger.Log(level, "m");
  EXPECT_EQ(quiet.lines.size(), 3u);
  EXPECT_EQ(loud.lines.size(), 3u);
}

TEST(LoggerTest, NoSinkReturnsBeforeFormatting) {
  CLogger logger("network");
  // The arguments are missing: formatting would read garbage (and trip the sanitizers).
  const char* format = "%s %s %s %n";
  logger.Log(1, format);
  SUCCEED();
}

TEST(LoggerTest, LineOverLimitIsDroppedAndJustUnderIsKept) {
  // The message itself is cut at 2047 characters, so long lines come from a long module
  // name. Frame: "[" + 23-character stamp + "] <ERROR> [" + module + "] " = 37 + module.
  const size_t frame = 37;
  const std::string message = "0123456789";
  CLogger logger(std::string(3071 - frame - message.size(), 'm'));
  RecordingSink sink(5);
  logger.AddSink("s", &sink);
  logger.Log(1, "%s", message.c_str());  // exactly 3071 characters
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_EQ(sink.lines[0].size(), 3071u);
  logger.Log(1, "%s", (message + "A").c_str());  // 3072 characters: dropped
  EXPECT_EQ(sink.lines.size(), 1u);
}

TEST(LoggerTest, MessageIsCutAt2047Characters) {
  CLogger logger("network");
  RecordingSink sink(5);
  logger.AddSink("s", &sink);
  logger.Log(1, "%s", std::string(5000, 'x').c_str());
  ASSERT_EQ(sink.lines.size(), 1u);
  const std::string& line = sink.lines[0];
  EXPECT_EQ(line.size() - line.find("] x") - 2, 2047u);
}

TEST(LogManagerTest, SameNameGivesSameLoggerAndConcurrentFirstUseIsSafe) {
  std::vector<CLogger*> seen(8, nullptr);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&seen, i] { seen[i] = &CLogManager::GetInstance().GetLogger("concurrent-module"); });
  }
  for (auto& thread : threads) thread.join();
  for (CLogger* logger : seen) EXPECT_EQ(logger, seen[0]);
  EXPECT_EQ(&NetworkLogger(), &CLogManager::GetInstance().GetLogger("network"));
  EXPECT_EQ(NetworkLogger().ModuleName(), "network");
}

TEST(LogManagerTest, NewLoggerTakesNonZeroDefaultLevel) {
  CLogManager::GetInstance().SetDefaultLevel(4);
  EXPECT_EQ(CLogManager::GetInstance().GetLogger("defaulted-module").Level(), 4u);
  CLogManager::GetInstance().SetDefaultLevel(0);
  EXPECT_EQ(CLogManager::GetInstance().GetLogger("undefaulted-module").Level(), 0u);
}

}  // namespace
