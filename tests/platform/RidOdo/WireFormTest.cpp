// The network library's wire forms: query texts and the pingback record.
#include <gtest/gtest.h>

#include <map>

#include "platform/RidOdo/PingbackQuery.h"
#include "platform/RidOdo/UrlText.h"

namespace {

std::map<std::string, std::string> Fields(const std::string& query) {
  std::map<std::string, std::string> fields;
  size_t start = 0;
  while (start <= query.size()) {
    const size_t end = std::min(query.find('&', start), query.size());
    const std::string pair = query.substr(start, end - start);
    const size_t equals = pair.find('=');
    EXPECT_NE(equals, std::string::npos) << pair;
    fields[pair.substr(0, equals)] = pair.substr(equals + 1);
    start = end + 1;
  }
  return fields;
}

TEST(UrlTextTest, PercentEncodingKeepsOnlyUnreservedCharacters) {
  EXPECT_EQ(PercentEncode("AZaz09-_.~"), "AZaz09-_.~");
  EXPECT_EQ(PercentEncode("a b&c=d?e/f%"), "a%20b%26c%3Dd%3Fe%2Ff%25");
  EXPECT_EQ(PercentEncode("\xE4\xB8\xAD"), "%E4%B8%AD");
  EXPECT_EQ(PercentEncode(std::string("\0\x7F", 2)), "%00%7F");
  EXPECT_EQ(PercentEncode(""), "");
}

TEST(UrlTextTest, QueryIsJoinedWithTheRightSeparator) {
  EXPECT_EQ(AppendQuery("http://h/p", "a=1"), "http://h/p?a=1");
  EXPECT_EQ(AppendQuery("http://h/p?x=1", "a=1"), "http://h/p?x=1&a=1");
  EXPECT_EQ(AppendQuery("http://h/p?x=1", "&ckuid=9"), "http://h/p?x=1&ckuid=9");
  EXPECT_EQ(AppendQuery("http://h/p", "&ckuid=9"), "http://h/p?ckuid=9");
  EXPECT_EQ(AppendQuery("http://h/p?", "a=1"), "http://h/p?a=1");
  EXPECT_EQ(AppendQuery("http://h/p", "?&"), "http://h/p");
  EXPECT_EQ(AppendQuery("http://h/p", ""), "http://h/p");
}

TEST(PingbackQueryTest, CarriesEveryFieldOfTheRecord) {
  LogParamInfo info(1, true, "3", -1, 0, 0, -1, "1234567", "");
  info.uuid = "0123456789abcdef0123456789abcdef";
  const auto fields = Fields(PingbackQuery(info, 1, 42));
  const std::map<std::string, std::string> expected = {
      {"t", "1"},   {"login", "1"}, {"a", "3"},         {"p1", "-1"}, {"p2", "0"},
      {"p3", "0"},  {"p4", "-1"},   {"uid", "1234567"}, {"ext", ""},  {"uuid", info.uuid},
      {"tc", "1"},  {"rn", "42"}};
  EXPECT_EQ(fields, expected);
}

TEST(PingbackQueryTest, TextsCannotBreakTheQuery) {
  LogParamInfo info(1, false, "14&a=3", -1, 0, 0, -1, "", "x=y z");
  const auto fields = Fields(PingbackQuery(info, 0, 7));
  EXPECT_EQ(fields.at("a"), "14%26a%3D3");
  EXPECT_EQ(fields.at("ext"), "x%3Dy%20z");
  EXPECT_EQ(fields.at("login"), "0");
  EXPECT_EQ(fields.at("uid"), "");
  EXPECT_EQ(fields.size(), 12u);
}

}  // namespace
