// The third-party libraries built for this target link and work under Wine.
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/stubs/common.h>
#include <gtest/gtest.h>
#include <json/json.h>
#include <sqlite3.h>

#include <string>

namespace {

TEST(DependenciesTest, SqliteStoresAndReadsBackARow) {
  EXPECT_EQ(std::string(sqlite3_libversion()).substr(0, 2), "3.");
  EXPECT_NE(sqlite3_threadsafe(), 0);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(a TEXT); INSERT INTO t VALUES('x''y');", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_stmt* statement = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT a FROM t", -1, &statement, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "x'y");
  sqlite3_finalize(statement);
  sqlite3_close(db);
}

TEST(DependenciesTest, JsoncppParsesObjectsAndArrays) {
  Json::Reader reader;
  Json::Value root;
  ASSERT_TRUE(reader.parse(R"({"albumId":123,"name":"ABC","list":[1,2]})", root));
  EXPECT_EQ(root["albumId"].asInt(), 123);
  EXPECT_EQ(root["name"].asString(), "ABC");
  EXPECT_TRUE(root["list"].isArray());
  EXPECT_EQ(root["list"].size(), 2u);
  EXPECT_FALSE(reader.parse("{not json", root));
}

TEST(DependenciesTest, ProtobufRuntimeMatchesCompilerAndCodesVarints) {
  EXPECT_EQ(GOOGLE_PROTOBUF_VERSION, 3021012);
  std::string bytes;
  {
    google::protobuf::io::StringOutputStream output(&bytes);
    google::protobuf::io::CodedOutputStream coded(&output);
    coded.WriteVarint32(300);
  }
  EXPECT_EQ(bytes, std::string("\xac\x02", 2));
  google::protobuf::io::ArrayInputStream input(bytes.data(), static_cast<int>(bytes.size()));
  google::protobuf::io::CodedInputStream coded(&input);
  uint32_t value = 0;
  ASSERT_TRUE(coded.ReadVarint32(&value));
  EXPECT_EQ(value, 300u);
}

}  // namespace
