#include "sharedobject/SolFile.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/sharedobject/AmfBytes.h"

namespace {

using namespace amf;
using Kind = Variant::Kind;

const char kObjectName[] = "tavra_clientflash_common";

// One AMF0 entry: key, value and the pad byte.
Bytes Entry0(const std::string& key, const Bytes& value) { return Name(key) + value + Bytes{0x00}; }
Bytes Entry3(const Bytes& key, const Bytes& value) { return key + value + Bytes{0x00}; }

bool Decode(const Bytes& image, SolFile& file) { return DecodeSolImage(image.data(), image.size(), file); }
bool Accepted(const Bytes& image) {
  SolFile file;
  return Decode(image, file);
}

std::string Child(const Variant& map, const std::string& key) {
  const Variant* child = map.Find(key);
  return child ? child->ToString() : "<missing>";
}

TEST(SolFileTest, AnAmf0EntryFollowedByItsPadByteIsAccepted) {
  const Bytes image = SolImage(kObjectName, 0, Entry0("deskTVinfo", String("{\"AlbumID\":5}")));
  SolFile file;
  ASSERT_TRUE(Decode(image, file));
  EXPECT_EQ(kObjectName, file.name);
  EXPECT_EQ(0, file.version);
  EXPECT_EQ((std::array<uint8_t, 6>{0x00, 0xBF, 'T', 'C', 'S', 'O'}), file.header);
  EXPECT_EQ(Kind::Map, file.root.GetKind());
  EXPECT_EQ("{\"AlbumID\":5}", Child(file.root, "deskTVinfo"));

  // Two bytes after the last value: the reader tries to read a key from them.
  EXPECT_FALSE(Accepted(SolImage(kObjectName, 0, Entry0("deskTVinfo", String("x")) + Bytes{0x00})));
  // No pad byte at all: the value is cut by the byte the reader leaves out.
  EXPECT_FALSE(Accepted(SolImage(kObjectName, 0, Name("deskTVinfo") + String("x"))));
}

TEST(SolFileTest, SeveralEntriesOfEveryKindAndNoEntries) {
  const Bytes entries = Entry0("n", Number(2.5)) + Entry0("b", Bytes{0x01, 0x01}) +
                        Entry0("o", Bytes{0x03} + Name("k") + String("v") + kEnd) + Entry0("z", Null()) +
                        Entry0("d", Date(0));
  SolFile file;
  ASSERT_TRUE(Decode(SolImage("so", 0, entries), file));
  EXPECT_EQ(5u, file.root.ChildCount());
  EXPECT_EQ("2.500", Child(file.root, "n"));
  EXPECT_EQ("true", Child(file.root, "b"));
  EXPECT_EQ("v", Child(*file.root.Find("o"), "k"));
  EXPECT_EQ(Kind::Null, file.root.Find("z")->GetKind());
  EXPECT_EQ("1970-01-01T00:00:00.000", Child(file.root, "d"));

  // The version field followed only by the pad byte: no entries, a Null root.
  SolFile empty;
  const Bytes none = SolImage(kObjectName, 0, Bytes{0x00});
  ASSERT_TRUE(Decode(none, empty));
  EXPECT_EQ(Kind::Null, empty.root.GetKind());
  EXPECT_EQ("", empty.root["deskTVinfo"].ToString());
  // Without entries a four-byte name makes the smallest file accepted; a shorter one is too small.
  EXPECT_EQ(kSmallestSolFile, SolImage("four", 0, Bytes{0x00}).size());
  EXPECT_TRUE(Accepted(SolImage("four", 0, Bytes{0x00})));
  EXPECT_FALSE(Accepted(SolImage("six", 0, Bytes{0x00})));
}

TEST(SolFileTest, HeaderChecks) {
  const Bytes good = SolImage("abcde", 0, Entry0("k", String("v")));
  ASSERT_TRUE(Accepted(good));

  Bytes magic = good;
  magic[1] = 0xBE;
  EXPECT_FALSE(Accepted(magic));
  Bytes signature = good;
  signature[9] = 'P';
  EXPECT_FALSE(Accepted(signature));
  Bytes shorter = good;
  shorter[5] = static_cast<uint8_t>(shorter[5] - 1);  // length one less than the size minus 6
  EXPECT_FALSE(Accepted(shorter));
  Bytes longer = good;
  longer[5] = static_cast<uint8_t>(longer[5] + 1);
  EXPECT_FALSE(Accepted(longer));
  // The padding is not checked.
  Bytes padding = good;
  padding[11] = 0x77;
  EXPECT_TRUE(Accepted(padding));
  // A name that leaves no room for the version field and an entry.
  Bytes name = good;
  name[17] = static_cast<uint8_t>(good.size() - 16 - 6);
  EXPECT_FALSE(Accepted(name));
  name[17] = static_cast<uint8_t>(good.size() - 16 - 7);
  SolFile file;
  Decode(name, file);  // whatever the entries then give, nothing is read outside the file
  // Too small, whatever it holds.
  EXPECT_FALSE(Accepted(Bytes(good.begin(), good.begin() + 26)));
}

TEST(SolFileTest, OnlyTheLastByteOfTheVersionFieldSelectsAmf3) {
  const Bytes amf0Entry = Entry0("k", String("v"));
  Bytes high = SolImage("so", 0, amf0Entry);
  high[16 + 2 + 2] = 0x01;  // the first version byte
  SolFile file;
  ASSERT_TRUE(Decode(high, file));
  EXPECT_EQ(0, file.version);

  const Bytes amf3Entry = Entry3(Text3("k"), String3("v"));
  for (const uint8_t version : {3, 5, 0xFF}) {
    SolFile amf3;
    ASSERT_TRUE(Decode(SolImage("so", version, amf3Entry), amf3)) << int{version};
    EXPECT_EQ(3, amf3.version);
    EXPECT_EQ("v", Child(amf3.root, "k"));
  }
}

TEST(SolFileTest, Amf3ReferencesReachAcrossEntries) {
  // The second key refers to the first entry's key: the later value replaces the earlier.
  SolFile same;
  ASSERT_TRUE(Decode(SolImage("so", 3, Entry3(Text3("deskTVinfo"), String3("old")) +
                                          Entry3(TextRef3(0), String3("new"))),
                     same));
  EXPECT_EQ(1u, same.root.ChildCount());
  EXPECT_EQ("new", Child(same.root, "deskTVinfo"));

  // An object of the first entry, referred to by the second, with its traits reused.
  const Bytes object = Bytes{0x0A, 0x13} + Text3("Favorite") + Text3("id") + Bytes{0x04, 0x2A};
  SolFile objects;
  ASSERT_TRUE(Decode(SolImage("so", 3, Entry3(Text3("a"), object) + Entry3(Text3("b"), ObjectRef3(0)) +
                                           Entry3(Text3("c"), Bytes{0x0A, 0x01, 0x04, 0x07})),
                     objects));
  for (const char* key : {"a", "b"}) {
    const Variant* favorite = objects.root.Find(key);
    ASSERT_NE(nullptr, favorite) << key;
    EXPECT_EQ("Favorite", favorite->ClassName());
    EXPECT_EQ("42", Child(*favorite->Find("____traits____"), "id"));
  }
  EXPECT_EQ("7", Child(*objects.root.Find("c")->Find("____traits____"), "id"));
}

TEST(SolFileTest, AFailingEntryRejectsTheFileAndKeepsTheEntriesBeforeIt) {
  SolFile file;
  EXPECT_FALSE(Decode(SolImage("so", 0, Entry0("good", String("kept")) + Entry0("bad", Bytes{0x07, 0x00, 0x01})),
                      file));
  EXPECT_EQ("kept", Child(file.root, "good"));
  EXPECT_EQ(nullptr, file.root.Find("bad"));

  EXPECT_FALSE(Accepted(SolImage("so", 3, Entry3(Text3("k"), Bytes{0x06} + TextRef3(5)))));
  EXPECT_FALSE(Accepted(SolImage("so", 3, Entry3(TextRef3(0), String3("v")))));
}

TEST(SolFileTest, EveryCutOfAWellFormedFileIsHandled) {
  const Bytes image =
      SolImage(kObjectName, 3,
               Entry3(Text3("deskTVinfo"), String3("{\"AlbumID\":1}")) +
                   Entry3(Text3("list"), Bytes{0x09, 0x05, 0x01} + String3("a") + Bytes{0x06, 0x04}) +
                   Entry3(Text3("when"), Bytes{0x08, 0x01} + Double(1.5e12)));
  ASSERT_TRUE(Accepted(image));
  for (size_t size = 0; size < image.size(); ++size) {
    Bytes cut(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(Accepted(cut)) << size;
    // The cut file with its length field mended still must not decode past its end.
    if (size >= 6) {
      const uint32_t length = static_cast<uint32_t>(size - 6);
      cut[2] = static_cast<uint8_t>(length >> 24);
      cut[3] = static_cast<uint8_t>(length >> 16);
      cut[4] = static_cast<uint8_t>(length >> 8);
      cut[5] = static_cast<uint8_t>(length);
      Accepted(cut);
    }
  }
}

// Real files, read through the file system.
class SolFileOnDiskTest : public testing::Test {
protected:
  void SetUp() override {
    m_folder = std::filesystem::temp_directory_path() /
              ("vx-sol-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::filesystem::create_directories(m_folder);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::filesystem::path path = m_folder / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  std::filesystem::path m_folder;
};

TEST_F(SolFileOnDiskTest, ReadsAFileAndRefusesWhatCannotBeOne) {
  SolFile file;
  ASSERT_TRUE(ReadSolFile(Write("good.sol", SolImage(kObjectName, 0, Entry0("deskTVinfo", String("t")))), file));
  EXPECT_EQ("t", Child(file.root, "deskTVinfo"));

  SolFile other;
  EXPECT_FALSE(ReadSolFile((m_folder / "missing.sol").string(), other));
  EXPECT_FALSE(ReadSolFile(m_folder.string(), other));  // a folder
  EXPECT_FALSE(ReadSolFile(Write("short.sol", Bytes(26, 0x00)), other));
  EXPECT_FALSE(ReadSolFile(Write("empty.sol", Bytes()), other));

  // Larger than any player writes: refused before it is read.
  const std::string huge = Write("huge.sol", SolImage(kObjectName, 0, Bytes{0x00}));
  std::filesystem::resize_file(huge, kLargestSolFile + 1);
  EXPECT_FALSE(ReadSolFile(huge, other));
}

}  // namespace
