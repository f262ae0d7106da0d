#include "push/ReminderFeed.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::optional<ParsedReminderFeed> Parse(const std::string& body, const std::set<int32_t>& followed = {123, 124}) {
  return ParseReminderFeed(body.data(), body.size(), followed);
}

// The album ids kept, or {-1} when the answer is refused.
std::vector<int32_t> Kept(const std::string& body, const std::set<int32_t>& followed = {123, 124}) {
  const auto feed = Parse(body, followed);
  if (!feed) return {-1};
  std::vector<int32_t> albums;
  for (const auto& entry : feed->kept) albums.push_back(entry.albumId);
  return albums;
}

std::string Feed(const std::string& data, int count) {
  return "{\"code\":\"A00000\",\"count\":" + std::to_string(count) + ",\"data\":" + data + "}";
}

const std::string kTwo = R"([{"albumId":123},{"albumId":124}])";

TEST(ReminderFeedTest, WhichAnswersGiveWhichAlbums) {
  const std::string good = Feed(kTwo, 2);
  const std::vector<std::pair<std::string, std::vector<int32_t>>> cases = {
      {good, {123, 124}},
      {R"({"code":"A00001","count":2,"data":[{"albumId":123}]})", {-1}},
      {R"({"count":1,"data":[{"albumId":123}]})", {-1}},
      {R"({"code":0,"data":[]})", {-1}},
      {good.substr(0, good.size() / 2), {-1}},
      {"<html>502</html>", {-1}},
      {"[\"A00000\"]", {-1}},
      {"", {-1}},
      {std::string(100000, '['), {-1}},
      {std::string("{\"code\":\"A00000\",\0\"count\":1}", 29), {-1}},       // ends at the zero byte
      {good + std::string("\0{{ trailing", 12), {123, 124}},
      {"// note\n" + Feed("[/* first */{\"albumId\":124}]", 1), {124}},  // comments
      {R"({"code":"A00000","count":3,"data":{"albumId":123}})", {}},
      {Feed(kTwo, 3), {123, 124}},  // a count beyond the array reads no more
      {Feed(kTwo, 1), {123}},
      {Feed(kTwo, -5), {}},
      {R"({"code":"A00000","count":"2","data":[{"albumId":123}]})", {}},
      {Feed(R"([{"albumId":125},{"albumId":"123"},7,{"albumId":124},{"albumId":123}])", 5), {124, 123}},
  };
  for (const auto& [body, albums] : cases) EXPECT_EQ(Kept(body), albums) << body.substr(0, 60);
  EXPECT_FALSE(ParseReminderFeed(nullptr, 10, {123}).has_value());
  // A count far beyond the array ends with it; the empty items it promises (album 0) are never kept.
  EXPECT_EQ(Kept(Feed(kTwo, 2000000000), {0, 123}), std::vector<int32_t>{123});
  EXPECT_EQ(Kept(Feed("[{\"albumId\":0}]", 1), {0}), std::vector<int32_t>{});
}

TEST(ReminderFeedTest, ReadsEveryFieldAndTheFeedIndex) {
  const auto feed = Parse(Feed(R"([{"albumId":9},
    {"reminder":{"tvPic":"http://p/abc.jpg","tvName":"第12集","tvFocus":"重逢","mpd":20131205},"albumId":123,
     "tvId":4567,"videoId":"v8","channelId":6,"albumName":"快乐大本营","videoOrder":3,"sourceName":"湖南",
     "videoPlayTime":"1520","videoUrl":"http://www.vexo.com/v_4567.html"}])", 2));
  ASSERT_TRUE(feed && feed->kept.size() == 1u);
  const ReminderEntry& e = feed->kept[0];
  EXPECT_EQ(e.tvPic + "|" + e.tvName + "|" + e.tvFocus + "|" + e.videoId + "|" + e.albumName + "|" + e.sourceName +
                "|" + e.mpdText + "|" + e.videoUrl,
            "http://p/abc.jpg|第12集|重逢|v8|快乐大本营|湖南||http://www.vexo.com/v_4567.html");
  EXPECT_EQ(std::vector<int32_t>({e.albumId, e.tvId, e.channelId, e.videoOrder, e.mpdNumber, e.videoPlayTime,
                                  e.feedIndex}),
            std::vector<int32_t>({123, 4567, 6, 3, 20131205, 1520, 1}));
}

