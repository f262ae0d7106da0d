// Reading catalogue answer bodies: only whole, complete messages are accepted.
#include "follow/CatalogueParse.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

namespace {

using VRSProto1::Album;
using VRSProto1::BigAlbum;
using VRSProto1::LatestVideo;

// Album 123 as the catalogue sends it, every required field set; the Album is the last
// field, so every strict prefix of the encoding cuts a required field.
BigAlbum CompleteBigAlbum() {
  BigAlbum big;
  big.set_pb_version("1.0");
  big.set_timestamp("20240101120000");
  big.set_id(123);
  big.set_name("ABC");
  Album& album = *big.mutable_album();
  album.set_pb_version("1.0");
  album.set_timestamp("20240101120000");
  album.set_effect(true);
  album.set_id(123);
  album.set_name("ABC");
  album.set_tv_id(4567);
  album.set_vid("vid-4567");
  album.set_category_id(2);
  album.set_tv_year("2013");
  album.set_play_url("http://www.vexo.com/a_123.html");
  return big;
}

LatestVideo CompleteLatestVideo() {
  LatestVideo latest;
  latest.set_album_id(123);
  latest.set_tv_id(4567);
  latest.set_vid("vid-4567");
  latest.set_video_count(40);
  latest.set_video_count_updateto(12);
  latest.set_category_id(2);
  return latest;
}

// The encoding of a complete message with one required field cleared ("album.vid" reaches
// into the Album).
// The complete message with the field at `path` cleared, serialised without the required-field check.
template <typename Message>
using FieldClears = std::map<std::string, void (*)(Message&)>;

template <typename Message>
std::string SerializedWithout(Message message, const FieldClears<Message>& clears, const std::string& path) {
  clears.at(path)(message);
  return message.SerializePartialAsString();
}

std::string BigAlbumWithout(const std::string& path) {
  static const FieldClears<BigAlbum> clears = {
      {"pb_version", [](BigAlbum& m) { m.clear_pb_version(); }},
      {"timestamp", [](BigAlbum& m) { m.clear_timestamp(); }},
      {"id", [](BigAlbum& m) { m.clear_id(); }},
      {"name", [](BigAlbum& m) { m.clear_name(); }},
      {"album", [](BigAlbum& m) { m.clear_album(); }},
      {"album.pb_version", [](BigAlbum& m) { m.mutable_album()->clear_pb_version(); }},
      {"album.timestamp", [](BigAlbum& m) { m.mutable_album()->clear_timestamp(); }},
      {"album.effect", [](BigAlbum& m) { m.mutable_album()->clear_effect(); }},
      {"album.id", [](BigAlbum& m) { m.mutable_album()->clear_id(); }},
      {"album.name", [](BigAlbum& m) { m.mutable_album()->clear_name(); }},
      {"album.tv_id", [](BigAlbum& m) { m.mutable_album()->clear_tv_id(); }},
      {"album.vid", [](BigAlbum& m) { m.mutable_album()->clear_vid(); }},
  };
  return SerializedWithout(CompleteBigAlbum(), clears, path);
}

std::string LatestVideoWithout(const std::string& path) {
  static const FieldClears<LatestVideo> clears = {
      {"album_id", [](LatestVideo& m) { m.clear_album_id(); }},
      {"tv_id", [](LatestVideo& m) { m.clear_tv_id(); }},
      {"vid", [](LatestVideo& m) { m.clear_vid(); }},
  };
  return SerializedWithout(CompleteLatestVideo(), clears, path);
}

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string bytes;
  for (unsigned value : values) bytes.push_back(static_cast<char>(value));
  return bytes;
}

