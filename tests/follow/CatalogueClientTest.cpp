// The catalogue client against the local service emulator (tools/emulator/fixtures/catalogue.json):
// the latest-episode question, and album information from the request to the hand-over at
// the sink that the program installs, which here records what it is given.
#include <windows.h>

#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "common/Logger.h"
#include "follow/AlbumInfoParser.h"
#include "follow/LatestVideo.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/ProcessHarness.h"

namespace {

using vxtest::EmulatorOrigin;

constexpr DWORD kAnswerWaitMs = 10000;
// How long a request that must not reach the window is given to do so anyway.
constexpr DWORD kQuietWaitMs = 1000;

// ---------------------------------------------------------------------------------------------
// The emulator's catalogue

Json::Value BigAlbumFields(int id, const std::string& name) {
  Json::Value album;
  album["pb_version"] = "1.0";
  album["timestamp"] = "t";
  album["effect"] = true;
  album["id"] = id;
  album["name"] = name;
  album["tv_id"] = 4000;
  album["vid"] = "vid4000";
  Json::Value big;
  big["pb_version"] = "1.0";
  big["timestamp"] = "t";
  big["id"] = id;
  big["name"] = name;
  big["album"] = album;
  return big;
}

// Sets album `key` to answer `big` (and no latest episode); false when the emulator refused.
bool PutBigAlbum(Json::UInt64 key, const Json::Value& big, const std::string& answer = "complete") {
  Json::Value body;
  body["album"] = key;
  body["big_album"] = big;
  body["answer"] = answer;
  const Json::Value stored =
      vxtest::EmulatorJson("POST", "/__emu/catalogue", Json::writeString(Json::StreamWriterBuilder(), body));
  return stored.isObject() && stored.isMember("album");
}

bool PutLatest(int key, const Json::Value& latest) {
  Json::Value body;
  body["album"] = key;
  body["latest"] = latest;
  const Json::Value stored =
      vxtest::EmulatorJson("POST", "/__emu/catalogue", Json::writeString(Json::StreamWriterBuilder(), body));
  return stored.isObject() && stored.isMember("album");
}

std::vector<std::string> RequestedCataloguePaths() {
  std::vector<std::string> paths;
  for (const Json::Value& request : vxtest::EmulatorJson("GET", "/__emu/requests?prefix=/r/dorsa/album/")) {
    paths.push_back(request["path"].asString());
  }
  return paths;
}

bool WaitForRequests(size_t count) {
  return vxtest::WaitUntil([count] { return RequestedCataloguePaths().size() >= count; }, kAnswerWaitMs);
}

// Sets VXTAILCAST_SERVICE_URL for its lifetime.
class ScopedServiceUrl {
public:
  explicit ScopedServiceUrl(const std::string& url) : m_saved(EmulatorOrigin()) { Set(url); }
  ~ScopedServiceUrl() { Set(m_saved); }
  ScopedServiceUrl(const ScopedServiceUrl&) = delete;
  ScopedServiceUrl& operator=(const ScopedServiceUrl&) = delete;

private:
  static void Set(const std::string& url) { _putenv_s("VXTAILCAST_SERVICE_URL", url.c_str()); }
  std::string m_saved;
};

// ---------------------------------------------------------------------------------------------
// FetchLatestVideo

class LatestVideoTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    vxtest::ResetEmulator();
  }
};

TEST_F(LatestVideoTest, FixtureAlbumsAreAnsweredWithTheirCounts) {
  const struct {
    int album, category, count, updateto;
  } cases[] = {{123, 2, 40, 12}, {124, 2, 40, 40}, {125, 1, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.album);
    const LatestVideoAnswer answer = FetchLatestVideo(c.album);
    ASSERT_EQ(answer.status, LatestVideoStatus::Answered);
    EXPECT_EQ(answer.video.album_id(), c.album);
    EXPECT_EQ(answer.video.category_id(), c.category);
    EXPECT_EQ(answer.video.video_count(), c.count);
    EXPECT_EQ(answer.video.video_count_updateto(), c.updateto);
  }
  EXPECT_EQ(RequestedCataloguePaths(), (std::vector<std::string>{"/r/dorsa/album/latest/123/pb/",
                                                                 "/r/dorsa/album/latest/124/pb/",
                                                                 "/r/dorsa/album/latest/125/pb/"}));
}

TEST_F(LatestVideoTest, AbsentCountsReadAsZero) {
  const LatestVideoAnswer answer = FetchLatestVideo(126);
  ASSERT_EQ(answer.status, LatestVideoStatus::Answered);
  EXPECT_FALSE(answer.video.has_video_count());
  EXPECT_EQ(answer.video.video_count(), 0);
  EXPECT_EQ(answer.video.video_count_updateto(), 0);
}

