#include "common/ServiceAddress.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr char kEmulator[] = "http://127.0.0.1:8731";

TEST(ServiceAddressTest, OriginReplacesSchemeHostAndPortOnly) {
  EXPECT_EQ(ReplaceServiceOrigin("http://cat.vexo.com/r/dorsa/album/b/123/pb/", kEmulator),
            "http://127.0.0.1:8731/r/dorsa/album/b/123/pb/");
  EXPECT_EQ(ReplaceServiceOrigin("http://history.vexo.com:8080/apis/list?limit=50", kEmulator),
            "http://127.0.0.1:8731/apis/list?limit=50");
  EXPECT_EQ(ReplaceServiceOrigin("https://pb.vexo.com", kEmulator), "http://127.0.0.1:8731");
  EXPECT_EQ(ReplaceServiceOrigin("http://pb.vexo.com?a=1", kEmulator), "http://127.0.0.1:8731?a=1");
}

TEST(ServiceAddressTest, PathOrTrailingSlashOfTheOriginIsIgnored) {
  EXPECT_EQ(ReplaceServiceOrigin("http://cat.vexo.com/x", "http://127.0.0.1:9/"), "http://127.0.0.1:9/x");
  EXPECT_EQ(ReplaceServiceOrigin("http://cat.vexo.com/x", "http://localhost:9/ignored/path"),
            "http://localhost:9/x");
}

TEST(ServiceAddressTest, MalformedOriginLeavesTheAddressAlone) {
  const std::string url = "http://cat.vexo.com/r/dorsa/album/b/1/pb/";
  for (const char* origin : {"", "127.0.0.1:8731", "://127.0.0.1", "http://", "http:///x", "http://a b:1",
                             "http://\x01host"}) {
    EXPECT_EQ(ReplaceServiceOrigin(url, origin), url) << origin;
  }
}

TEST(ServiceAddressTest, AddressWithoutSchemeIsNotRewritten) {
  EXPECT_EQ(ReplaceServiceOrigin("cat.vexo.com/x", kEmulator), "cat.vexo.com/x");
}

class ServiceUrlEnvironmentTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char* saved = std::getenv(service_address::kOverrideVariable);
    m_saved = saved ? saved : "";
    m_hadValue = saved != nullptr;
  }
  void TearDown() override { Set(m_hadValue ? m_saved.c_str() : nullptr); }

  static void Set(const char* value) {
#ifdef _WIN32
    _putenv_s(service_address::kOverrideVariable, value ? value : "");
#else
    if (value) {
      setenv(service_address::kOverrideVariable, value, 1);
    } else {
      unsetenv(service_address::kOverrideVariable);
    }
#endif
  }

private:
  std::string m_saved;
  bool m_hadValue = false;
};

TEST_F(ServiceUrlEnvironmentTest, EveryServiceFollowsTheVariable) {
  Set(kEmulator);
  EXPECT_EQ(ServiceUrl(service_address::kPingbackUrl), "http://127.0.0.1:8731/tailcast/pingback");
  EXPECT_EQ(ServiceUrl(service_address::kPlayHistoryUrl), "http://127.0.0.1:8731/apis/playrecord/list");
  EXPECT_EQ(ServiceUrl(std::string(service_address::kCatalogueOrigin) + "/r/dorsa/album/latest/5/pb/"),
            "http://127.0.0.1:8731/r/dorsa/album/latest/5/pb/");
  EXPECT_EQ(ServiceUrl(std::string(service_address::kReminderOrigin) + "/apis/urc/getUpdateReminder"),
            "http://127.0.0.1:8731/apis/urc/getUpdateReminder");
}

TEST_F(ServiceUrlEnvironmentTest, UnsetOrEmptyVariableKeepsTheDefaults) {
  Set(nullptr);
  EXPECT_EQ(ServiceUrl(service_address::kPingbackUrl), service_address::kPingbackUrl);
  Set("");
  EXPECT_EQ(ServiceUrl(service_address::kPingbackUrl), service_address::kPingbackUrl);
}

}  // namespace
