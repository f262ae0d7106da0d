#include "favorites/DeskFavorJson.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Bytewise(const std::string& utf8) {
  std::wstring wide;
  for (const char byte : utf8) wide.push_back(static_cast<unsigned char>(byte));
  return wide;
}

DeskFavorJson Read(const std::string& text, DeskFavorInfo& info) { return ReadDeskFavorJson(text, &Bytewise, info); }

// Which texts are no JSON at all (the caller traces those), which are refused, which are read;
// neither of the first two changes the favourite.
TEST(DeskFavorJsonTest, TextsThatAreNotJsonRefusedOrRead) {
  const std::pair<std::string, DeskFavorJson> cases[] = {
      {"", DeskFavorJson::NotJson},
      {"{\"AlbumID\":", DeskFavorJson::NotJson},
      {std::string(100000, '['), DeskFavorJson::NotJson},
      {"{\"AlbumID\":5} trailing", DeskFavorJson::NotJson},
      {"{}", DeskFavorJson::Refused},
      {"[{\"AlbumID\":5}]", DeskFavorJson::Refused},
      {"{\"AlbumID\":0}", DeskFavorJson::Refused},
      {"{\"AlbumID\":\"5\"}", DeskFavorJson::Refused},
      {"{\"AlbumID\":5,\"TvYear\":2013.5}", DeskFavorJson::Refused},
      {"{\"AlbumID\":5,\"AlbumName\":7}", DeskFavorJson::Refused},
      {"{\"AlbumID\":4294967296}", DeskFavorJson::Refused},
      {"{\"AlbumID\":5,\"AlbumName\":null}", DeskFavorJson::Read},
  };
  for (const auto& [text, expected] : cases) {
    DeskFavorInfo info;
    info.AlbumName = L"kept";
    EXPECT_EQ(Read(text, info), expected) << text.substr(0, 40);
    EXPECT_EQ(info.AlbumName, expected == DeskFavorJson::Read ? L"" : L"kept") << text.substr(0, 40);
  }
}

TEST(DeskFavorJsonTest, TextsGoThroughTheCallersConversion) {
  DeskFavorInfo info;
  ASSERT_EQ(Read("{\"AlbumID\":-3,\"SouceName\":\"\xE8\xA7\x86\",\"PicUrl\":\"a\\u0000b\",\"Type\":1}", info),
            DeskFavorJson::Read);
  EXPECT_EQ(info.AlbumID, -3);
  EXPECT_EQ(info.SourceName, (std::wstring{0xE8, 0xA7, 0x86}));
  EXPECT_EQ(info.PicUrl, std::wstring(L"a\0b", 3));
  EXPECT_EQ(info.InfoType, 1);
}

}  // namespace
