#include "push/ReminderFeed.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::set<int32_t> kFollowed = {123, 124, 125, 126};

std::optional<ParsedReminderFeed> Parse(const std::string& body, const std::set<int32_t>& followed = kFollowed) {
  return ParseReminderFeed(body.data(), body.size(), followed);
}

std::vector<int32_t> KeptAlbums(const std::string& body, const std::set<int32_t>& followed = kFollowed) {
  std::vector<int32_t> albums;
  const auto feed = Parse(body, followed);
  if (feed) {
    for (const auto& entry : feed->kept) albums.push_back(entry.albumId);
  }
  return albums;
}

std::string Item(int albumId, int channel = 2) {
  return "{\"albumId\":" + std::to_string(albumId) + ",\"channelId\":" + std::to_string(channel) + "}";
}

std::string Feed(const std::string& data, int count) {
  return "{\"code\":\"A00000\",\"count\":" + std::to_string(count) + ",\"data\":" + data + "}";
}

TEST(ReminderFeedTest, AnswersThatAreNoFeedGiveNothing) {
  const std::string good = Feed("[" + Item(123) + "]", 1);
  ASSERT_TRUE(Parse(good).has_value());
  const std::vector<std::string> refused = {
      "{\"code\":\"A00001\",\"count\":1,\"data\":[" + Item(123) + "]}",
      "{\"count\":1,\"data\":[" + Item(123) + "]}",
      "{\"code\":0,\"data\":[]}",
      "{\"code\":\"A00000 \",\"data\":[]}",
      good.substr(0, good.size() / 2),
      "<html>502 Bad Gateway</html>",
      "[\"A00000\"]",
      "",
      std::string(100000, '['),
  };
  for (const auto& body : refused) EXPECT_FALSE(Parse(body).has_value()) << body.substr(0, 80);
  EXPECT_FALSE(ParseReminderFeed(nullptr, 10, kFollowed).has_value());
}

TEST(ReminderFeedTest, BodyEndsAtItsFirstZeroByteAndMayCarryComments) {
  std::string body = Feed("[" + Item(123) + "]", 1);
  body += std::string("\0 trailing bytes {", 18);
  EXPECT_EQ(KeptAlbums(body), std::vector<int32_t>{123});

  const std::string cut = std::string("{\"code\":\"A00000\",\0\"count\":1}", 29);
  EXPECT_FALSE(Parse(cut).has_value());

  EXPECT_EQ(KeptAlbums("// the service's note\n" + Feed("[/* one */" + Item(124) + "]", 1)),
            std::vector<int32_t>{124});
}

TEST(ReminderFeedTest, CountAndDataDisagree) {
  const auto notArray = Parse("{\"code\":\"A00000\",\"count\":3,\"data\":{\"albumId\":123}}");
  ASSERT_TRUE(notArray.has_value());
  EXPECT_TRUE(notArray->kept.empty());

  const std::string two = "[" + Item(123) + "," + Item(124) + "]";
  EXPECT_EQ(KeptAlbums(Feed(two, 3)), (std::vector<int32_t>{123, 124}));
  EXPECT_EQ(KeptAlbums(Feed(two, 1)), std::vector<int32_t>{123});
  EXPECT_TRUE(KeptAlbums(Feed(two, -5)).empty());
  EXPECT_TRUE(KeptAlbums("{\"code\":\"A00000\",\"count\":\"2\",\"data\":" + two + "}").empty());
  // A count far beyond the array ends with the array; the items it promises could only be
  // empty ones, and album 0 is never kept.
  EXPECT_EQ(KeptAlbums(Feed(two, 2000000000), {0, 123, 124}), (std::vector<int32_t>{123, 124}));
  EXPECT_TRUE(KeptAlbums(Feed("[" + Item(0) + "]", 1), {0}).empty());
}

TEST(ReminderFeedTest, KeepsFollowedAlbumsInFeedOrderWithTheirFeedIndex) {
  const std::string data = "[" + Item(125, 1) + "," + Item(999, 2) + "," + Item(123, 2) + ",7," + Item(124, 4) +
                           "," + Item(126, 6) + "]";
  const auto feed = Parse(Feed(data, 6));
  ASSERT_TRUE(feed.has_value());
  ASSERT_EQ(feed->kept.size(), 4u);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{125, 0}, {123, 2}, {124, 4}, {126, 5}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(feed->kept[i].albumId, expected[i].first);
    EXPECT_EQ(feed->kept[i].feedIndex, expected[i].second);
  }
  EXPECT_TRUE(KeptAlbums(Feed(data, 6), {}).empty());
}

TEST(ReminderFeedTest, ReadsEveryFieldOfAWellFormedItem) {
  const std::string item = R"({"reminder":{"tvPic":"http://p/pic/abc.jpg","tvName":"第12集","tvFocus":"重逢",
    "mpd":20131205},
    "albumId":126,"tvId":4567,"videoId":"v-89ab","channelId":6,"albumName":"快乐大本营","videoOrder":3,
    "sourceName":"湖南卫视","videoPlayTime":"1520","videoUrl":"http://www.vexo.com/v_4567.html"})";
  const auto feed = Parse(Feed("[" + item + "]", 1));
  ASSERT_TRUE(feed.has_value());
  ASSERT_EQ(feed->kept.size(), 1u);
  const ReminderEntry& entry = feed->kept[0];
  EXPECT_EQ(entry.tvPic, "http://p/pic/abc.jpg");
  EXPECT_EQ(entry.tvName, "第12集");
  EXPECT_EQ(entry.tvFocus, "重逢");
  EXPECT_EQ(entry.mpdNumber, 20131205);
  EXPECT_EQ(entry.mpdText, "");
  EXPECT_EQ(entry.albumId, 126);
  EXPECT_EQ(entry.tvId, 4567);
  EXPECT_EQ(entry.videoId, "v-89ab");
  EXPECT_EQ(entry.channelId, 6);
  EXPECT_EQ(entry.albumName, "快乐大本营");
  EXPECT_EQ(entry.videoOrder, 3);
  EXPECT_EQ(entry.sourceName, "湖南卫视");
  EXPECT_EQ(entry.videoPlayTime, 1520);
  EXPECT_EQ(entry.videoUrl, "http://www.vexo.com/v_4567.html");
}

