#include "sharedobject/MapBuilder.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sharedobject/Variant.h"

namespace {

using Listing = std::vector<std::pair<std::string, int64_t>>;

// The keys and values of a map's children, in the order it gives them.
Listing Listed(const Variant& map) {
  Listing listed;
  for (const auto& [key, value] : map.GetChildren()) {
    listed.emplace_back(key, value.ToInt64());
  }
  return listed;
}

// Keys added in a scrambled order, some twice, against std::map with the last value kept:
// few children are sorted in place, many in a new block; keys that share their first eight
// bytes (or are prefixes of each other) are ordered by the rest.
TEST(MapBuilderTest, ChildrenEndInKeyOrderWithTheLastValueOfARepeatedKey) {
  for (const size_t count : {size_t{5}, size_t{16}, size_t{17}, size_t{3000}}) {
    std::vector<std::string> keys;
    for (size_t i = 0; i < count; ++i) {
      keys.push_back(i % 3 == 0 ? "shared__prefix" + std::to_string(i) : std::to_string(i * 7919 % 1000));
    }
    keys.push_back("shared__");
    keys.push_back("\xc3\xa9t\xc3\xa9");  // bytes from 0x80 up sort after ASCII, as std::string compares them
    keys.push_back(keys[count / 2]);  // again, later
    std::map<std::string, int64_t> expected;
    Variant map;
    {
      MapBuilder builder(map);
      for (size_t i = 0; i < keys.size(); ++i) {
        builder.Add(keys[i]).SetInt64(static_cast<int64_t>(i));
        expected[keys[i]] = static_cast<int64_t>(i);
      }
      EXPECT_EQ(Variant::Kind::Null, map.GetKind());  // taken over while it is built
    }
    EXPECT_EQ(Listing(expected.begin(), expected.end()), Listed(map)) << count;
    ASSERT_NE(nullptr, map.Find(keys[count / 2]));
    EXPECT_EQ(static_cast<int64_t>(keys.size() - 1), map.Find(keys[count / 2])->ToInt64());
  }
}

TEST(MapBuilderTest, TheMapsOwnChildrenClassAndFlagStay) {
  Variant array;
  array.MarkAsArray(true);
  array["b"].SetInt64(1);
  array["d"].SetInt64(2);
  Variant typed;
  typed.SetClassName("Point");
  typed["x"].SetString("kept");
  const Variant before = typed;
  {
    MapBuilder builder(array);
    builder.Add("d").SetInt64(20);  // replaces the map's own child
    builder.Add("a").SetInt64(10);
  }
  {
    MapBuilder builder(typed);
    builder.Add("y").SetInt64(4);
  }
  EXPECT_TRUE(array.IsArray());
  EXPECT_EQ((Listing{{"a", 10}, {"b", 1}, {"d", 20}}), Listed(array));
  EXPECT_EQ("Point", typed.ClassName());
  EXPECT_EQ(2u, typed.ChildCount());
  // A copy made before is not changed through the builder, and still shares the child both hold.
  EXPECT_EQ(1u, before.ChildCount());
  EXPECT_TRUE(typed.Find("x")->SharesPayloadWith(*before.Find("x")));
}

TEST(MapBuilderTest, IndexKeysPastSixteenChildrenSortNumerically) {
  Variant array;
  {
    MapBuilder builder(array);
    for (uint32_t i = 0; i < 40; ++i) {
      const uint32_t position = (i * 17 + 5) % 40 * 1000;  // every position once, scrambled
      builder.Add(position).SetUInt32(position);
    }
  }
  std::vector<uint32_t> order;
  for (const auto& child : array.GetChildren()) {
    order.push_back(static_cast<uint32_t>(child.second.ToInt64()));
  }
  ASSERT_EQ(40u, order.size());
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(39000u, order.back());
}

}  // namespace
