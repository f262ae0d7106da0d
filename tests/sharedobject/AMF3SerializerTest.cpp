#include "sharedobject/AMF3Serializer.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sharedobject/AMF0Serializer.h"
#include "sharedobject/IOBuffer.h"
#include "sharedobject/Variant.h"
#include "tests/sharedobject/AmfBytes.h"

namespace {

using namespace amf;
using Kind = Variant::Kind;

// Decodes values one after another with one serializer, as a file's entries are.
class Amf3 {
public:
  explicit Amf3(const AMFLimits& limits = AMFLimits()) : m_serializer(limits) {}

  bool Decode(const Bytes& bytes, Variant& value) {
    m_buffer.Append(bytes.data(), bytes.size());
    return m_serializer.ReadValue(m_buffer, value);
  }
  Variant Decoded(const Bytes& bytes) {
    Variant value;
    EXPECT_TRUE(Decode(bytes, value));
    EXPECT_EQ(0u, m_buffer.Available());
    return value;
  }
  bool Fails(const Bytes& bytes) {
    Variant value;
    return !Decode(bytes, value);
  }

  AMF3Serializer& Serializer() { return m_serializer; }
  IOBuffer& Buffer() { return m_buffer; }

private:
  AMF3Serializer m_serializer;
  IOBuffer m_buffer;
};

std::string Child(const Variant& map, const std::string& key) {
  const Variant* child = map.Find(key);
  return child ? child->ToString() : "<missing>";
}

// An object header with inline traits: sealed member count, dynamic flag.
Bytes InlineTraits(uint32_t sealed, bool dynamic) {
  return U29(sealed << 4 | (dynamic ? 8u : 0u) | 0x3);
}
Bytes TraitsRef(uint32_t index) { return U29(index << 2 | 0x1); }
Bytes DenseArray(const std::vector<Bytes>& elements) {
  Bytes bytes = Bytes{0x09} + U29(static_cast<uint32_t>(elements.size()) << 1 | 1) + kEmpty3;
  for (const Bytes& element : elements) {
    bytes += element;
  }
  return bytes;
}

TEST(AMF3SerializerTest, ScalarMarkers) {
  Amf3 amf3;
  EXPECT_EQ(Kind::Null, amf3.Decoded({0x00}).GetKind());
  EXPECT_EQ(Kind::Null, amf3.Decoded({0x01}).GetKind());
  const Variant no = amf3.Decoded({0x02});
  EXPECT_EQ(Kind::Bool, no.GetKind());
  EXPECT_FALSE(no.ToBool());
  EXPECT_TRUE(amf3.Decoded({0x03}).ToBool());
  const Variant real = amf3.Decoded(Double3(2.5));
  EXPECT_EQ(Kind::Double, real.GetKind());
  EXPECT_EQ("2.500", real.ToString());
}

TEST(AMF3SerializerTest, IntegersAreTwentyNineBitsWithoutSignExtension) {
  Amf3 amf3;
  const Variant largest = amf3.Decoded({0x04, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(Kind::UInt32, largest.GetKind());
  EXPECT_EQ(536870911, largest.ToInt64());
  // Every width of the variable-length form, at both ends.
  for (const uint32_t value : {0u, 0x7Fu, 0x80u, 0x3FFFu, 0x4000u, 0x1FFFFFu, 0x200000u, 0x1234567u}) {
    EXPECT_EQ(value, static_cast<uint32_t>(amf3.Decoded(Integer3(value)).ToInt64())) << value;
  }
  EXPECT_EQ(2u, U29(0x80).size());
  EXPECT_EQ(4u, U29(0x200000).size());
  // The fourth byte counts all eight bits.
  EXPECT_EQ(0x7F, amf3.Decoded({0x04, 0x80, 0x80, 0x80, 0x7F}).ToInt64());
  EXPECT_EQ(0xFF, amf3.Decoded({0x04, 0x80, 0x80, 0x80, 0xFF}).ToInt64());
}

TEST(AMF3SerializerTest, StringsEnterTheTableAndTheEmptyTextDoesNot) {
  Amf3 amf3;
  EXPECT_EQ("alpha", amf3.Decoded(String3("alpha")).ToString());
  EXPECT_EQ("", amf3.Decoded({0x06, 0x01}).ToString());
  EXPECT_EQ(Kind::String, amf3.Decoded({0x06, 0x01}).GetKind());
  EXPECT_EQ("beta", amf3.Decoded(String3("beta")).ToString());
  EXPECT_EQ(2u, amf3.Serializer().StringCount());
  EXPECT_EQ("alpha", amf3.Decoded(Bytes{0x06} + TextRef3(0)).ToString());
  EXPECT_EQ("beta", amf3.Decoded(Bytes{0x06} + TextRef3(1)).ToString());
  // Non-ASCII text is kept as the UTF-8 bytes it came as.
  EXPECT_EQ("\xE6\x9B\xB4", amf3.Decoded(String3("\xE6\x9B\xB4")).ToString());
}

TEST(AMF3SerializerTest, StringsWithAndWithoutMarker) {
  AMF3Serializer serializer;
  IOBuffer buffer;
  const Bytes bytes = Text3("key") + String3("marked") + Text3("x");
  buffer.Append(bytes.data(), bytes.size());
  Variant text;
  ASSERT_TRUE(serializer.ReadString(buffer, text, false));
  EXPECT_EQ("key", text.ToString());
  ASSERT_TRUE(serializer.ReadString(buffer, text, true));
  EXPECT_EQ("marked", text.ToString());
  // A missing marker fails and consumes nothing.
  EXPECT_FALSE(serializer.ReadString(buffer, text, true));
  EXPECT_EQ(2u, buffer.Available());
}

TEST(AMF3SerializerTest, UnsupportedMarkers) {
  // XML: the marker is consumed and the value fails.
  for (const uint8_t marker : {0x07, 0x0B}) {
    Amf3 amf3;
    Variant value;
    EXPECT_FALSE(amf3.Decode({marker, 0x01}, value));
    EXPECT_EQ(1u, amf3.Buffer().Available()) << int{marker};
  }
  // Later markers are not consumed.
  for (const uint8_t marker : {0x0D, 0x0E, 0x10, 0x11, 0x80, 0xFF}) {
    Amf3 amf3;
    Variant value;
    EXPECT_FALSE(amf3.Decode({marker, 0x01}, value));
    EXPECT_EQ(2u, amf3.Buffer().Available()) << int{marker};
  }
  Amf3 empty;
  EXPECT_TRUE(empty.Fails({}));
}

TEST(AMF3SerializerTest, DatesAreTimestampsInTheObjectTable) {
  Amf3 amf3;
  const Variant date = amf3.Decoded(Bytes{0x08, 0x01} + Double(1262304000123.0));  // 2010-01-01
  EXPECT_EQ(Kind::Timestamp, date.GetKind());
  EXPECT_EQ("2010-01-01T00:00:00.000", date.ToString());
  EXPECT_EQ(1u, amf3.Serializer().ObjectCount());
  EXPECT_EQ("2010-01-01T00:00:00.000", amf3.Decoded({0x08, 0x00}).ToString());
  // Before 1970 the time cannot be held: it becomes the epoch instead of failing.
  EXPECT_EQ("1970-01-01T00:00:00.000", amf3.Decoded(Bytes{0x08, 0x01} + Double(-86400000.0)).ToString());
  EXPECT_TRUE(amf3.Fails(Bytes{0x08, 0x01, 0x42, 0x00}));
}

TEST(AMF3SerializerTest, ByteArraysHaveTheirOwnTable) {
  Amf3 amf3;
  const Variant bytes = amf3.Decoded(Bytes{0x0C} + U29(3 << 1 | 1) + Bytes{0x00, 0x01, 0xFF});
  EXPECT_EQ(Kind::ByteArray, bytes.GetKind());
  EXPECT_EQ(std::string("\x00\x01\xFF", 3), bytes.ToString());
  const Variant empty = amf3.Decoded({0x0C, 0x01});
  EXPECT_EQ(Kind::ByteArray, empty.GetKind());
  EXPECT_EQ("", empty.ToString());
  EXPECT_EQ(1u, amf3.Serializer().ByteArrayCount());
  EXPECT_EQ(0u, amf3.Serializer().StringCount());
  EXPECT_EQ(std::string("\x00\x01\xFF", 3), amf3.Decoded({0x0C, 0x00}).ToString());
}

TEST(AMF3SerializerTest, ArraysHoldAssociativeThenDenseChildren) {
  Amf3 amf3;
  const Variant array = amf3.Decoded(Bytes{0x09} + U29(3 << 1 | 1) + Text3("name") + String3("x") +
                                     kEmpty3 + Integer3(10) + Integer3(11) + Integer3(12));
  EXPECT_EQ(Kind::Map, array.GetKind());
  EXPECT_TRUE(array.IsArray());
  EXPECT_EQ(4u, array.ChildCount());
  EXPECT_EQ("x", Child(array, "name"));
  EXPECT_EQ("10", Child(array, "0x00000000"));
  EXPECT_EQ("12", Child(array, "0x00000002"));

  const Variant empty = amf3.Decoded(DenseArray({}));
  EXPECT_TRUE(empty.IsArray());
  EXPECT_EQ(0u, empty.ChildCount());

  // Index keys sort numerically, so element 10 comes after element 9.
  std::vector<Bytes> eleven;
  for (uint32_t i = 0; i < 11; ++i) {
    eleven.push_back(Integer3(i));
  }
  const Variant longer = amf3.Decoded(DenseArray(eleven));
  std::vector<std::string> order;
  for (const auto& child : longer.GetChildren()) {
    order.push_back(child.second.ToString());
  }
  EXPECT_EQ((std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}), order);
}

TEST(AMF3SerializerTest, AnArrayEntersTheObjectTableAfterWhatItContains) {
  Amf3 amf3;
  const Bytes object = Bytes{0x0A} + InlineTraits(0, true) + kEmpty3 + Text3("v") + Integer3(7) + kEmpty3;
  const Variant array = amf3.Decoded(DenseArray({object}));
  ASSERT_EQ(2u, amf3.Serializer().ObjectCount());
  EXPECT_FALSE(amf3.Serializer().ObjectAt(0).IsArray());
  EXPECT_EQ("7", Child(amf3.Serializer().ObjectAt(0), "v"));
  EXPECT_TRUE(amf3.Serializer().ObjectAt(1).IsArray());

  // References copy the entries.
  const Variant again = amf3.Decoded({0x09, 0x02});
  EXPECT_TRUE(again.IsArray());
  ASSERT_NE(nullptr, again.Find("0x00000000"));
  EXPECT_EQ("7", Child(*again.Find("0x00000000"), "v"));
  EXPECT_EQ("7", Child(amf3.Decoded(ObjectRef3(0)), "v"));
}

TEST(AMF3SerializerTest, SealedMembersLiveUnderTheTraitsKeyAndDynamicOnesAtTheTop) {
  Amf3 amf3;
  // Anonymous class, one sealed member a, dynamic: a = 1, then b = 2.
  const Variant object = amf3.Decoded(Bytes{0x0A} + InlineTraits(1, true) + kEmpty3 + Text3("a") +
                                      Integer3(1) + Text3("b") + Integer3(2) + kEmpty3);
  EXPECT_EQ(Kind::Map, object.GetKind());
  EXPECT_EQ("", object.ClassName());
  EXPECT_FALSE(object.IsArray());
  ASSERT_EQ(2u, object.ChildCount());
  EXPECT_EQ("2", Child(object, "b"));
  const Variant* sealed = object.Find("____traits____");
  ASSERT_NE(nullptr, sealed);
  EXPECT_EQ(1u, sealed->ChildCount());
  EXPECT_EQ("1", Child(*sealed, "a"));

  // The traits as the table keeps them.
  ASSERT_EQ(1u, amf3.Serializer().TraitsCount());
  const Variant& traits = amf3.Serializer().TraitsAt(0);
  EXPECT_TRUE(traits.Find("____isDynamic____")->ToBool());
  EXPECT_EQ("", Child(traits, "____class_name____"));
  EXPECT_EQ("a", Child(*traits.Find("____traits____"), "0x00000000"));
}

TEST(AMF3SerializerTest, TypedObjectsShareTheirTraitsByReference) {
  Amf3 amf3;
  const Bytes first = Bytes{0x0A} + InlineTraits(2, false) + Text3("Point") + Text3("x") + Text3("y") +
                      Integer3(3) + Integer3(4);
  const Variant point = amf3.Decoded(first);
  EXPECT_EQ(Kind::TypedMap, point.GetKind());
  EXPECT_EQ("Point", point.ClassName());
  EXPECT_EQ("3", Child(*point.Find("____traits____"), "x"));

  // The second point refers to the traits: same class, same members, not dynamic.
  const Variant second = amf3.Decoded(Bytes{0x0A} + TraitsRef(0) + Integer3(5) + Integer3(6));
  EXPECT_EQ("Point", second.ClassName());
  EXPECT_EQ("5", Child(*second.Find("____traits____"), "x"));
  EXPECT_EQ("6", Child(*second.Find("____traits____"), "y"));
  EXPECT_EQ(1u, second.ChildCount());
  EXPECT_EQ(1u, amf3.Serializer().TraitsCount());
  EXPECT_EQ(2u, amf3.Serializer().ObjectCount());
  // Member and class names went through the string table.
  EXPECT_EQ(3u, amf3.Serializer().StringCount());

  // Dynamic traits by reference read dynamic members too.
  amf3.Decoded(Bytes{0x0A} + InlineTraits(0, true) + Text3("Bag") + Text3("k") + Integer3(1) + kEmpty3);
  const Variant bag = amf3.Decoded(Bytes{0x0A} + TraitsRef(1) + TextRef3(4) + Integer3(9) + kEmpty3);
  EXPECT_EQ("Bag", bag.ClassName());
  EXPECT_EQ("9", Child(bag, "k"));
}

TEST(AMF3SerializerTest, AnObjectTakesItsTablePlaceBeforeItsMembers) {
  Amf3 amf3;
  // The member refers to object 0, the object itself, which is still empty then.
  const Variant object = amf3.Decoded(Bytes{0x0A} + InlineTraits(0, true) + kEmpty3 + Text3("self") +
                                      ObjectRef3(0) + Text3("inner") + Bytes{0x0A} +
                                      InlineTraits(0, true) + kEmpty3 + kEmpty3 + kEmpty3);
  EXPECT_EQ(Kind::Null, object.Find("self")->GetKind());
  ASSERT_EQ(2u, amf3.Serializer().ObjectCount());
  EXPECT_NE(nullptr, amf3.Serializer().ObjectAt(0).Find("inner"));
  EXPECT_EQ(0u, amf3.Serializer().ObjectAt(1).ChildCount());
}

TEST(AMF3SerializerTest, ArrayCollectionWrapsAnArray) {
  Amf3 amf3;
  const Variant collection = amf3.Decoded(Bytes{0x0A, 0x07} + Text3("flex.messaging.io.ArrayCollection") +
                                          DenseArray({String3("p"), String3("q")}));
  EXPECT_EQ(Kind::TypedMap, collection.GetKind());
  EXPECT_EQ("flex.messaging.io.ArrayCollection", collection.ClassName());
  EXPECT_EQ(2u, collection.ChildCount());
  EXPECT_EQ("q", Child(collection, "0x00000001"));
  // The inner array (decoded into the collection, so it is already typed), then the collection.
  ASSERT_EQ(2u, amf3.Serializer().ObjectCount());
  EXPECT_EQ(2u, amf3.Serializer().ObjectAt(0).ChildCount());
  EXPECT_EQ(Kind::TypedMap, amf3.Serializer().ObjectAt(1).GetKind());
  EXPECT_EQ("q", Child(amf3.Decoded(ObjectRef3(1)), "0x00000001"));

  EXPECT_TRUE(Amf3().Fails(Bytes{0x0A, 0x07} + Text3("com.example.Other") + DenseArray({})));
}

TEST(AMF3SerializerTest, ReferencesBeyondTheirTableFail) {
  EXPECT_TRUE(Amf3().Fails(Bytes{0x06} + TextRef3(0)));
  EXPECT_TRUE(Amf3().Fails(ObjectRef3(0)));
  EXPECT_TRUE(Amf3().Fails({0x09, 0x00}));
  EXPECT_TRUE(Amf3().Fails({0x08, 0x02}));
  EXPECT_TRUE(Amf3().Fails({0x0C, 0x00}));
  EXPECT_TRUE(Amf3().Fails(Bytes{0x0A} + TraitsRef(0)));
  // An array cannot refer to itself: it enters the table only when complete.
  EXPECT_TRUE(Amf3().Fails(Bytes{0x09, 0x03, 0x01, 0x09, 0x00}));
  Amf3 one;
  one.Decoded(String3("a"));
  EXPECT_TRUE(one.Fails(Bytes{0x06} + TextRef3(1)));
  EXPECT_TRUE(one.Fails(Bytes{0x06} + U29(0x1FFFFFFE)));
}

TEST(AMF3SerializerTest, ARepeatedKeyDecodesIntoTheChildItAlreadyNames) {
  Amf3 amf3;
  // Scalars replace; a second inline object adds its members to the first.
  const Variant array = amf3.Decoded(
      Bytes{0x09, 0x01} + Text3("k") + Integer3(1) + TextRef3(0) + String3("two") + Text3("m") +
      Bytes{0x0A} + InlineTraits(0, true) + kEmpty3 + Text3("a") + Integer3(1) + kEmpty3 + TextRef3(2) +
      Bytes{0x0A} + InlineTraits(0, true) + kEmpty3 + Text3("b") + Integer3(2) + kEmpty3 + kEmpty3);
  EXPECT_EQ("two", Child(array, "k"));
  const Variant* merged = array.Find("m");
  ASSERT_NE(nullptr, merged);
  EXPECT_EQ("1", Child(*merged, "a"));
  EXPECT_EQ("2", Child(*merged, "b"));
}

// Object 2 decodes under the key of object 0 and adds "b" to its 60 KB text and its empty
// array: a reference to object 2 shows all three, and is charged and bounded by all of it, not
// by the one member that object 2 spelt out.
TEST(AMF3SerializerTest, AReferenceToAMergedObjectCountsTheWholeMergedMap) {
  const auto object = [](const Bytes& members) {
    return Bytes{0x0A} + InlineTraits(0, true) + kEmpty3 + members + kEmpty3;
  };
  const Bytes merging = Bytes{0x09, 0x01} + Text3("m") +
                        object(Text3("t") + String3(std::string(60000, 'z')) + Text3("d") + DenseArray({})) +
                        TextRef3(0) + object(Text3("b") + Integer3(2)) + kEmpty3;
  const auto referring = [](int count) {
    return DenseArray(std::vector<Bytes>(static_cast<size_t>(count), ObjectRef3(2)));
  };
  Amf3 bombed;
  bombed.Decoded(merging);
  EXPECT_TRUE(bombed.Fails(referring(2000)));  // 120 MB shown by 12 KB

  Amf3 modest;
  modest.Decoded(merging);
  const Variant references = modest.Decoded(referring(100));
  ASSERT_EQ(100u, references.ChildCount());
  const Variant& last = references.GetChildren().rbegin()->second;
  EXPECT_EQ(3u, last.ChildCount());
  EXPECT_EQ(60000u, Child(last, "t").size());

  // The merged map is two levels tall (its array), the later object alone one.
  AMFLimits limits;
  limits.maxDepth = 3;
  Amf3 low(limits);
  low.Decoded(merging);
  EXPECT_FALSE(low.Fails(DenseArray({ObjectRef3(2)})));
  EXPECT_TRUE(low.Fails(DenseArray({DenseArray({ObjectRef3(2)})})));
}

TEST(AMF3SerializerTest, RepeatedKeysAmongManyMergeMapsAtEveryLevelAndReplaceTheRest) {
  const auto object = [](const Bytes& members) {
    return Bytes{0x0A} + InlineTraits(0, true) + kEmpty3 + members + kEmpty3;
  };
  // Twenty keys out of order first, so that the repeats are looked for among many.
  Bytes members;
  for (int i = 19; i >= 0; --i) {
    members += Text3("f" + std::to_string(100 + i)) + Integer3(static_cast<uint32_t>(i));
  }
  // The outer object is object 0, the first "m" object 1 and its "x" object 2.
  members += Text3("m") + object(Text3("x") + object(Text3("p") + Integer3(1)) + Text3("y") + Integer3(1));
  members += Text3("s") + Integer3(5) + Text3("r") + object(Text3("a") + Integer3(1));
  members += Text3("m") + object(Text3("x") + object(Text3("q") + Integer3(2)));
  members += Text3("s") + object(Text3("z") + Integer3(3));  // a map replaces a scalar
  members += Text3("r") + ObjectRef3(2);                     // a reference replaces a map
  const Variant outer = Amf3().Decoded(object(members));
  EXPECT_EQ(23u, outer.ChildCount());
  const Variant* m = outer.Find("m");
  ASSERT_NE(nullptr, m);
  EXPECT_EQ("1", Child(*m, "y"));
  ASSERT_NE(nullptr, m->Find("x"));
  EXPECT_EQ("1", Child(*m->Find("x"), "p"));
  EXPECT_EQ("2", Child(*m->Find("x"), "q"));
  ASSERT_NE(nullptr, outer.Find("s"));
  EXPECT_EQ(1u, outer.Find("s")->ChildCount());
  EXPECT_EQ("3", Child(*outer.Find("s"), "z"));
  ASSERT_NE(nullptr, outer.Find("r"));
  EXPECT_EQ("<missing>", Child(*outer.Find("r"), "a"));
  EXPECT_EQ("1", Child(*outer.Find("r"), "p"));
}

TEST(AMF3SerializerTest, AFailedValueLeavesWhatItHadRead) {
  // Sealed members b, a, c: b is read, then the data ends within a, which stays Null; c, not
  // reached, does not appear.
  Amf3 partial;
  Variant object;
  EXPECT_FALSE(partial.Decode(Bytes{0x0A} + InlineTraits(3, false) + kEmpty3 + Text3("b") + Text3("a") +
                                  Text3("c") + Integer3(1) + Bytes{0x05, 0x00},
                              object));
  const Variant* sealed = object.Find("____traits____");
  ASSERT_NE(nullptr, sealed);
  EXPECT_EQ(2u, sealed->ChildCount());
  EXPECT_EQ("1", Child(*sealed, "b"));
  ASSERT_NE(nullptr, sealed->Find("a"));
  EXPECT_EQ(Kind::Null, sealed->Find("a")->GetKind());
  // Traits that do not exist: the object is an empty map all the same.
  Variant unknown;
  unknown.SetInt64(7);
  EXPECT_FALSE(Amf3().Decode(Bytes{0x0A} + TraitsRef(5), unknown));
  EXPECT_TRUE(unknown.IsMap());
  EXPECT_EQ(0u, unknown.ChildCount());
  // A repeated key whose later value fails keeps the earlier one.
  Variant array;
  EXPECT_FALSE(Amf3().Decode(Bytes{0x09, 0x01} + Text3("k") + Integer3(1) + TextRef3(0) + Bytes{0x05, 0x00}, array));
  EXPECT_EQ(1u, array.ChildCount());
  EXPECT_EQ("1", Child(array, "k"));
}

TEST(AMF3SerializerTest, MembersInAnyOrderComeOutInKeyOrder) {
  // Dynamic members by the thousand, each key after the one it sorts before.
  Bytes many = Bytes{0x0A} + InlineTraits(0, true) + kEmpty3;
  for (int i = 4999; i >= 0; --i) {
    const std::string digits = std::to_string(i);
    many += Text3("k" + std::string(5 - digits.size(), '0') + digits) + Integer3(static_cast<uint32_t>(i));
  }
  const Variant object = Amf3().Decoded(many + kEmpty3);
  ASSERT_EQ(5000u, object.ChildCount());
  EXPECT_EQ("k00000", object.GetChildren().begin()->first);
  EXPECT_EQ("4321", Child(object, "k04321"));

  // Sealed names out of order, one given twice (the later value stays), for each object of
  // the traits.
  Amf3 amf3;
  const Variant first = amf3.Decoded(Bytes{0x0A} + InlineTraits(3, false) + Text3("C") + Text3("b") + Text3("a") +
                                     TextRef3(1) + Integer3(1) + Integer3(2) + Integer3(3));
  const Variant second = amf3.Decoded(Bytes{0x0A} + TraitsRef(0) + Integer3(4) + Integer3(5) + Integer3(6));
  for (const Variant* object : {&first, &second}) {
    const Variant* sealed = object->Find("____traits____");
    ASSERT_NE(nullptr, sealed);
    ASSERT_EQ(2u, sealed->ChildCount());
    EXPECT_EQ("a", sealed->GetChildren().begin()->first);
  }
  EXPECT_EQ("2", Child(*first.Find("____traits____"), "a"));
  EXPECT_EQ("3", Child(*first.Find("____traits____"), "b"));
  EXPECT_EQ("6", Child(*second.Find("____traits____"), "b"));
  EXPECT_EQ("C", second.ClassName());
}

TEST(AMF3SerializerTest, TruncationAtEveryPointFails) {
  const Bytes whole =
      DenseArray({String3("text"), Double3(1.5), Bytes{0x08, 0x01} + Double(1e12),
                  Bytes{0x0A} + InlineTraits(1, true) + Text3("C") + Text3("s") + Integer3(0x200000) +
                      Text3("d") + Bytes{0x0C, 0x05, 0x01, 0x02} + kEmpty3,
                  Bytes{0x0A} + TraitsRef(0) + Bytes{0x06} + TextRef3(0) + kEmpty3, ObjectRef3(0)});
  ASSERT_FALSE(Amf3().Fails(whole));
  for (size_t length = 0; length < whole.size(); ++length) {
    EXPECT_TRUE(Amf3().Fails(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length))))
        << length;
  }
}