TEST(ReminderFeedTest, FieldsOfAnotherTypeReadAsEmptyOrZero) {
  const auto feed = Parse(Feed(R"([{"reminder":{"tvPic":5,"tvName":["x"],"tvFocus":null,"mpd":"2013-12-05"},
    "albumId":123,"tvId":"4567","videoId":89,"channelId":2.5,"albumName":{},"videoOrder":true,"sourceName":false,
    "videoPlayTime":1520,"videoUrl":[]}, {"albumId":124,"reminder":"abc.jpg"}])", 2));
  ASSERT_TRUE(feed && feed->kept.size() == 2u);
  const ReminderEntry& e = feed->kept[0];
  EXPECT_EQ(e.tvPic + e.tvName + e.tvFocus + e.videoId + e.albumName + e.sourceName + e.videoUrl, "");
  EXPECT_EQ(e.mpdText, "2013-12-05");
  EXPECT_EQ(std::vector<int32_t>({e.mpdNumber, e.tvId, e.channelId, e.videoOrder, e.videoPlayTime}),
            std::vector<int32_t>(5, 0));
  EXPECT_EQ(feed->kept[1].tvPic, "");
}

TEST(ReminderFeedTest, PlayTimeIsAWholeDecimalTextAndMinusOneIsZero) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"-1", 0}, {"abc", 0}, {"", 0}, {"12abc", 0}, {"99999999999", 0}, {" 5", 0}, {"75", 75}, {"-30", -30}};
  for (const auto& [text, expected] : cases) {
    const auto feed = Parse(Feed("[{\"albumId\":123,\"videoPlayTime\":\"" + text + "\"}]", 1));
    ASSERT_TRUE(feed && feed->kept.size() == 1u);
    EXPECT_EQ(feed->kept[0].videoPlayTime, expected) << text;
  }
}

TEST(ReminderTextsTest, PictureAddressExtensionAndDate) {
  EXPECT_EQ(SmallPictureAddress("http://emu/pic/abc.jpg"), "http://emu/pic/abc_145_90.jpg");
  EXPECT_EQ(SmallPictureAddress("http://emu/a.b/img.v2.png"), "http://emu/a.b/img.v2_145_90.png");
  EXPECT_EQ(SmallPictureAddress("pic-without-dot"), "");

  const std::vector<std::pair<std::string, std::string>> extensions = {
      {"http://emu/pic/abc_145_90.jpg", "jpg"},  {"http://emu/img.v2.png", "v2.png"},
      {"http://emu.com/noextension", "jpg"},     {"http://emu/a.jpg?size=big", "jpg"},
      {"http://emu/a.b\\..\\..\\x.exe", "jpg"},  {"http://emu/x.jpg\\..\\evil", "jpg"},
      {"http://emu/x.:stream", "jpg"},           {"http://emu/x.", "jpg"},
      {"http://emu/x..", "jpg"},                 {"http://emu/x.png.", "jpg"},
      {"http://emu/x.abcdefghij0123456", "jpg"}, {"http://emu/x.abcdefghij012345", "abcdefghij012345"},
      {"http://emu/x.图片", "jpg"},              {"", "jpg"},
  };
  for (const auto& [address, expected] : extensions) EXPECT_EQ(PictureFileExtension(address), expected) << address;

  EXPECT_EQ(ReminderDateText(2026, 1, 12), "2026112");
  EXPECT_EQ(ReminderDateText(2026, 11, 2), "2026112");
  EXPECT_EQ(ReminderDateText(2013, 12, 31), "20131231");
}

}  // namespace