TEST_F(LatestVideoTest, NegativeIdIsAskedSigned) {
  Json::Value latest;
  latest["album_id"] = -123;
  latest["tv_id"] = 1;
  latest["vid"] = "v1";
  latest["video_count"] = 5;
  ASSERT_TRUE(PutLatest(-123, latest));
  const LatestVideoAnswer answer = FetchLatestVideo(-123);
  ASSERT_EQ(answer.status, LatestVideoStatus::Answered);
  EXPECT_EQ(answer.video.video_count(), 5);
  EXPECT_EQ(RequestedCataloguePaths(), std::vector<std::string>{"/r/dorsa/album/latest/-123/pb/"});
}

TEST_F(LatestVideoTest, BodiesThatAreNoCompleteMessageAreUnreadable) {
  // truncated, garbage, missing vid, trailing garbage
  for (int album : {900, 901, 902, 906}) {
    SCOPED_TRACE(album);
    const LatestVideoAnswer answer = FetchLatestVideo(album);
    EXPECT_EQ(answer.status, LatestVideoStatus::Unreadable);
    EXPECT_FALSE(answer.video.has_album_id());
    EXPECT_EQ(answer.video.video_count(), 0);
  }
}

TEST_F(LatestVideoTest, FailedFetchesAreNoAnswer) {
  // an empty 200, 404 and 500 statuses, an album the catalogue does not know
  for (int album : {903, 904, 905, 999}) {
    SCOPED_TRACE(album);
    const LatestVideoAnswer answer = FetchLatestVideo(album);
    EXPECT_EQ(answer.status, LatestVideoStatus::NoAnswer);
    EXPECT_FALSE(answer.video.has_album_id());
  }
  EXPECT_EQ(RequestedCataloguePaths().size(), 4u);
}

TEST_F(LatestVideoTest, NoServerIsNoAnswer) {
  const ScopedServiceUrl closed("http://127.0.0.1:1");
  EXPECT_EQ(FetchLatestVideo(123).status, LatestVideoStatus::NoAnswer);
}

// ---------------------------------------------------------------------------------------------
// CAlbumInfoParser: a test application whose main window records every hand-over.

struct HandOver {
  AlbumInfo info;
  DWORD thread = 0;
};

class HandOverLog {
public:
  void Add(HandOver handOver) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_entries.push_back(std::move(handOver));
    }
    m_changed.notify_all();
  }
  std::vector<HandOver> Entries() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries;
  }
  bool WaitForCount(size_t count, DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_entries.size() >= count; });
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
  }

private:
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<HandOver> m_entries;
};

// The sink the program would install, recording each hand-over and the thread it came on.
HandOverLog* g_handOvers = nullptr;

void RecordHandOver(const AlbumInfo& info) {
  if (g_handOvers) g_handOvers->Add(HandOver{info, ::GetCurrentThreadId()});
}

class LineSink : public ILogSink {
public:
  LineSink() { threshold = LOG_LEVEL_DEBUG; }
  void Write(const std::string& line) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.push_back(line);
  }
  std::vector<std::string> Lines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
  }

private:
  mutable std::mutex m_mutex;
  std::vector<std::string> m_lines;
};

class AlbumInfoParserTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    s_log = new HandOverLog;
    g_handOvers = s_log;
  }
  static void TearDownTestSuite() {
    SetAlbumInfoSink(nullptr);
    g_handOvers = nullptr;
    delete s_log;
  }

  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    vxtest::ResetEmulator();
    SetAlbumInfoSink(&RecordHandOver);
    s_log->Clear();
    NetworkLogger().AddSink("catalogue-test", &m_sink);
  }
  void TearDown() override { NetworkLogger().RemoveSink("catalogue-test"); }

  static CAlbumInfoParser& Parser() { return CAlbumInfoParser::GetInstance(); }

  // One album-information answer, handed to the callback as the library would.
  static std::string AnswerBody(int album) { return vxtest::EmulatorRequest("GET", AlbumPath(album)).body; }
  static std::string AlbumPath(int album) { return "/r/dorsa/album/b/" + std::to_string(album) + "/pb/"; }
  static CResourceArg* Delivered(int id, const std::string& body) {
    auto* arg = new CResourceArg(id);
    arg->SetBody(std::vector<char>(body.begin(), body.end()));
    return arg;
  }

  HandOver WaitForOneHandOver() {
    EXPECT_TRUE(s_log->WaitForCount(1, kAnswerWaitMs)) << "no hand-over arrived";
    const std::vector<HandOver> entries = s_log->Entries();
    EXPECT_EQ(entries.size(), 1u);
    return entries.empty() ? HandOver{} : entries.front();
  }

  std::vector<std::string> CannotParseLines() const {
    static const std::regex shape(R"(.*<ERROR> \[network\] CAlbumInfoParser::ParseAlbumPbString\(87\) )"
                                  R"(can not parse \d+ pb file)");
    std::vector<std::string> lines;
    for (const std::string& line : m_sink.Lines()) {
      if (std::regex_match(line, shape)) lines.push_back(line);
    }
    return lines;
  }

  static HandOverLog* s_log;
  LineSink m_sink;
};

