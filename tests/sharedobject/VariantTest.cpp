#include "sharedobject/Variant.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::tm Fields(int year, int month, int day, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

Variant Make(const std::function<void(Variant&)>& set) {
  Variant value;
  set(value);
  return value;
}

Variant Text(const std::string& text) {
  return Make([&](Variant& v) { v.SetString(text); });
}

TEST(VariantTest, NewValueIsNullWithoutChildren) {
  const Variant value;
  EXPECT_EQ(Variant::Kind::Null, value.GetKind());
  EXPECT_EQ(0u, value.ChildCount());
  EXPECT_EQ("", value.ToString());
  EXPECT_EQ(nullptr, value.CalendarTime());
}

TEST(VariantTest, TextConversionFollowsTheKind) {
  struct Case {
    Variant value;
    std::string text;
  };
  Variant map;
  map["a"].SetInt32(1);
  Variant typed;
  typed.SetClassName("Point");
  const std::vector<Case> cases = {
      {Make([](Variant& v) { v.SetBool(true); }), "true"},
      {Make([](Variant& v) { v.SetBool(false); }), "false"},
      {Make([](Variant& v) { v.SetInt8(-5); }), "-5"},
      {Make([](Variant& v) { v.SetInt16(-32768); }), "-32768"},
      {Make([](Variant& v) { v.SetInt32(std::numeric_limits<int32_t>::min()); }), "-2147483648"},
      {Make([](Variant& v) { v.SetInt64(-9000000000000000000); }), "-9000000000000000000"},
      {Make([](Variant& v) { v.SetUInt8(255); }), "255"},
      {Make([](Variant& v) { v.SetUInt32(4294967295u); }), "4294967295"},
      {Make([](Variant& v) { v.SetUInt64(std::numeric_limits<uint64_t>::max()); }),
       "18446744073709551615"},
      {Make([](Variant& v) { v.SetDouble(2.5); }), "2.500"},
      {Make([](Variant& v) { v.SetDouble(-0.0004); }), "-0.000"},
      {Make([](Variant& v) { v.SetDouble(1e20); }), "100000000000000000000.000"},
      {Text(std::string("a\0b\xff", 4)), std::string("a\0b\xff", 4)},
      {Make([](Variant& v) { v.SetByteArray(std::string("\x00\x01", 2)); }), std::string("\x00\x01", 2)},
      {Make([](Variant& v) { v.SetUndefined(); }), ""},
      {map, ""},
      {typed, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.text, c.value.ToString()) << "kind " << static_cast<int>(c.value.GetKind());
  }
}

TEST(VariantTest, CalendarKindsFormatTheirParts) {
  const std::tm time = Fields(2024, 2, 29, 13, 5, 9);
  EXPECT_EQ("2024-02-29T13:05:09.000", Make([&](Variant& v) { v.SetTimestamp(time); }).ToString());
  EXPECT_EQ("2024-02-29", Make([&](Variant& v) { v.SetDate(time); }).ToString());
  EXPECT_EQ("13:05:09.000", Make([&](Variant& v) { v.SetTime(time); }).ToString());
}

TEST(VariantTest, TimeFieldsAreNormalisedAsUtc) {
  struct Case {
    std::tm fields;
    std::string text;
  };
  const std::vector<Case> cases = {
      {Fields(2023, 13, 1, 0, 0, 0), "2024-01-01T00:00:00.000"},     // month carries into the year
      {Fields(2024, 3, 0, 0, 0, 0), "2024-02-29T00:00:00.000"},      // day 0 is the last of February
      {Fields(2023, 3, 0, 0, 0, 0), "2023-02-28T00:00:00.000"},      // no leap day in 2023
      {Fields(2100, 3, 0, 0, 0, 0), "2100-02-28T00:00:00.000"},      // centuries are not leap years
      {Fields(2000, 3, 0, 0, 0, 0), "2000-02-29T00:00:00.000"},      // unless divisible by 400
      {Fields(1999, 12, 31, 23, 59, 61), "2000-01-01T00:00:01.000"}, // seconds carry
      {Fields(2024, 1, 1, -1, 0, 0), "2023-12-31T23:00:00.000"},     // negative hours borrow
      {Fields(1969, 12, 31, 23, 59, 59), "1970-01-01T00:00:00.000"}, // nothing before the epoch
      {Fields(1, 1, 1, 0, 0, 0), "1970-01-01T00:00:00.000"},
  };
  for (const Case& c : cases) {
    Variant value;
    value.SetTimestamp(c.fields);
    EXPECT_EQ(c.text, value.ToString());
  }
}

