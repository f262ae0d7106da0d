// The favourite that the site's web player leaves in its shared object, taken by the real
// program at start-up: .sol files planted in the prefix's two Flash stores, the desktop
// shortcut and the store row read back. Runs under the Chinese code page, in which the store
// keeps album names.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <optional>
#include <set>
#include <string>

#include "app/ClientLocations.h"
#include "common/DirectoryTree.h"
#include "common/Registry.h"
#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"
#include "tests/app/ProgramUnderTest.h"
#include "tests/sharedobject/DeskTVSolImage.h"
#include "tests/support/LinkReader.h"

namespace {

using namespace vxtest;
using soltest::DeskTVSolImage;

constexpr char kRoamingStore[] = "\\Macromedia\\Flash Player\\#SharedObjects";
constexpr char kLocalStore[] =
    "\\Google\\Chrome\\User Data\\Default\\Pepper Data\\Shockwave Flash\\WritableRoot\\#SharedObjects";
constexpr char kSolFile[] = "\\tavra_clientflash_common.sol";

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  return SUCCEEDED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry = {};
  {
    ScopedHandle<FindHandleTraits> find(::FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!find) return;
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + "\\" + name);
      } else {
        ::DeleteFileA((folder + "\\" + name).c_str());
      }
    } while (::FindNextFileA(find.Get(), &entry));
  }
  ::RemoveDirectoryA(folder.c_str());
}

// Removes a store root and then its parents up to `base`, as far as they are empty.
void RemoveStore(const std::string& base, const std::string& relative) {
  std::string folder = base + relative;
  RemoveTree(folder);
  while (folder.size() > base.size() && ::RemoveDirectoryA(folder.c_str())) folder.erase(folder.rfind('\\'));
}

// A last-access time in the past, as the player leaves its files: older than their last
// change, so that a read of the file on a "relatime" file system would move it to now.
FILETIME SecondsAgo(int seconds) {
  FILETIME now = {};
  ::GetSystemTimeAsFileTime(&now);
  constexpr ULONGLONG kSecond = 10000000;  // in 100-nanosecond units
  ULONGLONG value = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  value = value / kSecond * kSecond - static_cast<ULONGLONG>(seconds) * kSecond;
  return {static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

bool WriteBytes(const std::string& path, const std::string& bytes, const FILETIME* accessed) {
  ScopedHandle<KernelHandleTraits> file(
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return false;
  return written == bytes.size() && (!accessed || ::SetFileTime(file.Get(), nullptr, accessed, nullptr));
}

std::optional<std::string> ReadBytes(const std::string& path) {
  ScopedHandle<KernelHandleTraits> file(
      ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  std::string bytes(static_cast<size_t>(::GetFileSize(file.Get(), nullptr)), '\0');
  DWORD read = 0;
  if (!bytes.empty() && !::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return std::nullopt;
  }
  return bytes;
}

std::set<std::wstring> DesktopLinks(const std::wstring& desktop) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW entry = {};
  ScopedHandle<FindHandleTraits> find(::FindFirstFileW((desktop + L"\\*.lnk").c_str(), &entry));
  if (!find) return names;
  do {
    names.insert(entry.cFileName);
  } while (::FindNextFileW(find.Get(), &entry));
  return names;
}

std::string Favorite(int albumId, const std::string& nameUtf8) {
  return "{\"AlbumID\":" + std::to_string(albumId) + ",\"AlbumName\":\"" + nameUtf8 +
         "\",\"ChannelID\":1,\"VideoUrl\":\"http://www.vexo.com/v_" + std::to_string(albumId) + ".html\",\"Type\":1}";
}

class FlashFavoriteTest : public ::testing::Test {
protected:
  void SetUp() override {
    roaming = SpecialFolder(CSIDL_APPDATA);
    local = SpecialFolder(CSIDL_LOCAL_APPDATA);
    ASSERT_FALSE(roaming.empty());
    ASSERT_FALSE(local.empty());
    RemoveStores();
    ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue, data.Path()));
    desktop = GetDesktopDirectory();
    ASSERT_FALSE(desktop.empty());
    linksBefore = DesktopLinks(desktop);
  }
  void TearDown() override {
    EndAllInstances();
    DeleteStoredLinks(Store());
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue);
    RemoveStores();  // every start of the program walks them
  }

  void RemoveStores() const {
    RemoveStore(roaming, kRoamingStore);
    RemoveStore(local, kLocalStore);
  }
  std::string RoamingHost(const std::string& host) const { return roaming + kRoamingStore + "\\ABCDEFGH\\" + host; }
  std::string LocalHost(const std::string& host) const { return local + kLocalStore + "\\QRSTUVWX\\" + host; }

  // Plants a copy of the shared object in a host folder, last accessed `secondsAgo` before now.
  std::string Plant(const std::string& hostFolder, const std::string& bytes, int secondsAgo = 60) const {
    EXPECT_TRUE(CreateDirectoryTree(AnsiToWide(hostFolder)));
    const std::string path = hostFolder + kSolFile;
    const FILETIME accessed = SecondsAgo(secondsAgo);
    EXPECT_TRUE(WriteBytes(path, bytes, &accessed));
    return path;
  }

  // Starts the program and waits until its start-up work is over.
  void StartProgram() {
    running = program.Start(L"update");
    ASSERT_NE(program.WaitForControlWindow(running.Id()), nullptr);
  }

  std::wstring Lnk(const std::wstring& name) const { return desktop + L"\\" + name + L".lnk"; }
  std::set<std::wstring> NewLinks() const {
    std::set<std::wstring> added;
    for (const std::wstring& name : DesktopLinks(desktop)) {
      if (!linksBefore.count(name)) added.insert(name);
    }
    return added;
  }
  CShortcutStore Store() const { return CShortcutStore(data.Path() + L"VexoClient\\vexo_shortCut.dll"); }
  std::optional<ShortcutRecord> StoredRow(int albumId) const {
    std::vector<ShortcutRecord> rows;
    Store().Load(rows);
    for (const ShortcutRecord& row : rows) {
      if (row.nAlbumID == albumId) return row;
    }
    return std::nullopt;
  }
  // A new favourite's icon worker may be rewriting the trace file just as it is read, so a
  // record that is missing is looked for again for a moment.
  std::optional<std::wstring> Trace(const wchar_t* key) const {
    std::optional<std::wstring> value;
    WaitUntil([&] { return (value = program.Trace(L"tailcast", key)).has_value(); }, 1000);
    return value;
  }

  ScratchFolder data{L"flash-data"};
  ProgramUnderTest program{L"flash"};
  ChildProcess running;
  std::string roaming, local;
  std::wstring desktop;
  std::set<std::wstring> linksBefore;
};

