// The walk of the two Flash stores on a real file system, with the stores' bases in a
// scratch folder.
#include "sharedobject/SharedObjectLocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/sharedobject/ScratchFlashStores.h"

namespace {

using soltest::ScratchFlashStores;

constexpr char kFile[] = "tavra_clientflash_common.sol";

std::vector<std::string> Candidates() {
  SOProcessor processor(kFile);
  processor.ScanFlashRoots();
  std::vector<std::string> candidates;
  for (int i = 0; i < processor.Count(); ++i) candidates.push_back(processor.Candidate(i));
  return candidates;
}

bool IsProfileName(const std::string& name) {
  return name.size() == 8 && std::all_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// The host folders of `profile` that the walk takes, in listing order.
std::vector<std::string> SiteHostsInListingOrder(const std::string& profile, const std::vector<std::string>& hosts) {
  std::vector<std::string> ordered;
  for (const std::string& name : ScratchFlashStores::ListingOrder(profile)) {
    if (std::find(hosts.begin(), hosts.end(), name) == hosts.end()) continue;
    ordered.push_back(profile + "/" + name + "/" + kFile);
  }
  return ordered;
}

class SharedObjectLocatorTest : public ::testing::Test {
protected:
  ScratchFlashStores stores;
};

TEST_F(SharedObjectLocatorTest, NoStoreRootGivesNothingAndCreatesNothing) {
  EXPECT_TRUE(Candidates().empty());
  EXPECT_TRUE(ScratchFlashStores::ListingOrder(stores.RoamingBase()).empty());
  EXPECT_TRUE(ScratchFlashStores::ListingOrder(stores.LocalBase()).empty());
}

TEST_F(SharedObjectLocatorTest, RootThatIsAFileGivesNothing) {
  ScratchFlashStores::MakeFolders(stores.RoamingRoot().substr(0, stores.RoamingRoot().rfind('/')));
  ScratchFlashStores::WriteFile(stores.RoamingRoot(), "not a folder");
  EXPECT_TRUE(Candidates().empty());
}

TEST_F(SharedObjectLocatorTest, EmptyRootGetsCapitalProfileAndMainHostFolder) {
  ScratchFlashStores::MakeFolders(stores.RoamingRoot());
  const std::vector<std::string> first = Candidates();

  const std::vector<std::string> created = ScratchFlashStores::ListingOrder(stores.RoamingRoot());
  ASSERT_EQ(created.size(), 1u);
  EXPECT_TRUE(IsProfileName(created[0])) << created[0];
  const std::string mainHost = stores.RoamingRoot() + "/" + created[0] + "/www.vexo.com";
  EXPECT_TRUE(std::filesystem::is_directory(mainHost));
  EXPECT_EQ(first, std::vector<std::string>{mainHost + "/" + kFile});
  EXPECT_TRUE(ScratchFlashStores::ListingOrder(mainHost).empty());  // the file itself is not made

  // A second walk finds what the first made.
  EXPECT_EQ(Candidates(), first);
  EXPECT_EQ(ScratchFlashStores::ListingOrder(stores.RoamingRoot()).size(), 1u);
}

TEST_F(SharedObjectLocatorTest, EightCharacterFileIsNoProfile) {
  ScratchFlashStores::MakeFolders(stores.RoamingRoot());
  ScratchFlashStores::WriteFile(stores.RoamingRoot() + "/FILE8CHR", "");
  const std::vector<std::string> candidates = Candidates();
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].find(stores.RoamingRoot() + "/FILE8CHR/"), std::string::npos);
  EXPECT_EQ(ScratchFlashStores::ListingOrder(stores.RoamingRoot()).size(), 2u);
}

TEST_F(SharedObjectLocatorTest, ProfileIsTheFirstEightCharacterFolder) {
  const std::string root = stores.LocalRoot();
  for (const char* other : {"ab", "SEVENCH", "NINECHARS", "a.vexo.com"}) {
    ScratchFlashStores::MakeFolders(root + "/" + other);
  }
  ScratchFlashStores::WriteFile(root + "/FILE8CHR", "");  // eight characters, but a file
  ScratchFlashStores::MakeFolders(root + "/k3Lm9pQz");
  ScratchFlashStores::MakeFolders(root + "/ZZZZZZZZ");
  std::string profile;
  for (const std::string& name : ScratchFlashStores::ListingOrder(root)) {
    if (name == "k3Lm9pQz" || name == "ZZZZZZZZ") {
      profile = name;
      break;
    }
  }

  EXPECT_EQ(Candidates(), std::vector<std::string>{root + "/" + profile + "/www.vexo.com/" + kFile});
  EXPECT_EQ(ScratchFlashStores::ListingOrder(root).size(), 7u);  // no profile created
  EXPECT_TRUE(ScratchFlashStores::ListingOrder(root + "/ab").empty());
}

