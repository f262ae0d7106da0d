#include "sharedobject/AMF0Serializer.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sharedobject/IOBuffer.h"
#include "sharedobject/Variant.h"
#include "tests/sharedobject/AmfBytes.h"

namespace {

using namespace amf;

void Feed(IOBuffer& buffer, const Bytes& bytes) {
  ASSERT_TRUE(buffer.Append(bytes.data(), bytes.size()));
}

struct Decoded {
  bool ok;
  Variant value;
  size_t left;
};

Decoded Decode(const Bytes& bytes, const AMFLimits& limits = AMFLimits()) {
  IOBuffer buffer;
  buffer.Append(bytes.data(), bytes.size());
  Decoded result{false, Variant(), 0};
  result.ok = AMF0Serializer(limits).ReadValue(buffer, result.value);
  result.left = buffer.Available();
  return result;
}

std::string Child(const Variant& map, const std::string& key) {
  const Variant* child = map.Find(key);
  return child ? child->ToString() : "<missing>";
}

TEST(IOBufferTest, FirstAppendAllocatesTheMinimumStepAndDrainingEmptiesIt) {
  IOBuffer buffer;
  const Bytes ten(10, 0xab);
  ASSERT_TRUE(buffer.Append(ten.data(), ten.size()));
  EXPECT_EQ(4096u, buffer.Capacity());
  EXPECT_EQ(10u, buffer.Published());
  EXPECT_EQ(10u, buffer.Available());

  EXPECT_TRUE(buffer.Skip(4));
  EXPECT_EQ(4u, buffer.Consumed());
  EXPECT_EQ(6u, buffer.Available());
  EXPECT_FALSE(buffer.Skip(7));
  EXPECT_EQ(6u, buffer.Available());

  EXPECT_TRUE(buffer.Skip(6));
  EXPECT_EQ(0u, buffer.Published());
  EXPECT_EQ(0u, buffer.Consumed());
  EXPECT_EQ(4096u, buffer.Capacity());
}

TEST(IOBufferTest, GrowthKeepsUnreadBytesAndFollowsTheStepRules) {
  struct Case {
    size_t first;   // appended, then `read` of it skipped
    size_t read;
    size_t second;  // appended afterwards
    size_t capacity;
  };
  const std::vector<Case> cases = {
      {4096, 0, 1, 8192},         // small shortfall, but 4096 beyond the write end wins
      {20000, 0, 1, 26666},       // small shortfall: four thirds of the capacity
      {20000, 0, 10000, 30000},   // large shortfall: write end plus the append
      {20000, 0, 3000, 26666},
      {100, 60, 4000, 4096},      // most is read: unread bytes move to the front and it fits
      {100, 10, 4000, 5461},      // most is unread: the block grows
      {4096, 4000, 5000, 5461},   // moved to the front, still short by less than a third
      {4096, 4000, 9000, 9096},   // moved to the front, far too small: write end plus the append
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << "/" << c.read << "/" << c.second);
    Bytes first(c.first);
    for (size_t i = 0; i < first.size(); ++i) {
      first[i] = static_cast<uint8_t>(i * 7);
    }
    const Bytes second(c.second, 0x5a);
    IOBuffer buffer;
    ASSERT_TRUE(buffer.Append(first.data(), first.size()));
    ASSERT_TRUE(buffer.Skip(c.read));
    ASSERT_TRUE(buffer.Append(second.data(), second.size()));
    EXPECT_EQ(c.capacity, buffer.Capacity());
    ASSERT_EQ(c.first - c.read + c.second, buffer.Available());
    const Bytes unread(buffer.Data(), buffer.Data() + buffer.Available());
    EXPECT_EQ(Bytes(first.begin() + static_cast<long>(c.read), first.end()) + second, unread);
  }
}

