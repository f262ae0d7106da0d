// Taking the desk favourite from real .sol files in the scratch Flash stores: the freshest
// copy by last-access time, and the deletion of the copies that were read.
#include "sharedobject/DeskTVInfo.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "tests/sharedobject/DeskTVSolImage.h"
#include "tests/sharedobject/ScratchFlashStores.h"

namespace {

using soltest::DeskTVSolImage;
using soltest::ScratchFlashStores;

constexpr char kFile[] = "/tavra_clientflash_common.sol";

class DeskTVInfoTest : public ::testing::Test {
protected:
  // Copies in host folders of both stores' profiles.
  std::string Roaming(const std::string& host) const { return stores.RoamingRoot() + "/ABCDEFGH/" + host; }
  std::string Local(const std::string& host) const { return stores.LocalRoot() + "/QRSTUVWX/" + host; }

  // Plants a copy with the given bytes, last accessed `secondsAhead` seconds after an hour
  // from now. Times ahead of the clock stay as set however often the file is read (a read
  // moves an access time older than the last change to now on a "relatime" file system).
  std::string Plant(const std::string& hostFolder, const std::string& bytes, int secondsAhead) const {
    return PlantAccessedAt(hostFolder, bytes, start + 3600 + secondsAhead);
  }
  std::string PlantAccessedAt(const std::string& hostFolder, const std::string& bytes, std::time_t accessed) const {
    ScratchFlashStores::MakeFolders(hostFolder);
    const std::string path = hostFolder + kFile;
    ScratchFlashStores::WriteFile(path, bytes);
    EXPECT_TRUE(ScratchFlashStores::SetAccessTime(path, accessed));
    return path;
  }

  ScratchFlashStores stores;
  const std::time_t start = std::time(nullptr);
};

TEST_F(DeskTVInfoTest, NoCopyGivesEmptyText) {
  EXPECT_EQ(ReadDeskTVInfo(), "");
  ScratchFlashStores::MakeFolders(Roaming("www.vexo.com"));
  EXPECT_EQ(ReadDeskTVInfo(), "");
}

TEST_F(DeskTVInfoTest, SingleCopyGivesItsTextAsStored) {
  const std::string text = "{\"AlbumID\":7,\"AlbumName\":\"\xe8\xa7\x86\xe9\xa2\x91\"}";  // UTF-8 name
  Plant(Local("www.vexo.com"), DeskTVSolImage(text), 0);
  EXPECT_EQ(ReadDeskTVInfo(), text);
}

TEST_F(DeskTVInfoTest, LatestAccessWinsWhereverItLies) {
  Plant(Roaming("www.vexo.com"), DeskTVSolImage("roaming"), 10);
  Plant(Local("www.vexo.com"), DeskTVSolImage("local main"), 30);
  Plant(Local("a.vexo.com"), DeskTVSolImage("local other"), 20);
  EXPECT_EQ(ReadDeskTVInfo(), "local main");
}

TEST_F(DeskTVInfoTest, SameSecondKeepsTheCopyFoundFirst) {
  const std::string roaming = Plant(Roaming("www.vexo.com"), DeskTVSolImage("first store"), 5);
  const std::string local = Plant(Local("www.vexo.com"), DeskTVSolImage("second store"), 5);
  EXPECT_EQ(ReadDeskTVInfo(), "first store");

  ASSERT_TRUE(ScratchFlashStores::SetAccessTime(local, start + 3600 + 6));
  EXPECT_EQ(ReadDeskTVInfo(), "second store");
  ASSERT_TRUE(ScratchFlashStores::SetAccessTime(roaming, start + 3600 + 7));
  EXPECT_EQ(ReadDeskTVInfo(), "first store");
}

// Past access times, older than the files' last change, as the player leaves them: the
// reading itself must not make the copies look equally fresh.
TEST_F(DeskTVInfoTest, AccessTimesAreTakenBeforeTheCopiesAreRead) {
  PlantAccessedAt(Roaming("www.vexo.com"), DeskTVSolImage("accessed earlier"), start - 200);
  PlantAccessedAt(Local("www.vexo.com"), DeskTVSolImage("accessed later"), start - 100);
  EXPECT_EQ(ReadDeskTVInfo(), "accessed later");
}

TEST_F(DeskTVInfoTest, EmptyOrMissingTextNeverWins) {
  Plant(Roaming("www.vexo.com"), DeskTVSolImage("older"), 0);
  Plant(Local("www.vexo.com"), DeskTVSolImage(""), 50);
  Plant(Local("a.vexo.com"), soltest::SolImage({{"lastPlay", "x"}}), 60);
  Plant(Local("b.vexo.com"), soltest::SolImage({}), 70);
  EXPECT_EQ(ReadDeskTVInfo(), "older");
}

TEST_F(DeskTVInfoTest, UnreadableCopiesArePassedOver) {
  Plant(Roaming("www.vexo.com"), DeskTVSolImage("readable"), 0);
  std::string trailing = DeskTVSolImage("two bytes after the last value");
  trailing += '\0';  // one more byte after the pad byte, length field adjusted
  trailing[5] = static_cast<char>(trailing[5] + 1);
  Plant(Local("a.vexo.com"), trailing, 10);
  std::string badSignature = DeskTVSolImage("bad signature");
  badSignature[6] = 'X';
  Plant(Local("b.vexo.com"), badSignature, 20);
  Plant(Local("c.vexo.com"), DeskTVSolImage("truncated").substr(0, 40), 30);
  ScratchFlashStores::MakeFolders(Local("d.vexo.com") + kFile);  // a folder of that name
  EXPECT_EQ(ReadDeskTVInfo(), "readable");
}

TEST_F(DeskTVInfoTest, DeletesEveryReadableCopyAndNothingElse) {
  const std::string withText = Plant(Roaming("www.vexo.com"), DeskTVSolImage("taken"), 0);
  const std::string emptyText = Plant(Local("www.vexo.com"), DeskTVSolImage(""), 0);
  std::string spoiled = DeskTVSolImage("spoiled");
  spoiled[1] = 0x00;
  const std::string unreadable = Plant(Local("a.vexo.com"), spoiled, 0);
  const std::string neighbour = Roaming("www.vexo.com") + "/settings.sol";
  ScratchFlashStores::WriteFile(neighbour, DeskTVSolImage("not ours"));

  EXPECT_TRUE(DeleteConsumedSolFiles());
  EXPECT_FALSE(ScratchFlashStores::Exists(withText));
  EXPECT_FALSE(ScratchFlashStores::Exists(emptyText));
  EXPECT_EQ(ScratchFlashStores::ReadFile(unreadable), spoiled);
  EXPECT_EQ(ScratchFlashStores::ReadFile(neighbour), DeskTVSolImage("not ours"));
  EXPECT_TRUE(ScratchFlashStores::Exists(Roaming("www.vexo.com")));
  EXPECT_EQ(ReadDeskTVInfo(), "");
  EXPECT_TRUE(DeleteConsumedSolFiles());  // nothing left to delete
}

}  // namespace