TEST_F(FlashFavoriteTest, FavoriteBecomesWebShortcutAndItsFilesAreConsumed) {
  const std::string text = Favorite(8101, u8"闪存收藏");
  const std::string taken = Plant(RoamingHost("www.vexo.com"), DeskTVSolImage(text));
  const std::string neighbour = RoamingHost("www.vexo.com") + "\\settings.sol";
  ASSERT_TRUE(WriteBytes(neighbour, DeskTVSolImage("not ours"), nullptr));
  std::string spoiled = DeskTVSolImage(Favorite(8102, "Spoiled"));
  spoiled[6] = 'X';  // no signature
  const std::string unreadable = Plant(LocalHost("www.vexo.com"), spoiled, 1);

  StartProgram();

  const std::wstring lnk = Lnk(L"闪存收藏");
  EXPECT_EQ(NewLinks(), std::set<std::wstring>{L"闪存收藏.lnk"});
  LinkInfo info;
  EXPECT_TRUE(WaitUntil([&] { return ReadLink(lnk, info); }, kProcessTimeoutMs));
  EXPECT_EQ(info.targetItemName, "http://www.vexo.com/v_8101.html?src=fromtailcast");  // web, whatever "Type" said
  const auto row = StoredRow(8101);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(AnsiToWide(row->strLNK), lnk);
  EXPECT_EQ(row->iInfoType, 0);

  EXPECT_EQ(Trace(L"FlashCookieInfo is : "), Utf8ToWide(text));
  EXPECT_EQ(Trace(L"FlashInfo MovieName is : "), L"闪存收藏");
  EXPECT_EQ(Trace(L"FlashCookie CreateDeskFavor : "), L"true");
  EXPECT_FALSE(Trace(L"GetInfoFromFlashPtr: ").has_value());

  EXPECT_FALSE(Exists(taken));
  EXPECT_EQ(ReadBytes(neighbour), DeskTVSolImage("not ours"));
  EXPECT_EQ(ReadBytes(unreadable), spoiled);
}

TEST_F(FlashFavoriteTest, LatestAccessedCopyWinsAndAllAreConsumed) {
  const std::string older = Plant(RoamingHost("www.vexo.com"), DeskTVSolImage(Favorite(8111, "Older 8111")), 201);
  const std::string newer = Plant(LocalHost("a.vexo.com"), DeskTVSolImage(Favorite(8112, "Newer 8112")), 200);
  const std::string blank = Plant(LocalHost("www.vexo.com"), DeskTVSolImage(""), 10);  // empty never wins

  StartProgram();

  EXPECT_EQ(NewLinks(), std::set<std::wstring>{L"Newer 8112.lnk"});
  EXPECT_TRUE(StoredRow(8112).has_value());
  EXPECT_FALSE(StoredRow(8111).has_value());
  EXPECT_FALSE(Exists(older));
  EXPECT_FALSE(Exists(newer));
  EXPECT_FALSE(Exists(blank));
}