TEST_F(SharedObjectLocatorTest, HostFoldersWithTheMainOneAreTakenInListingOrder) {
  const std::string profile = stores.RoamingRoot() + "/ABCDEFGH";
  const std::vector<std::string> hosts = {"a.vexo.com", "www.vexo.com", "pps.vexo.com"};
  for (const std::string& host : hosts) ScratchFlashStores::MakeFolders(profile + "/" + host);
  ScratchFlashStores::MakeFolders(profile + "/www.example.com");
  ScratchFlashStores::MakeFolders(profile + "/vexo.com");
  ScratchFlashStores::WriteFile(profile + "/file.vexo.com", "");

  const std::vector<std::string> candidates = Candidates();
  EXPECT_EQ(candidates, SiteHostsInListingOrder(profile, hosts));
  EXPECT_EQ(candidates.size(), 3u);  // the main host once: no second lookup
}

TEST_F(SharedObjectLocatorTest, MainHostIsCreatedAfterTheOtherHosts) {
  const std::string profile = stores.RoamingRoot() + "/ABCDEFGH";
  const std::vector<std::string> hosts = {"a.vexo.com", "WWW.vexo.com"};  // not the main host: bytes differ
  for (const std::string& host : hosts) ScratchFlashStores::MakeFolders(profile + "/" + host);

  std::vector<std::string> expected = SiteHostsInListingOrder(profile, hosts);
  expected.push_back(profile + "/www.vexo.com/" + kFile);
  EXPECT_EQ(Candidates(), expected);
  EXPECT_TRUE(std::filesystem::is_directory(profile + "/www.vexo.com"));
}

TEST_F(SharedObjectLocatorTest, MainHostThatIsAFileEndsOnlyThatStore) {
  const std::string roamingProfile = stores.RoamingRoot() + "/ABCDEFGH";
  ScratchFlashStores::MakeFolders(roamingProfile);
  ScratchFlashStores::WriteFile(roamingProfile + "/www.vexo.com", "");
  ScratchFlashStores::MakeFolders(stores.LocalRoot() + "/QRSTUVWX/www.vexo.com");

  EXPECT_EQ(Candidates(), std::vector<std::string>{stores.LocalRoot() + "/QRSTUVWX/www.vexo.com/" + kFile});
  EXPECT_EQ(ScratchFlashStores::ListingOrder(roamingProfile), std::vector<std::string>{"www.vexo.com"});
}

TEST_F(SharedObjectLocatorTest, OnlyTheFirstTenHostFoldersOfBothStoresAreKept) {
  const std::string roaming = stores.RoamingRoot() + "/ABCDEFGH";
  const std::string local = stores.LocalRoot() + "/QRSTUVWX";
  std::vector<std::string> roamingHosts, localHosts;
  for (int i = 0; i < 6; ++i) {
    roamingHosts.push_back("r" + std::to_string(i) + ".vexo.com");
    localHosts.push_back("l" + std::to_string(i) + ".vexo.com");
    ScratchFlashStores::MakeFolders(roaming + "/" + roamingHosts.back());
    ScratchFlashStores::MakeFolders(local + "/" + localHosts.back());
  }

  // Six hosts and the created main host of the first store, then the second store's first three.
  std::vector<std::string> expected = SiteHostsInListingOrder(roaming, roamingHosts);
  expected.push_back(roaming + "/www.vexo.com/" + kFile);
  const std::vector<std::string> second = SiteHostsInListingOrder(local, localHosts);
  expected.insert(expected.end(), second.begin(), second.begin() + 3);
  EXPECT_EQ(Candidates(), expected);
  // The walk went on past the full list: the second store got its main host folder too.
  EXPECT_TRUE(std::filesystem::is_directory(local + "/www.vexo.com"));
}

TEST_F(SharedObjectLocatorTest, HomeFoldersStandInForUnsetBaseFolders) {
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("XDG_DATA_HOME");
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", stores.Home().c_str(), 1);
  const std::string roaming = stores.Home() + "/.config/" + soltest::kRoamingStore + "/ABCDEFGH/www.vexo.com";
  const std::string local = stores.Home() + "/.local/share/" + soltest::kLocalStore + "/QRSTUVWX/www.vexo.com";
  ScratchFlashStores::MakeFolders(roaming);
  ScratchFlashStores::MakeFolders(local);

  const std::vector<std::string> candidates = Candidates();
  ::setenv("HOME", savedHome.c_str(), 1);
  EXPECT_EQ(candidates, (std::vector<std::string>{roaming + "/" + kFile, local + "/" + kFile}));
}

// Every folder reaches the hook, in walk order and with the separator at its end, even past
// the processor's ten slots.
class FolderRecorder : public SharedObjectFolderIO {
public:
  void OnSharedObjectFolder(std::string folder) override { folders.push_back(std::move(folder)); }
  std::vector<std::string> folders;
};

TEST_F(SharedObjectLocatorTest, WalkerHandsEveryHostFolderToItsHook) {
  const std::string profile = stores.RoamingRoot() + "/ABCDEFGH";
  std::vector<std::string> hosts;
  for (int i = 0; i < 11; ++i) {
    hosts.push_back("h" + std::to_string(i) + ".vexo.com");
    ScratchFlashStores::MakeFolders(profile + "/" + hosts.back());
  }
  FolderRecorder recorder;
  recorder.ScanFlashRoots();
  ASSERT_EQ(recorder.folders.size(), 12u);
  EXPECT_EQ(recorder.folders.back(), profile + "/www.vexo.com/");
  for (const std::string& folder : recorder.folders) EXPECT_EQ(folder.back(), '/');
}

}  // namespace