HandOverLog* AlbumInfoParserTest::s_log = nullptr;

TEST_F(AlbumInfoParserTest, AnswerReachesTheSinkFilledOnTheLibrarysThread) {
  Parser().RequestAlbumInfo(123);
  const HandOver handOver = WaitForOneHandOver();
  const AlbumInfo& info = handOver.info;
  EXPECT_EQ(info.AlbumID, 123);
  EXPECT_EQ(info.CategoryID, 2);
  EXPECT_EQ(info.TvID, 4567);
  EXPECT_EQ(info.PlayCount, 1000);
  EXPECT_EQ(info.SetsCount, 40);
  EXPECT_EQ(info.TvYear, 2013);  // "2013年"
  EXPECT_EQ(info.SourceID, 7);
  EXPECT_EQ(info.AlbumName, L"ABC");
  EXPECT_EQ(info.SourceName, L"Vexo");
  EXPECT_EQ(info.PlayUrl, "http://www.vexo.com/a_123.html");
  EXPECT_NE(handOver.thread, ::GetCurrentThreadId());
  EXPECT_EQ(RequestedCataloguePaths(), std::vector<std::string>{"/r/dorsa/album/b/123/pb/"});
  EXPECT_TRUE(m_sink.Lines().empty());
}

TEST_F(AlbumInfoParserTest, NegativeIdIsAskedUnsigned) {
  ASSERT_TRUE(PutBigAlbum(4294967173u, BigAlbumFields(-123, "Negative")));
  Parser().RequestAlbumInfo(-123);
  EXPECT_EQ(WaitForOneHandOver().info.AlbumID, -123);
  EXPECT_EQ(RequestedCataloguePaths(), std::vector<std::string>{"/r/dorsa/album/b/4294967173/pb/"});
}

TEST_F(AlbumInfoParserTest, AbsentOptionalFieldsHandOverDefaults) {
  Parser().RequestAlbumInfo(126);
  const AlbumInfo info = WaitForOneHandOver().info;
  EXPECT_EQ(info.AlbumID, 126);
  EXPECT_EQ(info.PlayUrl, "");
  EXPECT_EQ(info.TvYear, 0);
  EXPECT_EQ(info.PlayCount, 0);
  EXPECT_EQ(info.SourceName, L"");
}

TEST_F(AlbumInfoParserTest, TvYearIsItsLeadingNumber) {
  const struct {
    int album;
    const char* tvYear;
    int expected;
  } cases[] = {{140, "1999\xE5\xB9\xB4\xE7\xA7\x8B", 1999}, {141, "", 0}, {142, "unknown", 0}, {143, " 88a", 88}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tvYear);
    Json::Value big = BigAlbumFields(c.album, "Year");
    big["album"]["tv_year"] = c.tvYear;
    ASSERT_TRUE(PutBigAlbum(c.album, big));
    s_log->Clear();
    Parser().RequestAlbumInfo(c.album);
    EXPECT_EQ(WaitForOneHandOver().info.TvYear, c.expected);
  }
}

TEST_F(AlbumInfoParserTest, NamesAreReadInTheAnsiCodePage) {
  if (::GetACP() != 1252) GTEST_SKIP() << "expects the Western code page, this is " << ::GetACP();
  Json::Value big = BigAlbumFields(150, "Caf\xC3\xA9");  // UTF-8 on the wire
  big["album"]["source_name"] = "\xC3\xA9t\xC3\xA9";
  ASSERT_TRUE(PutBigAlbum(150, big));
  Parser().RequestAlbumInfo(150);
  const AlbumInfo info = WaitForOneHandOver().info;
  EXPECT_EQ(info.AlbumName, L"Caf\u00C3\u00A9");  // each byte one character of code page 1252
  EXPECT_EQ(info.SourceName, L"\u00C3\u00A9t\u00C3\u00A9");
}

TEST_F(AlbumInfoParserTest, UnreadableAnswersAreLoggedAndNotHandedOver) {
  // truncated, garbage, Album without vid, empty, trailing garbage
  const std::vector<int> albums = {900, 901, 902, 903, 906};
  for (int album : albums) Parser().RequestAlbumInfo(album);
  ASSERT_TRUE(vxtest::WaitUntil([&] { return CannotParseLines().size() >= albums.size(); }, kAnswerWaitMs))
      << m_sink.Lines().size() << " log lines";
  EXPECT_EQ(CannotParseLines().size(), albums.size());
  const std::vector<std::string> lines = CannotParseLines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.find(" can not parse 0 pb file") != std::string::npos; }),
            1);  // the empty answer
  EXPECT_FALSE(s_log->WaitForCount(1, kQuietWaitMs));
}