TEST(AMF0SerializerTest, DecodesScalarsAndConsumesThemWhole) {
  struct Case {
    Bytes bytes;
    Variant::Kind kind;
    std::string text;
  };
  const std::vector<Case> cases = {
      {Number(2.5), Variant::Kind::Double, "2.500"},
      {Number(-1e-3), Variant::Kind::Double, "-0.001"},
      {{0x01, 0x01}, Variant::Kind::Bool, "true"},
      {{0x01, 0x00}, Variant::Kind::Bool, "false"},
      {{0x01, 0x02}, Variant::Kind::Bool, "false"},
      {{0x01, 0xff}, Variant::Kind::Bool, "false"},
      {String("abc"), Variant::Kind::String, "abc"},
      {String(""), Variant::Kind::String, ""},
      {String("\xe4\xbd\xa0\xe5\xa5\xbd"), Variant::Kind::String, "\xe4\xbd\xa0\xe5\xa5\xbd"},
      {Bytes{0x02} + Name(std::string(300, 'x')), Variant::Kind::String, std::string(300, 'x')},
      {Bytes{0x0C} + U32(2) + Raw("hi"), Variant::Kind::String, "hi"},
      {Bytes{0x0C} + U32(70000) + Bytes(70000, 'z'), Variant::Kind::String, std::string(70000, 'z')},
      {Null(), Variant::Kind::Null, ""},
      {{0x06}, Variant::Kind::Null, ""},
      {Date(86400000.0 + 3723000.0 + 999.0), Variant::Kind::Timestamp, "1970-01-02T01:02:03.000"},
      {Date(1709294400000.0), Variant::Kind::Timestamp, "2024-03-01T12:00:00.000"},
  };
  for (const Case& c : cases) {
    const Decoded decoded = Decode(c.bytes);
    ASSERT_TRUE(decoded.ok) << c.text;
    EXPECT_EQ(c.kind, decoded.value.GetKind()) << c.text;
    EXPECT_EQ(c.text, decoded.value.ToString());
    EXPECT_EQ(0u, decoded.left) << c.text;
  }
}

TEST(AMF0SerializerTest, DatesOutsideTheHeldRangeDoNotFail) {
  struct Case {
    double milliseconds;
    std::string text;
  };
  const std::vector<Case> cases = {
      {-86400000.0, "1970-01-01T00:00:00.000"},
      {-1.0, "1970-01-01T00:00:00.000"},  // truncates toward zero: second 0
      {-1e300, "1970-01-01T00:00:00.000"},
      {1e300, "9999-12-31T23:59:59.000"},
      {std::numeric_limits<double>::quiet_NaN(), "1970-01-01T00:00:00.000"},
      {std::numeric_limits<double>::infinity(), "9999-12-31T23:59:59.000"},
  };
  for (const Case& c : cases) {
    const Decoded decoded = Decode(Date(c.milliseconds));
    ASSERT_TRUE(decoded.ok) << c.milliseconds;
    EXPECT_EQ(Variant::Kind::Timestamp, decoded.value.GetKind());
    EXPECT_EQ(c.text, decoded.value.ToString()) << c.milliseconds;
  }
}

TEST(AMF0SerializerTest, ObjectsHoldTheirPairs) {
  const Decoded decoded = Decode(Bytes{0x03} + Name("a") + Number(1) + Name("b") + String("x") +
                                 Name("inner") + Bytes{0x03} + Name("c") + Null() + kEnd +
                                 Name("7") + Number(7) + kEnd);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(0u, decoded.left);
  const Variant& object = decoded.value;
  EXPECT_EQ(Variant::Kind::Map, object.GetKind());
  EXPECT_FALSE(object.IsArray());
  EXPECT_EQ(4u, object.ChildCount());
  EXPECT_EQ("1.000", Child(object, "a"));
  EXPECT_EQ("x", Child(object, "b"));
  EXPECT_EQ("7.000", Child(object, "7"));  // object keys are never positions
  const Variant* inner = object.Find("inner");
  ASSERT_NE(nullptr, inner);
  EXPECT_EQ(1u, inner->ChildCount());
  EXPECT_EQ(Variant::Kind::Null, inner->Find("c")->GetKind());
}

TEST(AMF0SerializerTest, EmptyContainersKeepTheirArrayFlag) {
  const Decoded object = Decode(Bytes{0x03} + kEnd);
  ASSERT_TRUE(object.ok);
  EXPECT_EQ(Variant::Kind::Map, object.value.GetKind());
  EXPECT_EQ(0u, object.value.ChildCount());
  EXPECT_FALSE(object.value.IsArray());

  const Decoded strict = Decode(Bytes{0x0A} + U32(0));
  ASSERT_TRUE(strict.ok);
  EXPECT_EQ(Variant::Kind::Map, strict.value.GetKind());
  EXPECT_EQ(0u, strict.value.ChildCount());
  EXPECT_TRUE(strict.value.IsArray());

  const Decoded ecma = Decode(Bytes{0x08} + U32(0) + kEnd);
  ASSERT_TRUE(ecma.ok);
  EXPECT_EQ(0u, ecma.value.ChildCount());
  EXPECT_TRUE(ecma.value.IsArray());
}

