#include "common/SqliteConnection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "common/Logger.h"
#include "common/SqliteStatement.h"

namespace {

namespace fs = std::filesystem;

class RecordingSink : public ILogSink {
public:
  RecordingSink() { threshold = 5; }
  void Write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

fs::path FreshFolder(const std::string& name) {
  const fs::path folder = fs::temp_directory_path() / ("vx-sqlite-" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

TEST(SqliteConnectionTest, OpenCreatesTheFileAndKeepsData) {
  const fs::path file = FreshFolder("open") / "store.db";
  {
    CSqliteConnection connection;
    ASSERT_TRUE(connection.Open(file.string()));
    EXPECT_EQ(connection.Path(), file.string());
    EXPECT_TRUE(connection.Execute("create table t(a INTEGER); insert into t values(42);"));
  }
  CSqliteConnection again(file.string());
  ASSERT_TRUE(again.IsOpen());
  EXPECT_EQ(again.ExecuteScalar("select a from t"), 42);
}

TEST(SqliteConnectionTest, OpenFailureIsLoggedAndReported) {
  RecordingSink sink;
  NetworkLogger().AddSink("sqlite-test", &sink);
  CSqliteConnection connection;
  const std::string path = (FreshFolder("fail") / "missing" / "deeper" / "x.db").string();
  EXPECT_FALSE(connection.Open(path));
  NetworkLogger().RemoveSink("sqlite-test");
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_NE(sink.lines[0].find("<ERROR> [network] CSqliteConnection::Open(29) open db error code 14, db path " + path),
            std::string::npos)
      << sink.lines[0];
}

TEST(SqliteConnectionTest, ExecReportsErrorText) {
  CSqliteConnection connection(":memory:");
  std::string error;
  EXPECT_EQ(connection.Exec("select * from nowhere", error), SQLITE_ERROR);
  EXPECT_NE(error.find("no such table"), std::string::npos);
  EXPECT_FALSE(connection.Execute("not sql at all"));
}

TEST(SqliteConnectionTest, ScalarIsZeroWithoutRowOrOnBadSql) {
  CSqliteConnection connection(":memory:");
  ASSERT_TRUE(connection.Execute("create table t(a INTEGER)"));
  EXPECT_EQ(connection.ExecuteScalar("select a from t"), 0);
  EXPECT_EQ(connection.ExecuteScalar("select broken from"), 0);
  EXPECT_EQ(connection.ExecuteScalar("select count(*) from t"), 0);
}

TEST(SqliteConnectionTest, TableExistsOnlyForTables) {
  CSqliteConnection connection(":memory:");
  ASSERT_TRUE(connection.Execute("create table shortcut(a TEXT); create view v as select * from shortcut;"
                                 "create index i on shortcut(a);"));
  EXPECT_TRUE(connection.TableExists("shortcut"));
  EXPECT_FALSE(connection.TableExists("v"));
  EXPECT_FALSE(connection.TableExists("i"));
  EXPECT_FALSE(connection.TableExists("Shortcut "));
  EXPECT_FALSE(connection.TableExists("x' or '1'='1"));  // a hostile name is only a name
}

TEST(SqliteConnectionTest, TransactionCommitsAndRollsBack) {
  CSqliteConnection connection(":memory:");
  ASSERT_TRUE(connection.Execute("create table t(a INTEGER)"));
  EXPECT_EQ(connection.Begin(), SQLITE_OK);
  ASSERT_TRUE(connection.Execute("insert into t values(1)"));
  EXPECT_EQ(connection.Rollback(), SQLITE_OK);
  EXPECT_EQ(connection.ExecuteScalar("select count(*) from t"), 0);
  EXPECT_EQ(connection.Begin(), SQLITE_OK);
  ASSERT_TRUE(connection.Execute("insert into t values(1)"));
  EXPECT_EQ(connection.Commit(), SQLITE_OK);
  EXPECT_EQ(connection.ExecuteScalar("select count(*) from t"), 1);
}

TEST(SqliteConnectionTest, BusyFileIsWaitedForNotFailedAtOnce) {
  const fs::path file = FreshFolder("busy") / "busy.db";
  CSqliteConnection holder(file.string());
  ASSERT_TRUE(holder.Execute("create table t(a INTEGER)"));
  std::string error;
  ASSERT_EQ(holder.Exec("begin immediate", error), SQLITE_OK);
  CSqliteConnection waiter(file.string());
  sqlite3_busy_timeout(waiter.Handle(), 200);  // shortened for the test; the default waits seconds
  EXPECT_FALSE(waiter.Execute("insert into t values(1)"));  // still locked after waiting
  holder.Commit();
  EXPECT_TRUE(waiter.Execute("insert into t values(1)"));
}

TEST(SqliteStatementTest, BindsAndReadsTextWithZeroBytesAndIntegers) {
  CSqliteConnection connection(":memory:");
  ASSERT_TRUE(connection.Execute("create table t(s TEXT, n INTEGER)"));
  {
    CSqliteStatement insert(connection, "insert into t values(?, ?)");
    ASSERT_TRUE(insert.IsPrepared());
    insert.BindText(1, std::string("a\0b'c", 5));
    insert.BindInt(2, -7);
    EXPECT_EQ(insert.Step(), SQLITE_DONE);
    EXPECT_EQ(insert.LastInsertRowId(), 1);
  }
  CSqliteStatement select(connection, "select s, n, null as z from t");
  ASSERT_EQ(select.Step(), SQLITE_ROW);
  std::string text;
  select.ColumnText(0, text);
  EXPECT_EQ(text, std::string("a\0b'c", 5));
  EXPECT_EQ(select.ColumnInt(1), -7);
  std::string kept = "kept";
  select.ColumnText(2, kept);
  EXPECT_EQ(kept, "kept");
  EXPECT_EQ(select.ColumnInt(2), 0);
  EXPECT_EQ(select.ColumnName(1), "n");
  EXPECT_EQ(select.ColumnIndex("n"), 1);
  EXPECT_EQ(select.ColumnIndex("N"), -1);  // names compare exactly
  EXPECT_EQ(select.ColumnIndex("missing"), -1);
  EXPECT_EQ(select.Step(), SQLITE_DONE);
}

TEST(SqliteStatementTest, BadSqlOrClosedConnectionFailsQuietly) {
  CSqliteConnection connection(":memory:");
  CSqliteStatement bad(connection, "selec nothing");
  EXPECT_FALSE(bad.IsPrepared());
  EXPECT_NE(bad.LastResult(), SQLITE_OK);
  EXPECT_NE(bad.Step(), SQLITE_ROW);
  bad.BindInt(1, 1);
  EXPECT_EQ(bad.ColumnIndex("a"), -1);

  CSqliteConnection closed;
  CSqliteStatement none(closed, "select 1");
  EXPECT_FALSE(none.IsPrepared());
  EXPECT_EQ(none.Step(), SQLITE_MISUSE);
  EXPECT_EQ(closed.ExecuteScalar("select 1"), 0);
}

}  // namespace