TEST(VariantTest, NormalisedTimeCarriesWeekdayAndDayOfYear) {
  Variant value;
  value.SetTimestamp(Fields(2024, 3, 1, 12, 0, 0));
  ASSERT_NE(nullptr, value.CalendarTime());
  EXPECT_EQ(5, value.CalendarTime()->tm_wday);  // a Friday
  EXPECT_EQ(60, value.CalendarTime()->tm_yday);
  EXPECT_EQ(0, value.CalendarTime()->tm_isdst);

  value.SetTimestamp(Fields(1970, 1, 1, 0, 0, 0));
  EXPECT_EQ(4, value.CalendarTime()->tm_wday);  // a Thursday
  EXPECT_EQ(0, value.CalendarTime()->tm_yday);
}

TEST(VariantTest, SecondCountsRoundTripThroughCalendarFields) {
  for (const int64_t seconds : {int64_t{-1}, int64_t{0}, int64_t{951782400}, int64_t{4102444799},
                                int64_t{-2208988800}}) {
    EXPECT_EQ(seconds, SecondsFromCalendar(CalendarFromSeconds(seconds))) << seconds;
  }
  EXPECT_EQ(1969 - 1900, CalendarFromSeconds(-1).tm_year);
  EXPECT_EQ(9999 - 1900, CalendarFromSeconds(std::numeric_limits<int64_t>::max()).tm_year);
  EXPECT_EQ(1 - 1900, CalendarFromSeconds(std::numeric_limits<int64_t>::min()).tm_year);
}

TEST(VariantTest, FlagAndNumberConversions) {
  struct Case {
    Variant value;
    bool flag;
    int32_t int32;
    int64_t int64;
    double real;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<Case> cases = {
      {Make([](Variant& v) { v.SetBool(true); }), true, 1, 1, 1.0},
      {Make([](Variant& v) { v.SetBool(false); }), false, 0, 0, 0.0},
      {Make([](Variant& v) { v.SetInt8(-7); }), true, -7, -7, -7.0},
      {Make([](Variant& v) { v.SetInt64(int64_t{1} << 40); }), true, 0, int64_t{1} << 40, 1099511627776.0},
      {Make([](Variant& v) { v.SetUInt32(4000000000u); }), true, -294967296, 4000000000, 4e9},
      {Make([](Variant& v) { v.SetUInt64(0); }), false, 0, 0, 0.0},
      {Make([](Variant& v) { v.SetDouble(3.9); }), true, 3, 3, 3.9},
      {Make([](Variant& v) { v.SetDouble(-3.9); }), true, -3, -3, -3.9},
      {Make([](Variant& v) { v.SetDouble(0.0); }), false, 0, 0, 0.0},
      // Out-of-range doubles saturate instead of converting undefinedly.
      {Make([](Variant& v) { v.SetDouble(1e20); }), true, std::numeric_limits<int32_t>::max(),
       std::numeric_limits<int64_t>::max(), 1e20},
      {Make([](Variant& v) { v.SetDouble(-1e300); }), true, std::numeric_limits<int32_t>::min(),
       std::numeric_limits<int64_t>::min(), -1e300},
      {Text("12"), false, 0, 0, 0.0},
      {Make([](Variant& v) { v.SetTimestamp(Fields(2000, 1, 1, 0, 0, 0)); }), false, 0, 0, 0.0},
      {Make([](Variant& v) { v["a"].SetInt32(1); }), false, 0, 0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.value.GetKind()));
    EXPECT_EQ(c.flag, c.value.ToBool());
    EXPECT_EQ(c.int32, c.value.ToInt32());
    EXPECT_EQ(c.int64, c.value.ToInt64());
    EXPECT_DOUBLE_EQ(c.real, c.value.ToDouble());
  }
  Variant notANumber;
  notANumber.SetDouble(nan);
  EXPECT_TRUE(notANumber.ToBool());
  EXPECT_EQ(0, notANumber.ToInt32());
  EXPECT_EQ(0, notANumber.ToInt64());
}

