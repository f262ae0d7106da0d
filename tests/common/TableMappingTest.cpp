#include "common/TableMapping.h"

#include <gtest/gtest.h>

namespace {

struct Item {
  std::string name;
  int32_t count = 0;
  std::string note;
  int64_t rowId = 0;
};

TableMapping<Item> ItemMapping() {
  return TableMapping<Item>({TextColumn("name", &Item::name, true), IntegerColumn("count", &Item::count),
                             TextColumn("note", &Item::note)});
}

TEST(TableMappingTest, CreateAndReplaceTexts) {
  TableMapping<Item> two({TextColumn("a", &Item::name, true), IntegerColumn("b", &Item::count)});
  EXPECT_EQ(two.CreateText("t"), "create table t( a TEXT ,b INTEGER ,primary key( a) );");
  EXPECT_EQ(ItemMapping().ReplaceText("t"), "REPLACE INTO t( name,count,note ) values( ?,?, ? )");
  EXPECT_EQ(ItemMapping().PrimaryKeys().size(), 1u);
  EXPECT_EQ(ItemMapping().Others().size(), 2u);

  TableMapping<Item> twoKeys({TextColumn("a", &Item::name, true), IntegerColumn("b", &Item::count, true)});
  EXPECT_EQ(twoKeys.CreateText("t"), "create table t( a TEXT ,b INTEGER ,primary key( a,b) );");
}

TEST(TableMappingTest, FlagsAppearInTheDefinition) {
  auto column = IntegerColumn("id", &Item::count, true);
  column.notNull = true;
  column.autoIncrement = true;
  TableMapping<Item> mapping({column});
  EXPECT_EQ(mapping.CreateText("t"), "create table t( id INTEGER NOT NULL AUTOINCREMENT ,primary key( id) );");
}

TEST(TableMappingTest, ReplaceStoresAndReplacesByPrimaryKey) {
  CSqliteConnection connection(":memory:");
  const auto mapping = ItemMapping();
  ASSERT_TRUE(CreateTable(connection, "items", mapping));
  EXPECT_FALSE(CreateTable(connection, "items", mapping));  // exists already

  Item item{"O'Brien's \"show\"", 3, "first", 0};
  ASSERT_TRUE(Replace(connection, "items", mapping, item));
  EXPECT_EQ(item.rowId, 1);
  item.count = 4;
  item.note = "second";
  ASSERT_TRUE(Replace(connection, "items", mapping, item));
  EXPECT_EQ(connection.ExecuteScalar("select count(*) from items"), 1);

  std::vector<Item> all;
  ASSERT_TRUE(SelectAll(connection, "select * from items", mapping, all));
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].name, "O'Brien's \"show\"");
  EXPECT_EQ(all[0].count, 4);
  EXPECT_EQ(all[0].note, "second");
}

TEST(TableMappingTest, SelectOneWithoutRowSucceedsAndKeepsDefaults) {
  CSqliteConnection connection(":memory:");
  const auto mapping = ItemMapping();
  ASSERT_TRUE(CreateTable(connection, "items", mapping));
  Item item{"untouched", 9, "", 0};
  EXPECT_TRUE(SelectOne(connection, "select * from items", mapping, item));
  EXPECT_EQ(item.name, "untouched");
  EXPECT_EQ(item.count, 9);
  EXPECT_FALSE(SelectOne(connection, "select * from nowhere", mapping, item));
  std::vector<Item> none;
  EXPECT_FALSE(SelectAll(connection, "select * from nowhere", mapping, none));
  EXPECT_TRUE(::Run(connection, "alter table items add column extra TEXT", mapping, item));
}

TEST(TableMappingTest, OlderTableWithoutAColumnFillsTheRest) {
  CSqliteConnection connection(":memory:");
  ASSERT_TRUE(connection.Execute("create table items(name TEXT, count INTEGER, primary key(name));"
                                 "insert into items values('old', 2);"
                                 "insert into items values('nulls', NULL);"));
  std::vector<Item> rows;
  ASSERT_TRUE(SelectAll(connection, "select * from items order by name desc", ItemMapping(), rows));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "old");
  EXPECT_EQ(rows[0].count, 2);
  EXPECT_EQ(rows[0].note, "");  // missing column: member unchanged from a fresh record
  EXPECT_EQ(rows[1].count, 0);  // NULL integer reads as 0
}

}  // namespace