TEST(CatalogueParseTest, CompleteMessagesAreReadWithEveryValue) {
  BigAlbum big;
  ASSERT_TRUE(ParseBigAlbum(CompleteBigAlbum().SerializeAsString(), big));
  EXPECT_EQ(big.id(), 123);
  EXPECT_EQ(big.album().name(), "ABC");
  EXPECT_EQ(big.album().vid(), "vid-4567");
  EXPECT_EQ(big.album().category_id(), 2);
  EXPECT_EQ(big.album().play_url(), "http://www.vexo.com/a_123.html");

  LatestVideo latest;
  ASSERT_TRUE(ParseLatestVideo(CompleteLatestVideo().SerializeAsString(), latest));
  EXPECT_EQ(latest.album_id(), 123);
  EXPECT_EQ(latest.video_count(), 40);
  EXPECT_EQ(latest.video_count_updateto(), 12);
  EXPECT_EQ(latest.category_id(), 2);
}

TEST(CatalogueParseTest, EveryRequiredFieldOfBigAlbumAndItsAlbumIsEnforced) {
  for (const char* path : {"pb_version", "timestamp", "id", "name", "album", "album.pb_version",
                           "album.timestamp", "album.effect", "album.id", "album.name", "album.tv_id",
                           "album.vid"}) {
    SCOPED_TRACE(path);
    BigAlbum parsed;
    EXPECT_FALSE(ParseBigAlbum(BigAlbumWithout(path), parsed));
  }
}

TEST(CatalogueParseTest, EveryRequiredFieldOfLatestVideoIsEnforced) {
  for (const char* path : {"album_id", "tv_id", "vid"}) {
    SCOPED_TRACE(path);
    LatestVideo parsed;
    EXPECT_FALSE(ParseLatestVideo(LatestVideoWithout(path), parsed));
  }
}

TEST(CatalogueParseTest, AbsentOptionalFieldsReadAsTheGeneratedDefaults) {
  BigAlbum source = CompleteBigAlbum();
  source.mutable_album()->clear_category_id();
  source.mutable_album()->clear_tv_year();
  source.mutable_album()->clear_play_url();
  BigAlbum big;
  ASSERT_TRUE(ParseBigAlbum(source.SerializeAsString(), big));
  EXPECT_FALSE(big.album().has_play_url());
  EXPECT_EQ(big.album().play_url(), "");
  EXPECT_EQ(big.album().category_id(), 0);
  EXPECT_EQ(big.album().tv_year(), "");
  EXPECT_EQ(big.album().sets_count(), 0);
  EXPECT_FALSE(big.album().is_series());
  EXPECT_FLOAT_EQ(big.album().score(), 0.0f);
  EXPECT_FALSE(big.has_video_list());

  LatestVideo minimal;
  minimal.set_album_id(125);
  minimal.set_tv_id(1);
  minimal.set_vid("v");
  LatestVideo latest;
  ASSERT_TRUE(ParseLatestVideo(minimal.SerializeAsString(), latest));
  EXPECT_FALSE(latest.has_video_count());
  EXPECT_EQ(latest.video_count(), 0);
  EXPECT_EQ(latest.video_count_updateto(), 0);
  EXPECT_EQ(latest.category_id(), 0);
}

TEST(CatalogueParseTest, EmptyBodyIsNoMessage) {
  BigAlbum big;
  LatestVideo latest;
  EXPECT_FALSE(ParseBigAlbum("", big));
  EXPECT_FALSE(ParseLatestVideo("", latest));
}

TEST(CatalogueParseTest, EveryTruncationOfABigAlbumFails) {
  const std::string whole = CompleteBigAlbum().SerializeAsString();
  for (size_t length = 0; length < whole.size(); ++length) {
    BigAlbum big;
    EXPECT_FALSE(ParseBigAlbum(whole.substr(0, length), big)) << "first " << length << " of " << whole.size();
  }
}

