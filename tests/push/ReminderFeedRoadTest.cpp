// The feed's road as the push window takes it: the feed and its small pictures asked for
// through the network library at the service addresses (the emulator standing in for the
// service), read, and the pictures stored as files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/ServiceAddress.h"
#include "platform/RidOdo/TaskModule.h"
#include "push/ReminderFeed.h"
#include "push/ReminderItem.h"
#include "push/ReminderPictureFile.h"
#include "tests/platform/RidOdo/RequestRecorder.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/ProcessHarness.h"

namespace {

const std::set<int32_t> kFollowed = {123, 124, 125, 126};

class ReminderFeedRoadTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(vxtest::EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    vxtest::ResetEmulator();
    module.SetCallback(&recorder);
  }

  // One request as the window makes it; its callback's delivery.
  vxtest::Delivery Fetch(const CResourceRequest& request, CResourceArg* arg) {
    const size_t before = recorder.WaitFor(0, 0).size();
    EXPECT_TRUE(module.GetRes(request, arg));
    const auto deliveries = recorder.WaitFor(before + 1);
    if (deliveries.size() > before) return deliveries[before];
    vxtest::Delivery none;
    none.failed = 1;
    return none;
  }

  std::optional<ParsedReminderFeed> Feed(const char* path, const std::string& parameters) {
    CResourceRequest request;
    request.url = ServiceUrl(std::string(service_address::kReminderOrigin) + path);
    request.requestData = parameters;
    const vxtest::Delivery delivery = Fetch(request, new CResourceArg(1000));
    if (delivery.failed) return std::nullopt;
    return ParseReminderFeed(delivery.body.data(), delivery.body.size(), kFollowed);
  }

  vxtest::ResourceRecorder recorder;
  CTaskModule module;
};

TEST_F(ReminderFeedRoadTest, AnonymousFeedKeepsFollowedAlbumsAndTheirPicturesAreStored) {
  const auto feed = Feed("/apis/urc/getUpdateReminder", "&ckuid=0123456789abcdef0123456789abcdef");
  const Json::Value logged = vxtest::EmulatorJson("GET", "/__emu/requests?prefix=/apis/urc/");
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0]["query"]["ckuid"].asString(), "0123456789abcdef0123456789abcdef");
  ASSERT_TRUE(feed.has_value());
  std::vector<int32_t> albums;
  for (const auto& entry : feed->kept) albums.push_back(entry.albumId * 10 + entry.channelId);
  EXPECT_EQ(albums, (std::vector<int32_t>{1251, 1232, 1244, 1266}));
  EXPECT_EQ(ToReminderItem(feed->kept[3]).albumName, L"\x5feb\x4e50\x5927\x672c\x8425");  // 快乐大本营

  const vxtest::ScratchFolder data{L"reminder-road"};
  for (const auto& entry : feed->kept) {
    CResourceRequest request;
    request.url = SmallPictureAddress(entry.tvPic);
    request.timeoutMs = 10000;
    const std::string path = "/pictures/album_" + std::to_string(entry.albumId) + "_145_90.jpg";
    EXPECT_EQ(request.url, vxtest::EmulatorOrigin() + path);
    const vxtest::Delivery picture = Fetch(request, new CResourceArg(1001, 1, entry.albumId));
    ASSERT_EQ(picture.failed, 0) << path;
    const std::wstring file = StoreReminderPicture(data.Path(), picture.url, picture.body.data(), picture.body.size());
    std::ifstream stored(std::filesystem::path(file), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stored), {}), vxtest::EmulatorRequest("GET", path).body);
  }
}

TEST_F(ReminderFeedRoadTest, SpoiledSignedInFeeds) {
  const char* kFeed = R"({"code":"A00000","count":1,"data":[{"albumId":123,"channelId":2}]})";
  EXPECT_EQ(Feed("/apis/vexorc/getUpdateReminder", "auth=cookie-123")->kept.size(), 4u);
  // Kept items for each answer; -1: no feed at all.
  for (const auto& [answer, kept] : std::vector<std::pair<std::string, int>>{
           {"wrong_code", -1}, {"malformed", -1}, {"truncated", -1}, {"server_error", -1},
           {"data_not_array", 0}, {"huge_count", 1}}) {
    vxtest::EmulatorJson("POST", "/__emu/reminders",
                         "{\"auth\":\"cookie-123\",\"answer\":\"" + answer + "\",\"feed\":" + kFeed + "}");
    const auto feed = Feed("/apis/vexorc/getUpdateReminder", "auth=cookie-123");
    EXPECT_EQ(feed ? static_cast<int>(feed->kept.size()) : -1, kept) << answer;
  }
}

}  // namespace