TEST(AMF3SerializerTest, HugeLengthsAndCountsAreNotTrusted) {
  // A string, byte array, dense array and member list of 2^28 entries in a few bytes.
  EXPECT_TRUE(Amf3().Fails(Bytes{0x06} + U29(0x1FFFFFFF) + Raw("ab")));
  EXPECT_TRUE(Amf3().Fails(Bytes{0x0C} + U29(0x1FFFFFFF) + Raw("ab")));
  EXPECT_TRUE(Amf3().Fails(Bytes{0x09} + U29(0x1FFFFFFF) + kEmpty3 + Integer3(1)));
  EXPECT_TRUE(Amf3().Fails(Bytes{0x0A} + U29(0x1FFFFFF3) + kEmpty3 + Text3("a")));
}

TEST(AMF3SerializerTest, DeeplyNestedInputFailsCleanly) {
  Bytes nested;
  for (int i = 0; i < 100000; ++i) {
    nested += Bytes{0x09, 0x03, 0x01};
  }
  EXPECT_TRUE(Amf3().Fails(nested));
  Bytes objects;
  for (int i = 0; i < 100000; ++i) {
    objects += Bytes{0x0A, 0x0B, 0x01, 0x03, 0x61};
  }
  EXPECT_TRUE(Amf3().Fails(objects));

  AMFLimits limits;
  limits.maxDepth = 4;
  EXPECT_FALSE(Amf3(limits).Fails(DenseArray({DenseArray({DenseArray({DenseArray({})})})})));
  EXPECT_TRUE(Amf3(limits).Fails(DenseArray({DenseArray({DenseArray({DenseArray({DenseArray({})})})})})));
}