TEST(CatalogueParseTest, LatestVideoCutInsideAFieldFails) {
  LatestVideo source = CompleteLatestVideo();
  source.set_video_count(300);  // a two-byte varint
  const std::string whole = source.SerializeAsString();
  const std::string countTag = Bytes({0x20});
  const size_t count = whole.find(countTag + Bytes({0xAC, 0x02}));
  ASSERT_NE(count, std::string::npos);
  LatestVideo latest;
  EXPECT_FALSE(ParseLatestVideo(whole.substr(0, count + 2), latest));  // inside the varint
  EXPECT_FALSE(ParseLatestVideo(whole.substr(0, whole.size() / 2), latest));
  EXPECT_FALSE(ParseLatestVideo(whole.substr(0, whole.size() - 1), latest));
}

TEST(CatalogueParseTest, TrailingBytesThatAreNoFieldFail) {
  const std::vector<std::string> trailers = {
      Bytes({0x00}),                    // field number 0
      Bytes({0xFF}),                    // a varint that never ends
      Bytes({0x0C}),                    // end of a group that never began
      Bytes({0x0B}),                    // start of a group that never ends
      "<html>gateway error</html>",     // a proxy's page
      Bytes({0x22, 0x05, 0x61}),        // a text field shorter than its length
      Bytes({0x0F, 0x01, 0x02, 0x03}),  // wire type 7 does not exist
  };
  const std::string big = CompleteBigAlbum().SerializeAsString();
  const std::string latest = CompleteLatestVideo().SerializeAsString();
  for (const std::string& trailer : trailers) {
    SCOPED_TRACE(testing::PrintToString(trailer));
    BigAlbum bigOut;
    LatestVideo latestOut;
    EXPECT_FALSE(ParseBigAlbum(big + trailer, bigOut));
    EXPECT_FALSE(ParseLatestVideo(latest + trailer, latestOut));
  }
}

TEST(CatalogueParseTest, HugeLengthPrefixesFailWithoutReadingPastTheBody) {
  const std::vector<std::string> bodies = {
      Bytes({0x0A, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}) + "1.0",  // pb_version of 4294967295 bytes
      Bytes({0x0A, 0xFF, 0xFF, 0xFF, 0xFF, 0x07}) + "1.0",  // 2147483647 bytes
      Bytes({0x0A, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01}),  // 11-byte varint
      CompleteBigAlbum().SerializeAsString() + Bytes({0x2A, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}),  // a second album
  };
  for (const std::string& body : bodies) {
    SCOPED_TRACE(testing::PrintToString(body));
    BigAlbum big;
    EXPECT_FALSE(ParseBigAlbum(body, big));
  }
  LatestVideo latest;
  EXPECT_FALSE(ParseLatestVideo(Bytes({0x08, 0x7B, 0x10, 0x01, 0x1A, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x76}), latest));
}

TEST(CatalogueParseTest, FailedParseLeavesTheOutputAsItWas) {
  BigAlbum big = CompleteBigAlbum();
  const std::string before = big.SerializeAsString();
  BigAlbum source = CompleteBigAlbum();
  source.set_id(999);
  source.mutable_album()->clear_vid();
  EXPECT_FALSE(ParseBigAlbum(source.SerializePartialAsString(), big));
  EXPECT_EQ(big.SerializeAsString(), before);

  LatestVideo latest = CompleteLatestVideo();
  EXPECT_FALSE(ParseLatestVideo("garbage", latest));
  EXPECT_EQ(latest.video_count(), 40);
}

TEST(CatalogueParseTest, TvYearReadsLikeAtoi) {
  const struct {
    const char* text;
    int year;
  } cases[] = {
      {"2013", 2013},
      {"2013\xE5\xB9\xB4", 2013},  // "2013年" in UTF-8
      {"2013\xC4\xEA", 2013},      // "2013年" in GBK
      {"  2013", 2013},
      {"+7", 7},
      {"-12", -12},
      {"2013-05-01", 2013},
      {"", 0},
      {"unknown", 0},
      {"\xE5\xB9\xB4" "2013", 0},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(TvYearOf(c.text), c.year) << c.text;
}

}  // namespace
