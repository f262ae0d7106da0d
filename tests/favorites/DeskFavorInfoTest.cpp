#include "favorites/DeskFavorInfo.h"

#include <gtest/gtest.h>

#include "common/TraceRecord.h"
#include "tests/support/ProcessHarness.h"

namespace {

using vxtest::ReadTrace;

class DeskFavorInfoTest : public ::testing::Test {
protected:
  void SetUp() override { ::DeleteFileW(kTraceFile); }
  bool Parse(const std::wstring& text) { return ParserDeskFavorInfo(text, info); }
  DeskFavorInfo info;
};

TEST_F(DeskFavorInfoTest, EmptyValuesAreRefusedWithoutTrace) {
  for (const wchar_t* text : {L"", L"{}", L"[]", L"null", L"\"text\"", L"5", L"[1,2]"}) {
    EXPECT_FALSE(Parse(text)) << text;
  }
  EXPECT_FALSE(ReadTrace(kTraceFile, L"tailcast", L"ParserDeskFavorInfo : ").has_value());
}

TEST_F(DeskFavorInfoTest, TextThatIsNotJsonIsTraced) {
  EXPECT_FALSE(Parse(L"{\"AlbumID\":"));
  EXPECT_EQ(ReadTrace(kTraceFile, L"tailcast", L"ParserDeskFavorInfo : "), L"Parser false");
}

// A text nested beyond the reader's limit is refused like any other unreadable text,
// instead of throwing through the window procedure.
TEST_F(DeskFavorInfoTest, DeeplyNestedTextIsRefused) {
  EXPECT_FALSE(Parse(L"{\"AlbumID\":" + std::wstring(100000, L'[')));
  EXPECT_FALSE(Parse(std::wstring(5000, L'[') + std::wstring(5000, L']')));
  EXPECT_EQ(ReadTrace(kTraceFile, L"tailcast", L"ParserDeskFavorInfo : "), L"Parser false");
}

TEST_F(DeskFavorInfoTest, AlbumIdIsRequired) {
  EXPECT_FALSE(Parse(L"{\"AlbumID\":0,\"AlbumName\":\"A\"}"));
  EXPECT_FALSE(Parse(L"{\"AlbumName\":\"A\"}"));
  EXPECT_TRUE(Parse(L"{\"AlbumID\":5}"));
  EXPECT_EQ(info.AlbumID, 5);
  EXPECT_EQ(info.AlbumName, L"");
  EXPECT_EQ(info.ChannelID, 0);
  EXPECT_EQ(info.InfoType, 0);
}

TEST_F(DeskFavorInfoTest, EveryFieldByItsWireKey) {
  ASSERT_TRUE(Parse(L"{\"AlbumID\":123,\"ChannelID\":2,\"AlbumName\":\"\u89c6\u9891 ABC\",\"PicUrl\":\"http://p/a.jpg\","
                    L"\"VideoUrl\":\"http://v/play?x=1\",\"SouceName\":\"vexo\",\"SouceCode\":7,\"TvYear\":2013,"
                    L"\"Type\":1,\"Extra\":[1]}"));
  EXPECT_EQ(info.AlbumID, 123);
  EXPECT_EQ(info.ChannelID, 2);
  EXPECT_EQ(info.AlbumName, L"\u89c6\u9891 ABC");
  EXPECT_EQ(info.PicUrl, L"http://p/a.jpg");
  EXPECT_EQ(info.VideoUrl, L"http://v/play?x=1");
  EXPECT_EQ(info.SourceName, L"vexo");
  EXPECT_EQ(info.SourceCode, 7);
  EXPECT_EQ(info.TvYear, 2013);
  EXPECT_EQ(info.InfoType, 1);
}

TEST_F(DeskFavorInfoTest, CorrectlySpelledSourceKeysAreNotRead) {
  ASSERT_TRUE(Parse(L"{\"AlbumID\":1,\"SourceName\":\"x\",\"SourceCode\":3}"));
  EXPECT_EQ(info.SourceName, L"");
  EXPECT_EQ(info.SourceCode, 0);
}

TEST_F(DeskFavorInfoTest, MembersOfTheWrongTypeRefuseTheWholeTextAndKeepTheRecord) {
  info.AlbumName = L"kept";
  EXPECT_FALSE(Parse(L"{\"AlbumID\":\"12\"}"));
  EXPECT_FALSE(Parse(L"{\"AlbumID\":12,\"AlbumName\":34}"));
  EXPECT_FALSE(Parse(L"{\"AlbumID\":12,\"TvYear\":\"2013\"}"));
  EXPECT_FALSE(Parse(L"{\"AlbumID\":1e20}"));
  EXPECT_EQ(info.AlbumName, L"kept");
}

TEST(MakeDeskFavorRequestTest, CopiesFieldsWithChargeAndClientTypeDefaults) {
  DeskFavorInfo info;
  info.AlbumID = 9;
  info.AlbumName = L"N";
  info.ChannelID = 3;
  info.VideoUrl = L"v";
  info.PicUrl = L"p";
  info.SourceName = L"s";
  info.SourceCode = 4;
  info.TvYear = 2000;
  info.InfoType = 1;
  const DeskFavorRequest request = MakeDeskFavorRequest(info);
  EXPECT_EQ(request.AlbumID, 9);
  EXPECT_EQ(request.AlbumName, L"N");
  EXPECT_EQ(request.ChannelID, 3);
  EXPECT_EQ(request.VideoUrl, L"v");
  EXPECT_EQ(request.PicUrl, L"p");
  EXPECT_EQ(request.SourceName, L"s");
  EXPECT_EQ(request.SourceCode, 4);
  EXPECT_EQ(request.TvYear, 2000);
  EXPECT_EQ(request.InfoType, 1);
  EXPECT_EQ(request.Charge, 0);
  EXPECT_EQ(request.ClientType, 1);
}

}  // namespace
