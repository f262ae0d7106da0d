// Blocking GETs against a real HTTP server on the loopback interface.
#include "favorites/HttpFetch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/ProcessHarness.h"

namespace {

std::string Bytes(size_t count) {
  std::string body(count, '\0');
  for (size_t i = 0; i < count; ++i) body[i] = static_cast<char>(i * 31 + 7);
  return body;
}

std::string FileText(const std::wstring& path) {
  std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class HttpFetchTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(server.IsListening()); }
  bool Download(const std::string& path) { return HttpDownloadToFile(server.Url(path), nullptr, 0, 0, file); }
  bool Get(const std::string& path, std::vector<uint8_t>& data) {
    return HttpGetToMemory(server.Url(path), nullptr, 0, 0, data);
  }

  vxtest::LoopbackHttpServer server;
  vxtest::ScratchFolder folder{L"http"};
  std::wstring file = folder.File(L"picture.jpg");
};

TEST_F(HttpFetchTest, ErrorStatusesGiveFalseAndNoFile) {
  server.Answer("/missing.jpg", 404, "gone");
  server.Answer("/broken.jpg", 500, Bytes(4000));
  EXPECT_FALSE(Download("/missing.jpg"));
  EXPECT_FALSE(Download("/broken.jpg"));
  EXPECT_FALSE(vxtest::FileExists(file));
  std::vector<uint8_t> data;
  EXPECT_FALSE(Get("/broken.jpg", data));
  EXPECT_TRUE(data.empty());
}

TEST_F(HttpFetchTest, PictureMustBeLongerThan1024Bytes) {
  server.Answer("/small.jpg", 200, Bytes(1024));
  server.Answer("/enough.jpg", 200, Bytes(1025));
  EXPECT_FALSE(Download("/small.jpg"));
  EXPECT_EQ(FileText(file), Bytes(1024));  // what came stays on disk
  EXPECT_TRUE(Download("/enough.jpg"));
  EXPECT_EQ(FileText(file), Bytes(1025));
}

TEST_F(HttpFetchTest, LargeBodyIsWrittenWhole) {
  server.Answer("/large.png", 200, Bytes(300000));
  EXPECT_TRUE(Download("/large.png"));
  EXPECT_EQ(FileText(file), Bytes(300000));
}

TEST_F(HttpFetchTest, PartialAndNoContentAreTwoHundreds) {
  server.Answer("/partial.jpg", 206, Bytes(2000));
  server.Answer("/none", 204, "");
  EXPECT_TRUE(Download("/partial.jpg"));
  EXPECT_FALSE(Download("/none"));
  std::vector<uint8_t> data;
  EXPECT_FALSE(Get("/none", data));  // nothing available
}

TEST_F(HttpFetchTest, MemoryGetReturnsTheWholeBodyWhateverTheFirstAvailability) {
  const std::string body = Bytes(200000);  // far more than one availability figure
  server.Answer("/latest/123/pb/", 200, body);
  std::vector<uint8_t> data;
  ASSERT_TRUE(Get("/latest/123/pb/", data));
  EXPECT_EQ(std::string(data.begin(), data.end()), body);
  server.Answer("/tiny", 200, "x");
  ASSERT_TRUE(Get("/tiny", data));
  EXPECT_EQ(std::string(data.begin(), data.end()), "x");
}

TEST_F(HttpFetchTest, EveryRequestReachesTheServerNotTheCache) {
  server.Answer("/again.jpg", 200, Bytes(2000));
  EXPECT_TRUE(Download("/again.jpg"));
  EXPECT_TRUE(Download("/again.jpg"));
  EXPECT_EQ(server.RequestCount("/again.jpg"), 2);
}

TEST_F(HttpFetchTest, EmptyAddressOrPathFailsWithoutTraffic) {
  EXPECT_FALSE(HttpDownloadToFile(L"", nullptr, 0, 0, file));
  EXPECT_FALSE(HttpDownloadToFile(server.Url("/x.jpg"), nullptr, 0, 0, L""));
  EXPECT_EQ(server.RequestCount("/x.jpg"), 0);
  std::vector<uint8_t> data;
  EXPECT_FALSE(HttpGetToMemory(L"", nullptr, 0, 0, data));
  EXPECT_FALSE(HttpGetToMemory(L"http://127.0.0.1:1/closed", nullptr, 0, 0, data));
}

}  // namespace