TEST(VariantTest, KeyedAccessTurnsEmptyValuesIntoMaps) {
  Variant null;
  EXPECT_EQ(Variant::Kind::Null, null["a"].GetKind());
  EXPECT_EQ(Variant::Kind::Map, null.GetKind());
  EXPECT_FALSE(null.IsArray());
  EXPECT_EQ(1u, null.ChildCount());

  Variant undefined;
  undefined.SetUndefined();
  undefined["b"].SetInt32(2);
  EXPECT_EQ(Variant::Kind::Map, undefined.GetKind());

  // A scalar gives up its payload for the map.
  Variant text = Text("x");
  text["c"].SetBool(true);
  EXPECT_EQ(Variant::Kind::Map, text.GetKind());
  EXPECT_EQ(1u, text.ChildCount());
}

TEST(VariantTest, KeyedAccessFindsTheSameChildAgain) {
  Variant map;
  map["a"].SetInt32(1);
  map["a"].SetInt32(2);
  map["b"];
  EXPECT_EQ(2u, map.ChildCount());
  ASSERT_NE(nullptr, map.Find("a"));
  EXPECT_EQ(2, map.Find("a")->ToInt32());
  EXPECT_EQ(Variant::Kind::Null, map.Find("b")->GetKind());
  EXPECT_EQ(nullptr, map.Find("c"));
}

TEST(VariantTest, IndexKeysAreHexadecimalAndSortNumerically) {
  EXPECT_EQ("0x00000000", Variant::IndexKey(0));
  EXPECT_EQ("0x0000000a", Variant::IndexKey(10));
  EXPECT_EQ("0xffffffff", Variant::IndexKey(0xffffffffu));

  Variant array;
  for (const uint32_t position : {256u, 10u, 2u, 0x10000000u}) {
    array[position].SetUInt32(position);
  }
  std::vector<uint32_t> order;
  for (const auto& child : array.GetChildren()) {
    order.push_back(static_cast<uint32_t>(child.second.ToInt64()));
  }
  EXPECT_EQ((std::vector<uint32_t>{2u, 10u, 256u, 0x10000000u}), order);
}

TEST(VariantTest, KeyedInsertionsOutOfOrderKeepTheOrderAndLeaveCopiesAlone) {
  Variant original;
  for (uint32_t i = 0; i < 40; ++i) {
    const uint32_t position = (i * 17 + 5) % 40 * 2;  // even positions, scrambled
    original[position].SetString("value " + std::to_string(position));
  }
  Variant copy = original;
  copy[uint32_t{41}].SetString("inserted");  // between the others, into a map still shared
  copy[uint32_t{0}].SetString("changed");

  std::vector<std::string> keys;
  for (const auto& child : original.GetChildren()) {
    keys.push_back(child.first);
  }
  ASSERT_EQ(40u, keys.size());
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ("value 0", original.Find(Variant::IndexKey(0))->ToString());
  EXPECT_EQ(nullptr, original.Find(Variant::IndexKey(41)));
  ASSERT_EQ(41u, copy.ChildCount());
  EXPECT_EQ("inserted", copy.Find(Variant::IndexKey(41))->ToString());
  EXPECT_EQ(Variant::IndexKey(42), copy.GetChildren()[22].first);
  EXPECT_TRUE(copy.Find(Variant::IndexKey(78))->SharesPayloadWith(*original.Find(Variant::IndexKey(78))));
  EXPECT_FALSE(copy.Find(Variant::IndexKey(0))->SharesPayloadWith(*original.Find(Variant::IndexKey(0))));
}