TEST(ReminderFeedTest, FieldsOfAnotherTypeReadAsEmptyOrZero) {
  const std::string item = R"({"reminder":{"tvPic":5,"tvName":["x"],"tvFocus":null,"mpd":"2013-12-05"},
    "albumId":123,"tvId":"4567","videoId":89,"channelId":2.5,"albumName":{"a":1},"videoOrder":true,
    "sourceName":false,"videoPlayTime":1520,"videoUrl":[]})";
  const auto feed = Parse(Feed("[" + item + "]", 1));
  ASSERT_TRUE(feed.has_value());
  ASSERT_EQ(feed->kept.size(), 1u);
  const ReminderEntry& entry = feed->kept[0];
  EXPECT_EQ(entry.tvPic + entry.tvName + entry.tvFocus + entry.videoId + entry.albumName + entry.sourceName +
                entry.videoUrl,
            "");
  EXPECT_EQ(entry.mpdText, "2013-12-05");
  EXPECT_EQ(entry.mpdNumber, 0);
  EXPECT_EQ(entry.tvId, 0);
  EXPECT_EQ(entry.channelId, 0);
  EXPECT_EQ(entry.videoOrder, 0);
  EXPECT_EQ(entry.videoPlayTime, 0);

  const auto reminderNotObject = Parse(Feed(R"([{"albumId":123,"reminder":"abc.jpg"}])", 1));
  ASSERT_TRUE(reminderNotObject.has_value());
  ASSERT_EQ(reminderNotObject->kept.size(), 1u);
  EXPECT_EQ(reminderNotObject->kept[0].tvPic, "");
}

TEST(ReminderFeedTest, PlayTimeIsADecimalText) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"\"-1\"", 0},  {"\"abc\"", 0}, {"\"\"", 0},         {"\"12abc\"", 0}, {"\"99999999999\"", 0},
      {"\"0\"", 0},   {"\"75\"", 75}, {"\"-30\"", -30},    {"\" 5\"", 0},
  };
  for (const auto& [json, expected] : cases) {
    const auto feed = Parse(Feed("[{\"albumId\":123,\"videoPlayTime\":" + json + "}]", 1));
    ASSERT_TRUE(feed.has_value());
    ASSERT_EQ(feed->kept.size(), 1u);
    EXPECT_EQ(feed->kept[0].videoPlayTime, expected) << json;
  }
}

TEST(ReminderPictureTextTest, SmallPictureAddress) {
  EXPECT_EQ(SmallPictureAddress("http://emu/pic/abc.jpg"), "http://emu/pic/abc_145_90.jpg");
  EXPECT_EQ(SmallPictureAddress("http://emu/pictures/album_123.jpg"), "http://emu/pictures/album_123_145_90.jpg");
  EXPECT_EQ(SmallPictureAddress("http://emu/a.b/img.v2.png"), "http://emu/a.b/img.v2_145_90.png");
  EXPECT_EQ(SmallPictureAddress("pic-without-dot"), "");
  EXPECT_EQ(SmallPictureAddress(""), "");
}

TEST(ReminderPictureTextTest, ExtensionComesFromTheLastSegmentOrIsJpg) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"http://emu/pic/abc_145_90.jpg", "jpg"},
      {"http://emu/img.v2.png", "v2.png"},
      {"http://emu.host.com/noextension", "jpg"},
      {"http://emu/pic/abc_145_90.jpg?size=big", "jpg"},
      {"http://emu/a.b\\..\\..\\x.exe", "jpg"},
      {"http://emu/x.jpg\\..\\..\\evil", "jpg"},
      {"http://emu/x.:stream", "jpg"},
      {"http://emu/x.", "jpg"},
      {"http://emu/x..", "jpg"},
      {"http://emu/x.png.", "jpg"},
      {"http://emu/x.abcdefghij0123456", "jpg"},
      {"http://emu/x.abcdefghij012345", "abcdefghij012345"},
      {"http://emu/x.j%20pg", "jpg"},
      {"http://emu/x.图片", "jpg"},
      {"", "jpg"},
  };
  for (const auto& [address, expected] : cases) EXPECT_EQ(PictureFileExtension(address), expected) << address;
}

TEST(ReminderDateTextTest, UnpaddedFieldsMakeSomeDaysAlike) {
  EXPECT_EQ(ReminderDateText(2026, 1, 12), "2026112");
  EXPECT_EQ(ReminderDateText(2026, 11, 2), "2026112");
  EXPECT_EQ(ReminderDateText(2013, 12, 31), "20131231");
  EXPECT_EQ(ReminderDateText(2014, 1, 1), "201411");
}

}  // namespace
