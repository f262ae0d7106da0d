#include "sharedobject/SolDump.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string Dump(const Variant& root) {
  SolFile file;
  file.root = root;
  return SolReadingText(true, file);
}

// The inverse of the escaping, written the other way round: it reads escapes, so that a
// round trip shows every byte came out in a form that reads back unambiguously.
bool Unescape(const std::string& text, std::string& bytes) {
  bytes.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
      continue;
    }
    if (++i == text.size()) {
      return false;
    }
    switch (text[i]) {
      case '\\': bytes += '\\'; break;
      case 'n': bytes += '\n'; break;
      case 'r': bytes += '\r'; break;
      case 't': bytes += '\t'; break;
      case 'x': {
        if (i + 2 >= text.size()) {
          return false;
        }
        const std::string digits = text.substr(i + 1, 2);
        if (digits.find_first_not_of("0123456789abcdef") != std::string::npos) {
          return false;
        }
        bytes += static_cast<char>(std::stoi(digits, nullptr, 16));
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

TEST(SolDumpEscapeTest, EachClassOfByteHasItsForm) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string(1, '\0'), "\\x00"},
      {"\x01", "\\x01"},
      {"\x08", "\\x08"},
      {"\t", "\\t"},
      {"\n", "\\n"},
      {"\x0b", "\\x0b"},
      {"\x0c", "\\x0c"},
      {"\r", "\\r"},
      {"\x1b", "\\x1b"},
      {"\x1f", "\\x1f"},
      {"\\", "\\\\"},
      {" ", " "},
      {"/", "/"},
      {"~", "~"},
      {"\x7f", "\x7f"},
      {"\x80", "\x80"},
      {"\xff", "\xff"},
      {"\xe4\xbd\xa0", "\xe4\xbd\xa0"},
      {"", ""},
  };
  for (const auto& [bytes, escaped] : cases) {
    EXPECT_EQ(escaped, EscapeDumpText(bytes)) << "byte " << (bytes.empty() ? -1 : static_cast<unsigned char>(bytes[0]));
  }
  EXPECT_EQ("a\\\\x41\\x00b\\\\n", EscapeDumpText(std::string("a\\x41\0b\\n", 9)));
}

TEST(SolDumpEscapeTest, EveryByteReadsBackAndNoneBreaksALine) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) {
    all += static_cast<char>(byte);
  }
  all += all;  // every byte after every kind of predecessor's escape too
  const std::string escaped = EscapeDumpText(all);
  for (const char c : escaped) {
    EXPECT_GE(static_cast<unsigned char>(c), 0x20u) << "a raw control byte survived";
  }
  std::string back;
  ASSERT_TRUE(Unescape(escaped, back));
  EXPECT_EQ(all, back);
}

TEST(SolDumpKindTest, NamesFollowTheKinds) {
  std::tm time{};
  time.tm_year = 100;
  time.tm_mday = 1;
  const std::vector<std::pair<void (*)(Variant&, const std::tm&), const char*>> cases = {
      {[](Variant&, const std::tm&) {}, "Null"},
      {[](Variant& v, const std::tm&) { v.SetUndefined(); }, "Undefined"},
      {[](Variant& v, const std::tm&) { v.SetBool(true); }, "Bool"},
      {[](Variant& v, const std::tm&) { v.SetInt8(1); }, "Int8"},
      {[](Variant& v, const std::tm&) { v.SetInt16(1); }, "Int16"},
      {[](Variant& v, const std::tm&) { v.SetInt32(1); }, "Int32"},
      {[](Variant& v, const std::tm&) { v.SetInt64(1); }, "Int64"},
      {[](Variant& v, const std::tm&) { v.SetUInt8(1); }, "UInt8"},
      {[](Variant& v, const std::tm&) { v.SetUInt16(1); }, "UInt16"},
      {[](Variant& v, const std::tm&) { v.SetUInt32(1); }, "UInt32"},
      {[](Variant& v, const std::tm&) { v.SetUInt64(1); }, "UInt64"},
      {[](Variant& v, const std::tm&) { v.SetDouble(1); }, "Double"},
      {[](Variant& v, const std::tm& t) { v.SetTimestamp(t); }, "Timestamp"},
      {[](Variant& v, const std::tm& t) { v.SetDate(t); }, "Date"},
      {[](Variant& v, const std::tm& t) { v.SetTime(t); }, "Time"},
      {[](Variant& v, const std::tm&) { v.SetString("s"); }, "String"},
      {[](Variant& v, const std::tm&) { v.SetClassName("C"); }, "TypedMap"},
      {[](Variant& v, const std::tm&) { v.MarkAsArray(false); }, "Map"},
      {[](Variant& v, const std::tm&) { v.SetByteArray("b"); }, "ByteArray"},
  };
  for (const auto& [set, name] : cases) {
    Variant value;
    set(value, time);
    EXPECT_STREQ(name, VariantKindName(value.GetKind()));
  }
}

