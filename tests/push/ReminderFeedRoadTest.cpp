// The reminder feed's road as the push window takes it: the feed and its small pictures asked
// for through the network library at the service addresses (the emulator stands in for the
// service), read, and the pictures stored as files.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/ServiceAddress.h"
#include "follow/PictureCache.h"
#include "platform/RidOdo/TaskModule.h"
#include "push/ReminderFeed.h"
#include "push/ReminderPictureFile.h"
#include "tests/platform/RidOdo/RequestRecorder.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/ProcessHarness.h"

namespace {

constexpr char kMachineId[] = "0123456789abcdef0123456789abcdef";
const std::set<int32_t> kFollowed = {123, 124, 125, 126};
constexpr char kFeed[] = R"({"code":"A00000","count":1,"data":[{"albumId":123,"channelId":2}]})";

class ReminderFeedRoadTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(vxtest::EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    vxtest::ResetEmulator();
    module.SetCallback(&recorder);
  }

  // One feed request as the window makes it; the delivery of its callback.
  vxtest::Delivery Fetch(const char* path, const std::string& parameters) {
    CResourceRequest request;
    request.url = ServiceUrl(std::string(service_address::kReminderOrigin) + path);
    request.requestData = parameters;
    const size_t before = recorder.WaitFor(0, 0).size();
    EXPECT_TRUE(module.GetRes(request, new CResourceArg(1000)));
    const auto deliveries = recorder.WaitFor(before + 1);
    return deliveries.size() > before ? deliveries[before] : vxtest::Delivery{};
  }

  vxtest::Delivery FetchPicture(const std::string& address, int albumId) {
    CResourceRequest request;
    request.url = address;
    request.timeoutMs = 10000;
    const size_t before = recorder.WaitFor(0, 0).size();
    EXPECT_TRUE(module.GetRes(request, new CResourceArg(1001, 1, albumId)));
    const auto deliveries = recorder.WaitFor(before + 1);
    return deliveries.size() > before ? deliveries[before] : vxtest::Delivery{};
  }

  std::optional<ParsedReminderFeed> SignedInFeed() {
    const vxtest::Delivery delivery = Fetch("/apis/vexorc/getUpdateReminder", "auth=cookie-123");
    if (delivery.failed) return std::nullopt;
    return ParseReminderFeed(delivery.body.data(), delivery.body.size(), kFollowed);
  }

  void Spoil(const std::string& answer) {
    const std::string fields = "{\"auth\":\"cookie-123\",\"answer\":\"" + answer + "\",\"feed\":" + kFeed + "}";
    const Json::Value stored = vxtest::EmulatorJson("POST", "/__emu/reminders", fields);
    ASSERT_EQ(stored["answer"].asString(), answer);
  }

  vxtest::ResourceRecorder recorder;
  CTaskModule module;
};

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(ReminderFeedRoadTest, AnonymousFeedKeepsFollowedAlbumsAndTheirPicturesAreStored) {
  const vxtest::Delivery delivery = Fetch("/apis/urc/getUpdateReminder", std::string("&ckuid=") + kMachineId);
  ASSERT_EQ(delivery.failed, 0);
  const Json::Value logged = vxtest::EmulatorJson("GET", "/__emu/requests?prefix=/apis/urc/");
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0]["query"]["ckuid"].asString(), kMachineId);

  const auto feed = ParseReminderFeed(delivery.body.data(), delivery.body.size(), kFollowed);
  ASSERT_TRUE(feed.has_value());
  std::vector<int32_t> albums, channels;
  for (const auto& entry : feed->kept) {
    albums.push_back(entry.albumId);
    channels.push_back(entry.channelId);
  }
  EXPECT_EQ(albums, (std::vector<int32_t>{125, 123, 124, 126}));
  EXPECT_EQ(channels, (std::vector<int32_t>{1, 2, 4, 6}));
  EXPECT_EQ(feed->kept[3].mpdNumber, 20131205);
  EXPECT_EQ(feed->kept[3].albumName, "快乐大本营");

  const vxtest::ScratchFolder data{L"reminder-road"};
  for (const auto& entry : feed->kept) {
    const std::string address = SmallPictureAddress(entry.tvPic);
    EXPECT_EQ(address, vxtest::EmulatorOrigin() + "/pictures/album_" + std::to_string(entry.albumId) + "_145_90.jpg");
    const vxtest::Delivery picture = FetchPicture(address, entry.albumId);
    ASSERT_EQ(picture.failed, 0) << address;
    EXPECT_EQ(picture.tag, entry.albumId);
    const std::wstring path = StoreReminderPicture(data.Path(), picture.url, picture.body.data(), picture.body.size());
    ASSERT_FALSE(path.empty()) << address;
    EXPECT_EQ(FileBytes(path), vxtest::EmulatorRequest("GET", address.substr(vxtest::EmulatorOrigin().size())).body);
    EXPECT_EQ(FileBytes(path).substr(0, 2), "\xff\xd8");
    std::string cached;
    EXPECT_TRUE(CPictureCache::GetInstance().FindPicture(address, cached));
  }
}

TEST_F(ReminderFeedRoadTest, SpoiledFeedsGiveNothingOrAnEmptyList) {
  ASSERT_TRUE(SignedInFeed().has_value());
  EXPECT_EQ(SignedInFeed()->kept.size(), 4u);
  for (const char* answer : {"wrong_code", "malformed", "truncated", "server_error"}) {
    Spoil(answer);
    EXPECT_FALSE(SignedInFeed().has_value()) << answer;
  }
  Spoil("data_not_array");
  ASSERT_TRUE(SignedInFeed().has_value());
  EXPECT_TRUE(SignedInFeed()->kept.empty());
  Spoil("huge_count");
  ASSERT_TRUE(SignedInFeed().has_value());
  EXPECT_EQ(SignedInFeed()->kept.size(), 1u);
}

}  // namespace