TEST(AMF0SerializerTest, StrictArrayElementsStandAtIndexKeys) {
  Bytes bytes = Bytes{0x0A} + U32(11);
  for (int i = 0; i < 11; ++i) {
    bytes = bytes + Number(i);
  }
  const Decoded decoded = Decode(bytes);
  ASSERT_TRUE(decoded.ok);
  EXPECT_TRUE(decoded.value.IsArray());
  EXPECT_EQ(11u, decoded.value.ChildCount());
  EXPECT_EQ("0.000", Child(decoded.value, "0x00000000"));
  EXPECT_EQ("10.000", Child(decoded.value, "0x0000000a"));
  EXPECT_EQ("0x0000000a", decoded.value.GetChildren().rbegin()->first);
}

TEST(AMF0SerializerTest, EcmaArrayCountedDecimalKeysBecomePositions) {
  const Decoded decoded =
      Decode(Bytes{0x08} + U32(6) + Name("3") + String("three") + Name("03") + String("zero-three") +
             Name("+1") + Null() + Name("-1") + Null() + Name("name") + Null() + Name("") + Null() +
             Name("12") + String("after the count") + kEnd);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(0u, decoded.left);
  const Variant& array = decoded.value;
  EXPECT_TRUE(array.IsArray());
  EXPECT_EQ(7u, array.ChildCount());
  EXPECT_EQ("three", Child(array, "0x00000003"));
  EXPECT_EQ("zero-three", Child(array, "03"));
  EXPECT_NE(nullptr, array.Find("+1"));
  EXPECT_NE(nullptr, array.Find("0xffffffff"));
  EXPECT_NE(nullptr, array.Find("name"));
  EXPECT_NE(nullptr, array.Find(""));
  EXPECT_EQ("after the count", Child(array, "12"));
}

TEST(AMF0SerializerTest, UnsupportedMarkersFailWithoutBeingConsumed) {
  for (const uint8_t marker : {0x04, 0x07, 0x09, 0x0D, 0x0E, 0x0F, 0x10, 0x12, 0xff}) {
    const Decoded decoded = Decode(Bytes{marker, 0x00, 0x01});
    EXPECT_FALSE(decoded.ok) << int{marker};
    EXPECT_EQ(3u, decoded.left) << int{marker};
  }
  EXPECT_FALSE(Decode(Bytes{}).ok);
}

TEST(AMF0SerializerTest, ShortOrTruncatedDataFails) {
  const std::vector<Bytes> cases = {
      {0x00, 0x40, 0x04, 0, 0, 0, 0, 0},              // number of 7 bytes
      {0x01},                                         // boolean without its byte
      {0x02, 0x00},                                   // string length cut
      Bytes{0x02} + U16(5) + Raw("abc"),              // string shorter than its length
      Bytes{0x0C} + U32(0xffffffff) + Raw("ab"),      // a 4 GB length is not allocated
      Bytes{0x0C} + U32(3),                           //
      {0x03, 0x00, 0x00},                             // object: fewer than 3 bytes
      Bytes{0x03} + Name("a") + Number(1),            // object without its end
      Bytes{0x03} + Name("a") + Number(1) + Bytes{0x00, 0x00},
      Bytes{0x08, 0x00, 0x00},                        // ECMA count cut
      Bytes{0x08} + U32(1) + Name("a") + Null(),      // counted pair, then no end bytes
      Bytes{0x08} + U32(0xffffffff) + Name("a") + Null() + kEnd,  // count beyond the pairs
      Bytes{0x0A} + U32(3) + Null() + Null(),         // strict array short of an element
      Bytes{0x0A} + U32(0xffffffff),                  // a huge count is bounded by the data
      Bytes{0x0B} + Double(0),                        // date without its time-zone field
      Bytes{0x0B} + Double(0) + Bytes{0x00},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_FALSE(Decode(cases[i]).ok) << "case " << i;
  }
}

TEST(AMF0SerializerTest, FailureKeepsWhatWasDecodedAndStopsAtTheFault) {
  const Decoded decoded =
      Decode(Bytes{0x03} + Name("a") + Number(1) + Name("b") + Bytes{0x07, 0x00, 0x01} + kEnd);
  EXPECT_FALSE(decoded.ok);
  EXPECT_EQ("1.000", Child(decoded.value, "a"));
  EXPECT_EQ(3u + kEnd.size(), decoded.left);  // the reference marker is still unread
}