// Maps that share one map's keys: each keeps its own values, a copy changed through ChildAt
// leaves the original alone, and a change beyond a value (a key added, a class named) gives the
// map keys of its own without touching the map of names or its other holders.
TEST(VariantTest, MapsWithSharedKeysChangeApartFromEachOtherAndTheirNames) {
  Variant names;
  for (const char* key : {"x", "a", "m"}) {
    names[key];
  }
  Variant first = Variant::WithKeysOf(names);
  Variant second = Variant::WithKeysOf(first);  // the keys of a map that shares them
  first.ChildAt(0).SetInt64(1);
  second.ChildAt(2).SetString("second's x");
  Variant copy = first;
  copy.ChildAt(1).SetInt64(2);
  first["b"].SetInt64(3);
  second.SetClassName("Point");
  copy.ChildAt(0).SetInt64(4);

  const auto listed = [](const Variant& map) {
    std::string text;
    for (auto child = map.GetChildren().rbegin(); child != map.GetChildren().rend(); ++child) {
      text += child->first + "=" + child->second.ToString() + " ";
    }
    return text;
  };
  EXPECT_EQ("x= m= a= ", listed(names));
  EXPECT_EQ("x= m= b=3 a=1 ", listed(first));
  EXPECT_EQ("x=second's x m= a= ", listed(second));
  EXPECT_EQ("Point", second.ClassName());
  EXPECT_EQ("x= m=2 a=4 ", listed(copy));
  EXPECT_EQ(Variant::Kind::Null, names.Find("m")->GetKind());
  EXPECT_EQ(2, copy.Find("m")->ToInt32());
  EXPECT_EQ(nullptr, copy.Find("b"));
}

TEST(VariantTest, VariantKeysMapToTextKeysByKind) {
  struct Case {
    Variant key;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {Make([](Variant& v) { v.SetInt8(-1); }), "0xffffffff"},
      {Make([](Variant& v) { v.SetInt16(300); }), "0x0000012c"},
      {Make([](Variant& v) { v.SetInt32(5); }), "0x00000005"},
      {Make([](Variant& v) { v.SetUInt8(10); }), "0x0000000a"},
      {Make([](Variant& v) { v.SetUInt16(65535); }), "0x0000ffff"},
      {Make([](Variant& v) { v.SetUInt32(4294967295u); }), "0xffffffff"},
      {Text("name"), "name"},
      {Text("3"), "3"},
      {Make([](Variant& v) { v.SetInt64(5); }), ""},
      {Make([](Variant& v) { v.SetUInt64(5); }), ""},
      {Make([](Variant& v) { v.SetDouble(5); }), ""},
      {Make([](Variant& v) { v.SetBool(true); }), ""},
      {Variant(), ""},
      {Make([](Variant& v) { v.SetTimestamp(Fields(2000, 1, 1, 0, 0, 0)); }), ""},
      {Make([](Variant& v) { v["k"]; }), ""},
  };
  for (const Case& c : cases) {
    Variant map;
    map[c.key].SetInt32(1);
    ASSERT_EQ(1u, map.ChildCount());
    EXPECT_EQ(c.expected, map.GetChildren().begin()->first) << static_cast<int>(c.key.GetKind());
  }
}

TEST(VariantTest, ClassNameMakesATypedMap) {
  Variant null;
  null.SetClassName("flex.messaging.io.ArrayCollection");
  EXPECT_EQ(Variant::Kind::TypedMap, null.GetKind());
  EXPECT_EQ("flex.messaging.io.ArrayCollection", null.ClassName());

  Variant map;
  map["a"].SetInt32(1);
  map.SetClassName("Point");
  EXPECT_EQ(Variant::Kind::TypedMap, map.GetKind());
  EXPECT_EQ(1u, map.ChildCount());
  map.SetClassName("Other");
  EXPECT_EQ("Other", map.ClassName());

  Variant text = Text("x");
  text.SetClassName("Point");
  EXPECT_EQ(Variant::Kind::String, text.GetKind());
  EXPECT_EQ("x", text.ToString());
  EXPECT_EQ("", text.ClassName());
}

TEST(VariantTest, OnlyPlainMapsTakeTheArrayFlag) {
  Variant null;
  null.MarkAsArray(true);
  EXPECT_EQ(Variant::Kind::Map, null.GetKind());
  EXPECT_TRUE(null.IsArray());
  null.MarkAsArray(false);
  EXPECT_FALSE(null.IsArray());

  Variant typed;
  typed.SetClassName("Point");
  typed.MarkAsArray(true);
  EXPECT_FALSE(typed.IsArray());

  Variant undefined;
  undefined.SetUndefined();
  undefined.MarkAsArray(true);
  EXPECT_EQ(Variant::Kind::Undefined, undefined.GetKind());

  Variant text = Text("x");
  text.MarkAsArray(true);
  EXPECT_EQ(Variant::Kind::String, text.GetKind());
}