TEST(SolDumpTest, EachValueGivesPathKindAndText) {
  std::tm time{};
  time.tm_year = 123;
  time.tm_mon = 10;
  time.tm_mday = 14;
  time.tm_hour = 22;
  time.tm_min = 13;
  time.tm_sec = 20;
  Variant root;
  root["when"].SetTimestamp(time);
  root["day"].SetDate(time);
  root["clock"].SetTime(time);
  root["half"].SetDouble(2.5);
  root["minus"].SetInt64(-7);
  root["big"].SetUInt64(UINT64_MAX);
  root["yes"].SetBool(true);
  root["bytes"].SetByteArray(std::string("\0\x01\xfe", 3));
  root["nothing"].SetUndefined();
  EXPECT_EQ(
      "ok\n"
      "big\tUInt64\t18446744073709551615\n"
      "bytes\tByteArray\t\\x00\\x01\xfe\n"
      "clock\tTime\t22:13:20.000\n"
      "day\tDate\t2023-11-14\n"
      "half\tDouble\t2.500\n"
      "minus\tInt64\t-7\n"
      "nothing\tUndefined\t\n"
      "when\tTimestamp\t2023-11-14T22:13:20.000\n"
      "yes\tBool\ttrue\n",
      Dump(root));
}

TEST(SolDumpTest, MapsPrintTheirOwnLineBeforeTheirChildrenDepthFirst) {
  Variant root;
  root["b"]["y"]["deep"].SetInt32(3);
  root["b"]["x"].SetString("bx");
  root["b"].SetClassName("Point");
  root["a"].SetInt32(1);
  root["c"].MarkAsArray(true);
  root["c"][2u].SetInt8(2);
  root["c"][10u].SetInt8(10);
  root["d"].SetInt32(4);
  EXPECT_EQ(
      "ok\n"
      "a\tInt32\t1\n"
      "b\tTypedMap\t\n"
      "b/x\tString\tbx\n"
      "b/y\tMap\t\n"
      "b/y/deep\tInt32\t3\n"
      "c\tMap\t\n"
      "c/0x00000002\tInt8\t2\n"
      "c/0x0000000a\tInt8\t10\n"
      "d\tInt32\t4\n",
      Dump(root));
}

TEST(SolDumpTest, KeysComeInByteOrderAndAreEscapedInThePath) {
  Variant root;
  for (const std::string key : {"b", "B", "_", "a", "\xc3\xa9", "0", "", "a b"}) {
    root[key].SetString(key);
  }
  root[std::string("tab\there")]["new\nline"].SetString("\\");
  (void)root[std::string("nul\0", 4)]["a/b"];
  EXPECT_EQ(
      "ok\n"
      "\tString\t\n"
      "0\tString\t0\n"
      "B\tString\tB\n"
      "_\tString\t_\n"
      "a\tString\ta\n"
      "a b\tString\ta b\n"
      "b\tString\tb\n"
      "nul\\x00\tMap\t\n"
      "nul\\x00/a/b\tNull\t\n"
      "tab\\there\tMap\t\n"
      "tab\\there/new\\nline\tString\t\\\\\n"
      "\xc3\xa9\tString\t\xc3\xa9\n",
      Dump(root));
}

TEST(SolDumpTest, EmptyKeysStillTakeTheirPlaceInThePath) {
  Variant root;
  root[""][""]["leaf"].SetInt32(1);
  EXPECT_EQ(
      "ok\n"
      "\tMap\t\n"
      "/\tMap\t\n"
      "//leaf\tInt32\t1\n",
      Dump(root));
}

TEST(SolDumpTest, DeepNestingKeepsTheWholePath) {
  Variant root;
  Variant* level = &root;
  std::string path;
  std::string expected = "ok\n";
  for (int depth = 0; depth < 300; ++depth) {
    path += (depth ? "/" : "") + std::to_string(depth);
    level = &(*level)[std::to_string(depth)];
    level->MarkAsArray(false);
    expected += path + "\tMap\t\n";
  }
  level->SetInt32(-1);
  expected.replace(expected.size() - 5, 5, "Int32\t-1\n");
  EXPECT_EQ(expected, Dump(root));
}

TEST(SolDumpTest, AnAcceptedFileWithoutEntriesPrintsOnlyOk) {
  SolFile file;
  EXPECT_EQ("ok\n", SolReadingText(true, file));
}

TEST(SolDumpTest, ARejectedFilePrintsOnlyRejectedWhateverWasDecoded) {
  SolFile file;
  file.root["decoded before the failure"].SetInt32(1);
  EXPECT_EQ("rejected\n", SolReadingText(false, file));
}

}  // namespace