TEST(AMF0SerializerTest, ValuesAreReadOneAfterAnother) {
  // The way the shared-object reader walks its entries: a name without marker, then a value.
  IOBuffer buffer;
  Feed(buffer, Name("deskTVinfo") + String("{\"id\":1}") + Bytes{0x00} + Name("n") +
                         Number(4) + Bytes{0x00});
  const AMF0Serializer serializer;
  Variant name;
  Variant value;
  ASSERT_TRUE(serializer.ReadShortString(buffer, name, false));
  EXPECT_EQ("deskTVinfo", name.ToString());
  ASSERT_TRUE(serializer.ReadValue(buffer, value));
  EXPECT_EQ("{\"id\":1}", value.ToString());
  ASSERT_TRUE(buffer.Skip(1));
  ASSERT_TRUE(serializer.ReadShortString(buffer, name, false));
  EXPECT_EQ("n", name.ToString());
  ASSERT_TRUE(serializer.ReadValue(buffer, value));
  EXPECT_EQ(Variant::Kind::Double, value.GetKind());
  EXPECT_EQ(1u, buffer.Available());
  ASSERT_TRUE(buffer.Skip(1));
  EXPECT_EQ(0u, buffer.Published());
}

TEST(AMF0SerializerTest, ShortStringMarkerIsCheckedWhenAsked) {
  const AMF0Serializer serializer;
  Variant text;

  IOBuffer marked;
  Feed(marked, String("ok"));
  EXPECT_TRUE(serializer.ReadShortString(marked, text, true));
  EXPECT_EQ("ok", text.ToString());
  EXPECT_EQ(0u, marked.Available());

  IOBuffer wrongMarker;
  Feed(wrongMarker, Bytes{0x0C} + Name("ok"));
  EXPECT_FALSE(serializer.ReadShortString(wrongMarker, text, true));
  EXPECT_EQ(5u, wrongMarker.Available());

  IOBuffer unmarked;
  Feed(unmarked, Name("ok"));
  EXPECT_FALSE(serializer.ReadShortString(unmarked, text, true));

  IOBuffer cut;
  Feed(cut, Bytes{0x02, 0x00});
  EXPECT_FALSE(serializer.ReadShortString(cut, text, true));
}

TEST(AMF0SerializerTest, NestingIsBoundedByDepth) {
  AMFLimits limits;
  limits.maxDepth = 4;
  const auto nested = [](int levels) {
    Bytes bytes;
    for (int i = 0; i < levels; ++i) {
      bytes = bytes + Bytes{static_cast<uint8_t>(i % 2 ? 0x0A : 0x03)} +
              (i % 2 ? U32(1) : Name("k"));
    }
    bytes = bytes + Null();
    for (int i = levels - 1; i >= 0; --i) {
      if (i % 2 == 0) {
        bytes = bytes + kEnd;
      }
    }
    return bytes;
  };
  EXPECT_TRUE(Decode(nested(4), limits).ok);
  EXPECT_FALSE(Decode(nested(5), limits).ok);
  EXPECT_TRUE(Decode(nested(200)).ok);
}

TEST(AMF0SerializerTest, DeeplyNestedInputFailsCleanly) {
  // 100,000 objects, each holding the next under the empty key.
  Bytes bytes;
  bytes.reserve(100000 * 3 + 1);
  for (int i = 0; i < 100000; ++i) {
    bytes.insert(bytes.end(), {0x03, 0x00, 0x00});
  }
  bytes.push_back(0x05);
  EXPECT_FALSE(Decode(bytes).ok);

  Bytes arrays;
  arrays.reserve(100000 * 5);
  for (int i = 0; i < 100000; ++i) {
    arrays.insert(arrays.end(), {0x0A, 0x00, 0x00, 0x00, 0x01});
  }
  EXPECT_FALSE(Decode(arrays).ok);
}

TEST(AMF0SerializerTest, DecodedSizeIsBounded) {
  AMFLimits limits;
  limits.maxDecodedBytes = 100 * AMFLimits::kValueCost;

  Bytes nulls = Bytes{0x0A} + U32(99);
  for (int i = 0; i < 99; ++i) {
    nulls = nulls + Null();
  }
  EXPECT_TRUE(Decode(nulls, limits).ok);
  Bytes more = Bytes{0x0A} + U32(100);
  for (int i = 0; i < 100; ++i) {
    more = more + Null();
  }
  EXPECT_FALSE(Decode(more, limits).ok);

  const size_t textLimit = limits.maxDecodedBytes - AMFLimits::kValueCost;
  EXPECT_TRUE(Decode(Bytes{0x0C} + U32(static_cast<uint32_t>(textLimit)) + Bytes(textLimit, 'a'), limits).ok);
  EXPECT_FALSE(
      Decode(Bytes{0x0C} + U32(static_cast<uint32_t>(textLimit + 1)) + Bytes(textLimit + 1, 'a'), limits).ok);
}

}  // namespace