TEST(VariantTest, CopiesAreDeepAndIndependent) {
  Variant original;
  original["inner"]["leaf"].SetString("one");
  original["when"].SetTimestamp(Fields(2001, 2, 3, 4, 5, 6));
  original.MarkAsArray(true);

  Variant copy = original;
  copy["inner"]["leaf"].SetString("two");
  copy["when"].SetTimestamp(Fields(2010, 1, 1, 0, 0, 0));
  copy["added"];

  EXPECT_TRUE(copy.IsArray());
  EXPECT_EQ("one", original.Find("inner")->Find("leaf")->ToString());
  EXPECT_EQ("2001-02-03T04:05:06.000", original.Find("when")->ToString());
  EXPECT_EQ(2u, original.ChildCount());
  EXPECT_EQ("two", copy.Find("inner")->Find("leaf")->ToString());

  Variant assigned;
  assigned.SetString("old");
  assigned = original;
  EXPECT_EQ(Variant::Kind::Map, assigned.GetKind());
  EXPECT_EQ("one", assigned.Find("inner")->Find("leaf")->ToString());
}

TEST(VariantTest, CopiesShareUntilOneIsChanged) {
  Variant original;
  original["changed"]["leaf"].SetString("one");
  original["kept"]["leaf"].SetString(std::string(100, 'k'));
  original["when"].SetTimestamp(Fields(2001, 2, 3, 4, 5, 6));

  Variant copy = original;
  EXPECT_TRUE(copy.SharesPayloadWith(original));
  copy["changed"]["leaf"].SetString("two");
  // Only the path to the change was copied: the other children are still the same ones.
  EXPECT_FALSE(copy.SharesPayloadWith(original));
  EXPECT_FALSE(copy.Find("changed")->SharesPayloadWith(*original.Find("changed")));
  EXPECT_TRUE(copy.Find("kept")->SharesPayloadWith(*original.Find("kept")));
  EXPECT_TRUE(copy.Find("when")->SharesPayloadWith(*original.Find("when")));
  EXPECT_EQ("one", original.Find("changed")->Find("leaf")->ToString());
  EXPECT_EQ("two", copy.Find("changed")->Find("leaf")->ToString());

  // A class name or an array flag is a change of the map too.
  Variant typed = original;
  typed.SetClassName("Point");
  Variant flagged = original;
  flagged.MarkAsArray(true);
  EXPECT_EQ(Variant::Kind::Map, original.GetKind());
  EXPECT_FALSE(original.IsArray());
  EXPECT_EQ("Point", typed.ClassName());
  EXPECT_TRUE(flagged.IsArray());
  EXPECT_TRUE(typed.Find("kept")->SharesPayloadWith(*flagged.Find("kept")));
  EXPECT_FALSE(Make([](Variant& v) { v.SetInt32(1); }).SharesPayloadWith(Make([](Variant& v) { v.SetInt32(1); })));
}

TEST(VariantTest, AssigningFromOwnChildKeepsTheChildsValue) {
  Variant value;
  value["inner"]["leaf"].SetString("kept");
  value = value["inner"];
  EXPECT_EQ("kept", value.Find("leaf")->ToString());

  Variant moved;
  moved["inner"]["leaf"].SetString("kept");
  moved = std::move(moved["inner"]);
  EXPECT_EQ("kept", moved.Find("leaf")->ToString());
}

TEST(VariantTest, ResetMakesNull) {
  Variant value;
  value["a"]["b"].SetString("x");
  value.SetClassName("Point");
  value.Reset();
  EXPECT_EQ(Variant::Kind::Null, value.GetKind());
  EXPECT_EQ(0u, value.ChildCount());
  EXPECT_EQ("", value.ClassName());
  value["c"];
  EXPECT_EQ(Variant::Kind::Map, value.GetKind());
  EXPECT_EQ(1u, value.ChildCount());
}

}  // namespace
