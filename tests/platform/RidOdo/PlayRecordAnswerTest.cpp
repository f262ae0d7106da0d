#include "platform/RidOdo/PlayRecordAnswer.h"

#include <gtest/gtest.h>

namespace {

PlayRecordAnswerStatus Parse(const std::string& body, std::vector<PlayRecordText>& records, size_t limit = 50) {
  return ParsePlayRecordAnswer(body, limit, records);
}

TEST(PlayRecordAnswerTest, RecordsInServiceOrder) {
  std::vector<PlayRecordText> records;
  ASSERT_EQ(Parse(R"({"code":"A00000","data":[
      {"albumId":"123","tvId":"4567","videoUrl":"http://www.vexo.com/v_a.html"},
      {"albumId":77,"videoUrl":"http://www.vexo.com/v_b.html?list=1"}]})", records),
            PlayRecordAnswerStatus::Records);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].albumId, "123");
  EXPECT_EQ(records[0].tvId, "4567");
  EXPECT_EQ(records[0].videoUrl, "http://www.vexo.com/v_a.html");
  EXPECT_EQ(records[1].albumId, "77");
  EXPECT_EQ(records[1].tvId, "");
  EXPECT_EQ(records[1].videoUrl, "http://www.vexo.com/v_b.html?list=1");
}

TEST(PlayRecordAnswerTest, IncompleteOrOddRecordsAreSkipped) {
  std::vector<PlayRecordText> records;
  ASSERT_EQ(Parse(R"({"code":"A00000","data":[
      {"tvId":"1","videoUrl":"http://a"}, {"albumId":"5"}, {"albumId":"5","videoUrl":7},
      {"albumId":"-5","videoUrl":"http://a"}, {"albumId":"1x","videoUrl":"http://a"},
      {"albumId":-3,"videoUrl":"http://a"}, {"albumId":1.5,"videoUrl":"http://a"},
      "text", 12, null, [],
      {"albumId":"9","videoUrl":"http://ok"}]})", records),
            PlayRecordAnswerStatus::Records);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].albumId, "9");
}

TEST(PlayRecordAnswerTest, LimitKeepsTheFirstRecords) {
  std::vector<PlayRecordText> records;
  ASSERT_EQ(Parse(R"({"code":"A00000","data":[{"albumId":"1","videoUrl":"u1"},{"albumId":"2","videoUrl":"u2"},
                     {"albumId":"3","videoUrl":"u3"}]})", records, 2),
            PlayRecordAnswerStatus::Records);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].albumId, "2");
  EXPECT_EQ(Parse(R"({"code":"A00000","data":[{"albumId":"1","videoUrl":"u1"}]})", records, 0),
            PlayRecordAnswerStatus::Records);
  EXPECT_TRUE(records.empty());
}

TEST(PlayRecordAnswerTest, EmptyOrAbsentListIsAnAnswerWithNoRecords) {
  std::vector<PlayRecordText> records;
  EXPECT_EQ(Parse(R"({"code":"A00000","data":[]})", records), PlayRecordAnswerStatus::Records);
  EXPECT_EQ(Parse(R"({"code":"A00000"})", records), PlayRecordAnswerStatus::Records);
  EXPECT_TRUE(records.empty());
}

TEST(PlayRecordAnswerTest, RefusedCookieIsTold) {
  std::vector<PlayRecordText> records;
  EXPECT_EQ(Parse(R"({"code":"E00001","msg":"not logged in","data":[]})", records),
            PlayRecordAnswerStatus::NotLoggedIn);
}

TEST(PlayRecordAnswerTest, HostileBodiesAreUnreadableAndLeaveNoRecords) {
  std::vector<PlayRecordText> records{{"1", "", "stale"}};
  for (const std::string& body :
       {std::string(), std::string("not json"), std::string(R"({"code":"A00000","data":[{"albumId":"1",)"),
        std::string(R"([1,2])"), std::string(R"({"data":[]})"), std::string(R"({"code":0,"data":[]})"),
        std::string(R"({"code":"X","data":[]})"), std::string(R"({"code":"A00000","data":{"albumId":"1"}})"),
        std::string("{\"code\":\"A00000\"\0,\"data\":[]}", 26), std::string(100000, '['),
        std::string("\xFF\xFE{}")}) {
    EXPECT_EQ(Parse(body, records), PlayRecordAnswerStatus::Unreadable) << body.substr(0, 40);
    EXPECT_TRUE(records.empty());
  }
}

}  // namespace
