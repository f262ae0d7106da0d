// Blocking GETs against the local service emulator's pictures (tools/emulator/fixtures).
#include "favorites/HttpFetch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/TextConvert.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/ProcessHarness.h"

namespace {

using vxtest::EmulatorOrigin;

using vxtest::EmulatorPattern;

std::string FileText(const std::wstring& path) {
  std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

size_t RequestCount(const std::string& path) {
  size_t count = 0;
  for (const Json::Value& request : vxtest::EmulatorJson("GET", "/__emu/requests?prefix=" + path)) {
    count += request["path"].asString() == path ? 1 : 0;
  }
  return count;
}

class HttpFetchTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    vxtest::ResetEmulator();
  }
  static std::wstring Url(const std::string& path) { return Utf8ToWide(EmulatorOrigin() + path); }
  bool Download(const std::string& path) { return HttpDownloadToFile(Url(path), nullptr, 0, 0, file); }
  bool Get(const std::string& path, std::vector<uint8_t>& data) {
    return HttpGetToMemory(Url(path), nullptr, 0, 0, data);
  }

  vxtest::ScratchFolder folder{L"http"};
  std::wstring file = folder.File(L"picture.jpg");
};

TEST_F(HttpFetchTest, ErrorStatusesGiveFalseAndNoFile) {
  EXPECT_FALSE(Download("/pictures/missing.jpg"));
  EXPECT_FALSE(Download("/pictures/error.jpg"));
  EXPECT_FALSE(Download("/pictures/not-in-the-table.jpg"));
  EXPECT_FALSE(vxtest::FileExists(file));
  std::vector<uint8_t> data{1, 2, 3};
  EXPECT_FALSE(Get("/pictures/error.jpg", data));
  EXPECT_TRUE(data.empty());
}

TEST_F(HttpFetchTest, PictureMustBeLongerThan1024Bytes) {
  EXPECT_FALSE(Download("/pictures/exact1024.jpg"));
  EXPECT_EQ(FileText(file), EmulatorPattern(1024));  // what came stays on disk
  EXPECT_TRUE(Download("/pictures/over1024.jpg"));
  EXPECT_EQ(FileText(file), EmulatorPattern(1025));
  EXPECT_FALSE(Download("/pictures/zero.jpg"));
  EXPECT_EQ(FileText(file), "");
}

TEST_F(HttpFetchTest, LargeBodyIsWrittenWhole) {
  EXPECT_TRUE(Download("/pictures/big.jpg"));
  EXPECT_TRUE(FileText(file) == EmulatorPattern(300000));
}

TEST_F(HttpFetchTest, PartialAndNoContentAreTwoHundreds) {
  EXPECT_TRUE(Download("/pictures/partial.jpg"));  // 206 with 2,048 bytes
  EXPECT_EQ(FileText(file), EmulatorPattern(2048));
  EXPECT_FALSE(Download("/pictures/empty.jpg"));  // 204: nothing to keep
  std::vector<uint8_t> data;
  EXPECT_FALSE(Get("/pictures/empty.jpg", data));  // nothing available
  ASSERT_TRUE(Get("/pictures/partial.jpg", data));
  EXPECT_EQ(data.size(), 2048u);
}

TEST_F(HttpFetchTest, MemoryGetReturnsTheWholeBodyWhateverTheFirstAvailability) {
  std::vector<uint8_t> data;
  ASSERT_TRUE(Get("/pictures/big.jpg", data));  // far more than one availability figure
  EXPECT_TRUE(std::string(data.begin(), data.end()) == EmulatorPattern(300000));
  vxtest::EmulatorRequest("POST", "/__emu/pictures", R"({"path":"/pictures/tiny.bin","status":200,"size":1})");
  ASSERT_TRUE(Get("/pictures/tiny.bin", data));
  EXPECT_EQ(std::string(data.begin(), data.end()), EmulatorPattern(1));
}

TEST_F(HttpFetchTest, EveryRequestReachesTheServerNotTheCache) {
  EXPECT_TRUE(Download("/pictures/ok.jpg"));
  EXPECT_TRUE(Download("/pictures/ok.jpg"));
  EXPECT_EQ(RequestCount("/pictures/ok.jpg"), 2u);
}

// A server that accepts and then says nothing must not hold up the icon worker: both GETs
// give up at about their time-out, and nothing is written.
TEST_F(HttpFetchTest, SilentServerFailsNearTheTimeOut) {
  constexpr unsigned kTimeoutMs = 1000;
  ULONGLONG start = ::GetTickCount64();
  EXPECT_FALSE(HttpDownloadToFile(Url("/__emu/delay?ms=30000&size=5000"), nullptr, 0, 0, file, kTimeoutMs));
  EXPECT_LT(::GetTickCount64() - start, kTimeoutMs + 4000u);
  EXPECT_FALSE(vxtest::FileExists(file));
  std::vector<uint8_t> data{1, 2, 3};
  start = ::GetTickCount64();
  EXPECT_FALSE(HttpGetToMemory(Url("/__emu/delay?ms=30000&size=10"), nullptr, 0, 0, data, kTimeoutMs));
  EXPECT_LT(::GetTickCount64() - start, kTimeoutMs + 4000u);
  EXPECT_TRUE(data.empty());

  EXPECT_TRUE(HttpDownloadToFile(Url("/__emu/delay?ms=300&size=5000"), nullptr, 0, 0, file, 5000));
  EXPECT_EQ(FileText(file), EmulatorPattern(5000));
}

TEST_F(HttpFetchTest, EmptyAddressOrPathFailsWithoutTraffic) {
  EXPECT_FALSE(HttpDownloadToFile(L"", nullptr, 0, 0, file));
  EXPECT_FALSE(HttpDownloadToFile(Url("/pictures/ok.jpg"), nullptr, 0, 0, L""));
  EXPECT_EQ(RequestCount("/pictures/ok.jpg"), 0u);
  std::vector<uint8_t> data;
  EXPECT_FALSE(HttpGetToMemory(L"", nullptr, 0, 0, data));
  EXPECT_FALSE(HttpGetToMemory(L"http://127.0.0.1:1/closed", nullptr, 0, 0, data));
}

}  // namespace