TEST_F(AlbumInfoParserTest, EveryMissingRequiredFieldStopsTheHandOver) {
  const char* const required[] = {"pb_version", "timestamp", "id", "name", "album",
                                  "album.pb_version", "album.timestamp", "album.effect", "album.id",
                                  "album.name", "album.tv_id", "album.vid"};
  int album = 160;
  for (const char* path : required) {
    SCOPED_TRACE(path);
    Json::Value big = BigAlbumFields(album, "Partial");
    const std::string name = path;
    if (name.rfind("album.", 0) == 0) {
      big["album"].removeMember(name.substr(6));
    } else {
      big.removeMember(name);
    }
    ASSERT_TRUE(PutBigAlbum(album, big, "missing_required"));
    const std::string body = AnswerBody(album);
    ASSERT_FALSE(body.empty());
    EXPECT_EQ(Parser().OnResCallback(0, Delivered(CAlbumInfoParser::kAlbumInfoRequestId, body)), 1);
    ++album;
  }
  EXPECT_EQ(CannotParseLines().size(), std::size(required));
  EXPECT_TRUE(s_log->Entries().empty());
}

TEST_F(AlbumInfoParserTest, FailedRequestsAreDroppedSilently) {
  // 404 and 500 statuses, an album the catalogue does not know
  for (int album : {904, 905, 999}) Parser().RequestAlbumInfo(album);
  ASSERT_TRUE(WaitForRequests(3));
  EXPECT_FALSE(s_log->WaitForCount(1, kQuietWaitMs));
  EXPECT_TRUE(m_sink.Lines().empty());

  // The same through the callback itself, with a body that would parse.
  EXPECT_EQ(Parser().OnResCallback(1, Delivered(CAlbumInfoParser::kAlbumInfoRequestId, AnswerBody(123))), 1);
  EXPECT_TRUE(s_log->Entries().empty());
  EXPECT_TRUE(m_sink.Lines().empty());
}

TEST_F(AlbumInfoParserTest, CallbackHandsOverOnlyAlbumInformation) {
  const std::string body = AnswerBody(124);
  EXPECT_EQ(Parser().OnResCallback(0, Delivered(1000, body)), 1);  // a reminder request's id
  EXPECT_TRUE(s_log->Entries().empty());

  // The hand-over is synchronous: the sink has the record when the callback returns.
  EXPECT_EQ(Parser().OnResCallback(0, Delivered(CAlbumInfoParser::kAlbumInfoRequestId, body)), 1);
  const std::vector<HandOver> entries = s_log->Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].info.AlbumID, 124);
  EXPECT_EQ(entries[0].info.AlbumName, L"Complete");
  EXPECT_EQ(Parser().OnResCallback(0, nullptr), 1);
}

TEST_F(AlbumInfoParserTest, NoSinkNoHandOver) {
  SetAlbumInfoSink(nullptr);
  Parser().RequestAlbumInfo(123);
  ASSERT_TRUE(WaitForRequests(1));
  EXPECT_FALSE(s_log->WaitForCount(1, kQuietWaitMs));
  EXPECT_EQ(Parser().OnResCallback(0, Delivered(CAlbumInfoParser::kAlbumInfoRequestId, AnswerBody(123))), 1);
  EXPECT_TRUE(s_log->Entries().empty());
  EXPECT_TRUE(m_sink.Lines().empty());
}

TEST_F(AlbumInfoParserTest, ParseFillsOnlyFromACompleteBigAlbum) {
  AlbumInfo info;
  ASSERT_EQ(Parser().ParseAlbumPbString(&info, AnswerBody(125)), 1);
  EXPECT_EQ(info.AlbumID, 125);
  EXPECT_EQ(info.CategoryID, 1);
  EXPECT_EQ(info.TvYear, 2010);
  EXPECT_EQ(info.PlayUrl, "http://www.vexo.com/v_125.html");

  AlbumInfo untouched;
  EXPECT_EQ(Parser().ParseAlbumPbString(&untouched, AnswerBody(900)), 0);
  EXPECT_EQ(untouched.AlbumID, 0);
  EXPECT_EQ(untouched.PlayUrl, "");
  EXPECT_EQ(Parser().ParseAlbumPbString(nullptr, AnswerBody(125)), 0);
  EXPECT_EQ(CannotParseLines().size(), 1u);
}

}  // namespace