TEST_F(FlashFavoriteTest, CopiesOfTheSameSecondGoToTheFirstStore) {
  Plant(RoamingHost("www.vexo.com"), DeskTVSolImage(Favorite(8111, "First 8111")), 100);
  Plant(LocalHost("www.vexo.com"), DeskTVSolImage(Favorite(8112, "Second 8112")), 100);

  StartProgram();

  EXPECT_EQ(NewLinks(), std::set<std::wstring>{L"First 8111.lnk"});
  EXPECT_EQ(Trace(L"FlashInfo MovieName is : "), L"First 8111");
}

TEST_F(FlashFavoriteTest, AlbumWhoseShortcutIsOnTheDesktopIsConsumedWithoutANewOne) {
  ShortcutRecord kept;
  kept.nAlbumID = 8121;
  kept.strAlbumName = "Kept 8121";
  kept.strLNK = WideToAnsi(Lnk(L"Kept 8121"));
  Store().Add(kept);
  ASSERT_TRUE(WriteBytes(kept.strLNK, "", nullptr));
  linksBefore = DesktopLinks(desktop);
  const std::string taken = Plant(RoamingHost("www.vexo.com"), DeskTVSolImage(Favorite(8121, "Renamed 8121")));

  StartProgram();

  EXPECT_TRUE(NewLinks().empty());
  EXPECT_TRUE(Exists(kept.strLNK));
  EXPECT_EQ(Trace(L"FlashInfo MovieName is : "), L"Renamed 8121");
  EXPECT_FALSE(Trace(L"FlashCookie CreateDeskFavor : ").has_value());
  EXPECT_FALSE(program.Trace(L"Tailcast:", L"CreateDeskFavor is False: ").has_value());  // not even asked
  EXPECT_FALSE(Exists(taken));
}

TEST_F(FlashFavoriteTest, AlbumWhoseShortcutWasDeletedGetsItAgain) {
  ShortcutRecord gone;
  gone.nAlbumID = 8122;
  gone.strAlbumName = "Gone 8122";
  gone.strLNK = WideToAnsi(Lnk(L"Gone 8122"));
  Store().Add(gone);
  Plant(RoamingHost("www.vexo.com"), DeskTVSolImage(Favorite(8122, "Again 8122")));

  StartProgram();

  EXPECT_EQ(NewLinks(), std::set<std::wstring>{L"Again 8122.lnk"});
  EXPECT_EQ(Trace(L"FlashCookie CreateDeskFavor : "), L"true");
}

TEST_F(FlashFavoriteTest, UnparsableTextIsConsumedAndCreatesNothing) {
  const std::string taken = Plant(LocalHost("www.vexo.com"), DeskTVSolImage("{\"AlbumID\":8131,"));

  StartProgram();

  EXPECT_EQ(Trace(L"FlashCookieInfo is : "), L"{\"AlbumID\":8131,");
  EXPECT_EQ(program.Trace(L"tailcast", L"ParserDeskFavorInfo : "), L"Parser false");
  EXPECT_EQ(Trace(L"FlashInfo MovieName is : "), L"");
  EXPECT_FALSE(Trace(L"FlashCookie CreateDeskFavor : ").has_value());
  EXPECT_FALSE(Trace(L"GetInfoFromFlashPtr: ").has_value());
  EXPECT_TRUE(NewLinks().empty());
  EXPECT_FALSE(Exists(taken));
}

TEST_F(FlashFavoriteTest, WithoutStoresNothingChanges) {
  StartProgram();

  EXPECT_EQ(Trace(L"GetAndParseFlashCookieInfo : "), L"JsonData is null");
  EXPECT_EQ(Trace(L"GetInfoFromFlashPtr: "), L"false");
  EXPECT_FALSE(Trace(L"FlashInfo MovieName is : ").has_value());
  EXPECT_FALSE(Exists(roaming + kRoamingStore));
  EXPECT_FALSE(Exists(local + kLocalStore));
  EXPECT_TRUE(NewLinks().empty());
}

TEST_F(FlashFavoriteTest, EmptyStoreGetsProfileAndMainHostFolderOnly) {
  const std::string root = roaming + kRoamingStore;
  ASSERT_TRUE(CreateDirectoryTree(AnsiToWide(root)));

  StartProgram();

  std::vector<std::string> created;
  WIN32_FIND_DATAA entry = {};
  {
    ScopedHandle<FindHandleTraits> find(::FindFirstFileA((root + "\\*").c_str(), &entry));
    ASSERT_TRUE(find.IsValid());
    do {
      if (entry.cFileName[0] != '.') created.push_back(entry.cFileName);
    } while (::FindNextFileA(find.Get(), &entry));
  }
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].size(), 8u);
  EXPECT_EQ(created[0].find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << created[0];
  EXPECT_TRUE(Exists(root + "\\" + created[0] + "\\www.vexo.com"));
  EXPECT_EQ(Trace(L"GetInfoFromFlashPtr: "), L"false");
  EXPECT_TRUE(NewLinks().empty());
}

}  // namespace
