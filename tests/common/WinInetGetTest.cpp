// The one WinINet GET, against the local service emulator (tools/emulator/fixtures).
#include "common/WinInetGet.h"

#include <gtest/gtest.h>

#include "common/JsonText.h"
#include "common/TextConvert.h"
#include "tests/support/EmulatorClient.h"

namespace {

using vxtest::EmulatorOrigin;

using vxtest::EmulatorPattern;

// Takes a few bytes, then refuses.
class RefusingSink : public IBodySink {
public:
  bool Write(const char*, size_t count) override {
    received += count;
    return false;
  }
  size_t received = 0;
};

class WinInetGetTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    vxtest::ResetEmulator();
  }
  static WebGetOptions Options(const std::string& path, unsigned timeoutMs = 10000) {
    WebGetOptions options;
    options.url = Utf8ToWide(EmulatorOrigin() + path);
    options.timeoutMs = timeoutMs;
    return options;
  }
};

TEST_F(WinInetGetTest, StatusHeadersAndBodyAreGivenAsTheyCame) {
  CWinInetGet get(Options("/pictures/ok.jpg"));
  ASSERT_TRUE(get.Open());
  EXPECT_EQ(get.Status(), 200u);
  EXPECT_TRUE(get.IsSuccess());
  EXPECT_NE(get.RawHeaders().find(L"Content-Type: image/jpeg"), std::wstring::npos) << WideToUtf8(get.RawHeaders());
  CMemoryBodySink body;
  ASSERT_TRUE(get.ReadBody(body));
  EXPECT_TRUE(std::string(body.Bytes().begin(), body.Bytes().end()) == EmulatorPattern(5000));

  CWinInetGet missing(Options("/pictures/missing.jpg"));
  ASSERT_TRUE(missing.Open());
  EXPECT_EQ(missing.Status(), 404u);
  EXPECT_FALSE(missing.IsSuccess());
  CWinInetGet empty(Options("/pictures/empty.jpg"));
  ASSERT_TRUE(empty.Open());
  EXPECT_EQ(empty.Status(), 204u);
  CMemoryBodySink nothing;
  EXPECT_TRUE(empty.ReadBody(nothing));
  EXPECT_TRUE(nothing.Bytes().empty());
}

TEST_F(WinInetGetTest, QueryAndExtraHeadersReachTheServer) {
  WebGetOptions options = Options("/__emu/echo?x=1&y=a%20b");
  options.headers = L"Cookie: vxauth=abc\r\nX-Probe: 7\r\n";
  CWinInetGet get(std::move(options));
  ASSERT_TRUE(get.Open());
  CMemoryBodySink body;
  ASSERT_TRUE(get.ReadBody(body));
  Json::Value echo;
  ASSERT_TRUE(ParseJsonText(std::string(body.Bytes().begin(), body.Bytes().end()), echo));
  EXPECT_EQ(echo["path"].asString(), "/__emu/echo");
  EXPECT_EQ(echo["query"]["x"].asString(), "1");
  EXPECT_EQ(echo["query"]["y"].asString(), "a b");
  EXPECT_EQ(echo["headers"]["cookie"].asString(), "vxauth=abc");
  EXPECT_EQ(echo["headers"]["x-probe"].asString(), "7");
  EXPECT_EQ(echo["headers"]["accept"].asString(), "*/*");
}

// The bound and the sink both stop a body; a body of exactly the bound passes.
TEST_F(WinInetGetTest, BodyPastTheBoundOrRefusedBySinkFails) {
  WebGetOptions bounded = Options("/pictures/big.jpg");
  bounded.maxBodyBytes = 300000 - 1;
  CWinInetGet tooLarge(bounded);
  ASSERT_TRUE(tooLarge.Open());
  CMemoryBodySink kept;
  EXPECT_FALSE(tooLarge.ReadBody(kept));

  bounded.maxBodyBytes = 300000;
  CWinInetGet exact(bounded);
  ASSERT_TRUE(exact.Open());
  CMemoryBodySink whole;
  EXPECT_TRUE(exact.ReadBody(whole));
  EXPECT_EQ(whole.Bytes().size(), 300000u);

  CWinInetGet refused(Options("/pictures/big.jpg"));
  ASSERT_TRUE(refused.Open());
  RefusingSink sink;
  EXPECT_FALSE(refused.ReadBody(sink));
  EXPECT_GT(sink.received, 0u);
  EXPECT_LT(sink.received, 300000u) << "the transfer went on after the sink refused";
}

// A server that accepts and then says nothing ends the call at about its time-out.
TEST_F(WinInetGetTest, SilentServerEndsTheCallNearItsTimeOut) {
  constexpr unsigned kTimeoutMs = 1000;
  const ULONGLONG start = ::GetTickCount64();
  CWinInetGet get(Options("/__emu/delay?ms=20000&size=10", kTimeoutMs));
  EXPECT_FALSE(get.Open());
  const ULONGLONG elapsed = ::GetTickCount64() - start;
  EXPECT_LT(elapsed, kTimeoutMs + 4000u);
  EXPECT_EQ(get.Status(), 0u);
  CMemoryBodySink body;
  EXPECT_FALSE(get.ReadBody(body));
  std::printf("silent server: the GET ended after %llu ms (time-out %u)\n", elapsed, kTimeoutMs);
}

TEST_F(WinInetGetTest, UnusableAddressesFailWithoutAnAnswer) {
  for (const wchar_t* url : {L"", L"not an address", L"ftp://127.0.0.1/file", L"http://127.0.0.1:1/closed"}) {
    WebGetOptions options;
    options.url = url;
    options.timeoutMs = 5000;
    CWinInetGet get(std::move(options));
    EXPECT_FALSE(get.Open()) << WideToUtf8(url);
    EXPECT_EQ(get.Status(), 0u);
    CMemoryBodySink body;
    EXPECT_FALSE(get.ReadBody(body));
  }
}

}  // namespace