TEST(AMF3SerializerTest, ReferencesCannotBuildATreeTallerThanTheBound) {
  AMFLimits limits;
  limits.maxDepth = 6;
  Amf3 amf3(limits);
  // Three levels, then that tree referred to from three levels down: six in all, then seven.
  amf3.Decoded(DenseArray({DenseArray({DenseArray({})})}));
  ASSERT_EQ(3u, amf3.Serializer().ObjectCount());
  EXPECT_FALSE(amf3.Fails(DenseArray({DenseArray({DenseArray({Bytes{0x09, 0x04}})})})));
  Amf3 deeper(limits);
  deeper.Decoded(DenseArray({DenseArray({DenseArray({})})}));
  EXPECT_TRUE(deeper.Fails(DenseArray({DenseArray({DenseArray({DenseArray({Bytes{0x09, 0x04}})})})})));
}

TEST(AMF3SerializerTest, ReferencesCannotBlowASmallInputUp) {
  // A 60 KB string referred to 2,000 times would make 120 MB of copies out of 64 KB.
  const std::string big(60000, 'z');
  Bytes bytes = Bytes{0x09} + U29(2001 << 1 | 1) + kEmpty3 + String3(big);
  for (int i = 0; i < 2000; ++i) {
    bytes += Bytes{0x06} + TextRef3(0);
  }
  EXPECT_LT(bytes.size(), 70000u);
  EXPECT_TRUE(Amf3().Fails(bytes));

  // Doubling through object references: each array holds the previous one twice.
  Bytes doubling = Bytes{0x09} + U29(41 << 1 | 1) + kEmpty3 + DenseArray({String3(std::string(1000, 'a'))});
  for (uint32_t i = 0; i < 40; ++i) {
    doubling += Bytes{0x09, 0x05, 0x01} + Bytes{0x09} + U29(i << 1) + Bytes{0x09} + U29(i << 1);
  }
  EXPECT_TRUE(Amf3().Fails(doubling));

  // Within the bound the same references decode.
  Bytes modest = Bytes{0x09} + U29(101 << 1 | 1) + kEmpty3 + String3(std::string(1000, 'y'));
  for (int i = 0; i < 100; ++i) {
    modest += Bytes{0x06} + TextRef3(0);
  }
  EXPECT_EQ(101u, Amf3().Decoded(modest).ChildCount());
}

