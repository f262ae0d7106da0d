#include "tests/solfiles/SampleFiles.h"

#include <cstdint>
#include <utility>

#include "tests/solfiles/SolWriter.h"

namespace {

using sol::Entry;

std::vector<Entry> Amf0Markers() {
  using namespace amf0;
  return {
      {"number", Number(2.5)},
      {"negative", Number(-1234.5678)},
      {"true", Boolean(1)},
      {"false", Boolean(0)},
      {"two", Boolean(2)},
      {"string", String("plain text")},
      {"empty", String("")},
      {"long", LongString("long form")},
      {"null", Null()},
      {"undefined", Undefined()},
      {"object", Object({{"inner", Number(1)},
                         {"nested", Object({{"deep", String("x")}})},
                         {"none", Object({})}})},
      {"ecma", EcmaArray({{"3", String("three")}, {"03", String("oh-three")}, {"name", Boolean(1)}},
                         {{"7", Number(7)}})},
      {"strict", StrictArray({Number(10), String("b"), StrictArray({})})},
      {"date", Date(1700000000123.0, -60)},
      {"amf3", SwitchToAmf3(amf3::Integer(300))},
      {"amf3object", SwitchToAmf3(amf3::Array({amf3::String("p")}))},
      {std::string("tab\there"), String(std::string("line1\nline2\r\n\x01\x7f\\end"))},
      {"caf\xC3\xA9", String("\xE4\xBD\xA0\xE5\xA5\xBD")},
      {"a/b", Null()},
      {"", Number(0)},
  };
}

std::vector<Entry> Amf3Markers() {
  using namespace amf3;
  return {
      {Text("undefined"), Undefined()},
      {Text("null"), Null()},
      {Text("false"), False()},
      {Text("true"), True()},
      {Text("int0"), Integer(0)},
      {Text("int127"), Integer(127)},
      {Text("int128"), Integer(128)},
      {Text("int16383"), Integer(16383)},
      {Text("int16384"), Integer(16384)},
      {Text("int2097151"), Integer(2097151)},
      {Text("int2097152"), Integer(2097152)},
      {Text("intmax"), Integer(0x1FFFFFFF)},
      {Text("double"), Double(-0.25)},
      {Text("string"), String("h\xC3\xA9llo")},
      {Text("empty"), String("")},
      {Text("date"), Date(86400000.0 * 365)},
      {Text("array"), Array({Integer(1), String("two")}, {{Text("k"), True()}})},
      {Text("point"), Object(Text("Point"), {Text("x"), Text("y")}, false, {Integer(3), Integer(4)})},
      {Text("anon"), Object(Text(""), {Text("a")}, true, {Integer(1)}, {{Text("b"), Integer(2)}})},
      {Text("bytes"), ByteArray(std::string("\x00\x01\xff\n", 4))},
      {Text("collection"), ArrayCollection(Array({String("first"), String("second")}))},
      {Text("emptyarray"), Array({})},
      {Text("nested"), Array({Array({Array({Integer(9)})})})},
  };
}

// References of every kind, within one entry and across entries. The comments give the
// table positions that the decoding order assigns.
std::vector<Entry> Amf3References() {
  using namespace amf3;
  return {
      {Text("title"), String("Same words")},  // strings 0, 1
      {Text("again"), StringRef(1)},          // strings 2
      {Text("episodes"),                      // strings 3; the array is object 2
       Array({
           // object 0, traits 0; strings 4 (Episode), 5 (id), 6 (name), 7 (Pilot)
           Object(Text("Episode"), {Text("id"), Text("name")}, false, {Integer(1), String("Pilot")}),
           ObjectWithTraitsRef(0, false, {Integer(2), StringRef(7)}),  // object 1
           ObjectRef(0),
           StringRef(0),
       })},
      {TextRef(2), Integer(5)},                   // "again" again: replaces the earlier value
      {Text("copy"), ArrayRef(2)},                // strings 8
      {Text("when"), Date(1234567890000.0)},      // strings 9, object 3
      {Text("whenAgain"), DateRef(3)},            // strings 10
      {Text("blob"), ByteArray("\x10\x20")},      // strings 11, byte arrays 0
      {Text("blobAgain"), ByteArrayRef(0)},       // strings 12
      {Text("dyn"),                               // strings 13; object 4, traits 1
       Object(Text(""), {}, true, {}, {{TextRef(5), StringRef(4)}, {Text("extra"), Null()}})},  // strings 14
      {Text("dynAgain"), ObjectWithTraitsRef(1, true, {}, {{TextRef(14), True()}})},  // strings 15, object 5
      {Text("emptyText"), String("")},            // strings 16; the empty text takes no place
      {Text("afterEmpty"), StringRef(16)},        // strings 17
      {Text("collection"),                        // strings 18, 19 (the class name)
       ArrayCollection(Array({ObjectRef(1)}))},   // the inner array is object 6, the collection 7
      {Text("collectionAgain"), ObjectRef(7)},    // strings 20
  };
}

std::vector<Entry> DeskTvInfo() {
  return {{"deskTVinfo", amf0::String(R"({"albumId":123,"albumName":"ABC","type":1})")}};
}

std::string Values(const std::vector<Entry>& entries) {
  std::string out;
  for (const auto& entry : entries) {
    out += entry.second;
  }
  return out;
}

// AMF3 entries as a run of values, each key turned into a string value so that the string
// table fills as it does in the file.
std::string KeyedValues(const std::vector<Entry>& entries) {
  std::string out;
  for (const auto& entry : entries) {
    out += '\x06' + entry.first + entry.second;
  }
  return out;
}

}  // namespace

std::vector<SolSample> SolSamples() {
  std::vector<SolSample> samples = {
      {"amf0_markers.sol", sol::File("amf0_markers", 0, Amf0Markers())},
      {"amf3_markers.sol", sol::File("amf3_markers", 3, Amf3Markers())},
      {"amf3_references.sol", sol::File("amf3_references", 3, Amf3References())},
      {"amf0_no_entries.sol", sol::File("none", 0, {})},
      {"desktvinfo.sol", sol::File("tavra_clientflash_common", 0, DeskTvInfo())},
      // Two bytes after the last value: the reader takes them for another key.
      {"amf0_trailing_bytes.sol", sol::File("tavra_clientflash_common", 0, DeskTvInfo(), std::string(3, '\0'))},
      // A reference into an empty string table.
      {"amf3_dangling_reference.sol", sol::File("dangling", 3, {{amf3::Text("k"), amf3::StringRef(5)}})},
  };
  // The length field one less than the file's size minus 6.
  std::string shortLength = sol::File("tavra_clientflash_common", 0, DeskTvInfo());
  const uint32_t length = static_cast<uint32_t>(shortLength.size() - 7);
  for (int i = 0; i < 4; ++i) {
    shortLength[2 + i] = static_cast<char>(length >> (24 - 8 * i) & 0xFF);
  }
  samples.push_back({"amf0_length_mismatch.sol", shortLength});
  return samples;
}

std::vector<std::string> Amf0ValueSeeds() {
  std::vector<std::string> seeds;
  for (const auto& entry : Amf0Markers()) {
    seeds.push_back(entry.second);
  }
  seeds.push_back(Values(Amf0Markers()));
  return seeds;
}

std::vector<std::string> Amf3ValueSeeds() {
  std::vector<std::string> seeds;
  for (const auto& entry : Amf3Markers()) {
    seeds.push_back(entry.second);
  }
  // As runs, so that the references find their tables filled.
  seeds.push_back(KeyedValues(Amf3Markers()));
  seeds.push_back(KeyedValues(Amf3References()));
  return seeds;
}