TEST(AMF3SerializerTest, ReferencesShareWhatTheyNameAndChangesStayWithTheCopyChanged) {
  Amf3 amf3;
  const std::string longText(5000, 't');
  const Variant object =
      amf3.Decoded(Bytes{0x0A} + InlineTraits(0, true) + kEmpty3 + Text3("t") + String3(longText) + kEmpty3);
  // Three references to the object and one to its text (string 1).
  Variant array = amf3.Decoded(DenseArray({ObjectRef3(0), ObjectRef3(0), ObjectRef3(0), Bytes{0x06} + TextRef3(1)}));
  const Variant& table = amf3.Serializer().ObjectAt(0);
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(array[i].SharesPayloadWith(object)) << i;
  }
  EXPECT_TRUE(table.SharesPayloadWith(object));
  EXPECT_TRUE(array[3].SharesPayloadWith(*object.Find("t")));

  array[1]["t"].SetString("changed");
  EXPECT_EQ("changed", Child(array[1], "t"));
  EXPECT_EQ(longText, Child(array[0], "t"));
  EXPECT_EQ(longText, Child(object, "t"));
  EXPECT_EQ(longText, Child(table, "t"));
  EXPECT_TRUE(array[2].SharesPayloadWith(object));
}

TEST(AMF3SerializerTest, ObjectsOfReferredTraitsAreChargedTheirNames) {
  // One member name of 50,000 bytes, then objects that only refer to the traits: 4 bytes each
  // that show the name again. 2,000 of them would show 100 MB.
  const std::string name(50000, 'n');
  const Bytes first = Bytes{0x0A} + InlineTraits(1, false) + Text3("C") + Text3(name) + Integer3(1);
  Bytes many = Bytes{0x09} + U29(2001 << 1 | 1) + kEmpty3 + first;
  for (int i = 0; i < 2000; ++i) {
    many += Bytes{0x0A} + TraitsRef(0) + Integer3(2);
  }
  EXPECT_LT(many.size(), 70000u);
  EXPECT_TRUE(Amf3().Fails(many));

  Bytes some = Bytes{0x09} + U29(101 << 1 | 1) + kEmpty3 + first;
  for (int i = 0; i < 100; ++i) {
    some += Bytes{0x0A} + TraitsRef(0) + Integer3(2);
  }
  const Variant decoded = Amf3().Decoded(some);
  ASSERT_EQ(101u, decoded.ChildCount());
  EXPECT_EQ("2", Child(*decoded.GetChildren().rbegin()->second.Find("____traits____"), name));
}

TEST(AMF3SerializerTest, AnAmf0ValueSwitchesToAmf3WithFreshTables) {
  const Bytes bytes = Bytes{0x03} + Name("first") + Bytes{0x11} + String3("shared") + Name("second") +
                      Bytes{0x11, 0x06} + TextRef3(0) + kEnd;
  IOBuffer buffer;
  buffer.Append(bytes.data(), bytes.size());
  Variant value;
  EXPECT_FALSE(AMF0Serializer().ReadValue(buffer, value));
  EXPECT_EQ("shared", Child(value, "first"));

  const Bytes fine = Bytes{0x03} + Name("n") + Bytes{0x11} + Integer3(5) + Name("s") + Bytes{0x11} +
                     String3("t") + kEnd;
  IOBuffer second;
  second.Append(fine.data(), fine.size());
  ASSERT_TRUE(AMF0Serializer().ReadValue(second, value));
  EXPECT_EQ(Kind::UInt32, value.Find("n")->GetKind());
  EXPECT_EQ("t", Child(value, "s"));
  EXPECT_EQ(0u, second.Available());
}

}  // namespace
