// The real program with a damaged shortcut store (garbage, cut short, a table without its
// columns) or one another process holds locked, and with a service that is down when a
// favourite is pinned. A damaged store is kept beside a new one rebuilt from the program's own
// shortcuts on the desktop, which are then followed again; a favourite pinned offline is
// completed by the scheduled checks once the service is back.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "app/ClientLocations.h"
#include "common/Registry.h"
#include "common/SqliteConnection.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"
#include "tests/push/FollowedAlbums.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/LinkReader.h"

namespace {

using namespace vxtest;

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
}

std::wstring FavoriteText(int albumId, const std::wstring& name) {
  const std::wstring origin = Utf8ToWide(EmulatorOrigin());
  return L"{\"AlbumID\":" + std::to_wstring(albumId) + L",\"AlbumName\":\"" + name + L"\",\"ChannelID\":2," +
         L"\"PicUrl\":\"" + origin + L"/pictures/album_123.jpg\",\"VideoUrl\":\"http://www.vexo.com/v_" +
         std::to_wstring(albumId) + L".html\"}";
}

class StoreRecoveryTest : public FollowedAlbumsTest {
protected:
  // The rows the program's store holds now, read by the test's own connection to it.
  std::vector<ShortcutRecord> StoredRows() {
    std::vector<ShortcutRecord> rows;
    CShortcutStore(StoreFile()).Load(rows);
    return rows;
  }
  bool HasRow(int albumId) {
    for (const ShortcutRecord& row : StoredRows()) {
      if (row.nAlbumID == albumId) return true;
    }
    return false;
  }
  // The damaged stores kept beside the store.
  std::vector<std::wstring> KeptStores() const {
    std::vector<std::wstring> kept;
    WIN32_FIND_DATAW found = {};
    const HANDLE search = ::FindFirstFileW((StoreFile() + L".damaged-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return kept;
    do {
      kept.push_back(data.Path() + L"VexoClient\\" + found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return kept;
  }
  void HandOver(int albumId, const std::wstring& name) {
    ChildProcess second = program.Start(L"DeskFavor;strjs=" + FavoriteText(albumId, name));
    ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs));
  }
  void ForgetEverything() {
    EndAllInstances();
    for (const DeskShortcut& shortcut : LoadDeskShortcuts()) ::DeleteFileW(shortcut.lnk.c_str());
    ::DeleteFileW(StoreFile().c_str());
    for (const std::wstring& kept : KeptStores()) ::DeleteFileW(kept.c_str());
  }
};

struct Damage {
  const char* name;
  const char* reason;  // as the trace record gives it
  void (*spoil)(const std::wstring& store);
};

const Damage kDamages[] = {
    {"garbage", "not a database", [](const std::wstring& store) { WriteBytes(store, std::string(20000, 'G')); }},
    {"cut short", "malformed",
     [](const std::wstring& store) {
       const std::string bytes = FileBytes(store);
       WriteBytes(store, bytes.substr(0, bytes.size() / 2));
     }},
    {"columns missing", "columns missing",
     [](const std::wstring& store) {
       ::DeleteFileW(store.c_str());
       CSqliteConnection connection(WideToUtf8(store));
       connection.Execute("create table shortcut( strAlbumName TEXT ,nAlbumID INTEGER ,primary key( strAlbumName) );"
                          "insert into shortcut values('ABC 都市情缘', 123);");
     }},
};

// The start's feed names albums 123 and 126: their shortcuts get badges only when the store
// lists them again.
TEST_F(StoreRecoveryTest, ADamagedStoreIsKeptAndTheNewOneRebuiltFromTheDesktop) {
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.name);
    const std::wstring series = Follow(123, L"ABC 都市情缘");
    const std::wstring show = Follow(126, L"快乐大本营");
    damage.spoil(StoreFile());
    const std::string damaged = FileBytes(StoreFile());
    StartAtLogOn();

    for (const auto& [lnk, id] : {std::pair{series, 123}, {show, 126}}) {
      const std::wstring badge = IconFolder() + L"updatealbum_" + std::to_wstring(id) + L".ico";
      EXPECT_TRUE(WaitUntil([&] { return IconOf(lnk) == badge; }, kProcessTimeoutMs))
          << "album " << id << " not followed again";
    }
    const std::vector<std::wstring> kept = KeptStores();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(FileBytes(kept[0]), damaged) << "the damaged store is kept as it was";
    const std::wstring trace = program.Trace(L"Tailcast", L"ShortcutStore : ").value_or(L"");
    EXPECT_EQ(trace.rfind(Utf8ToWide(damage.reason), 0), 0u) << WideToUtf8(trace);
    EXPECT_NE(trace.find(L"rebuilt with 2 shortcuts"), std::wstring::npos) << WideToUtf8(trace);

    HandOver(124, L"自然的力量");
    EXPECT_TRUE(WaitUntil([&] { return HasRow(124); }, kProcessTimeoutMs)) << "a new favourite is remembered again";
    EXPECT_TRUE(HasRow(123) && HasRow(126));
    ForgetEverything();
  }
}

// A backup or sync tool holds the store for a while: the favourite handed over meanwhile waits
// for it, and is stored once the lock is gone.
TEST_F(StoreRecoveryTest, AFavoriteWaitsForAStoreAnotherProgramHolds) {
  Follow(123, L"ABC 都市情缘");
  StartAtLogOn();
  ChildProcess second;
  {
    CSqliteConnection holder(WideToUtf8(StoreFile()));
    ASSERT_TRUE(holder.Execute("begin exclusive"));
    second = program.Start(L"DeskFavor;strjs=" + FavoriteText(124, L"自然的力量"));
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_EQ(holder.ExecuteScalar("select count(*) from shortcut where nAlbumID = 124"), 0);
    ASSERT_TRUE(holder.Execute("commit"));
  }
  EXPECT_TRUE(second.WaitForExit(kProcessTimeoutMs));
  EXPECT_TRUE(WaitUntil([&] { return HasRow(124); }, kProcessTimeoutMs));
  EXPECT_TRUE(KeptStores().empty()) << "a busy store is no damaged one";
}

// The scheduled checks a real minute after the start follow the shortcuts of a rebuilt store
// and complete what a down service left undone.
class StoreRecoveryScheduleProcessTest : public StoreRecoveryTest {
protected:
  static void Outage(const char* mode) {
    ASSERT_EQ(EmulatorRequest("POST", "/__emu/outage", std::string("{\"mode\":\"") + mode + "\"}").status, 200u);
  }
  static constexpr DWORD kFirstCheckMs = 60000 + kProcessTimeoutMs;
};

TEST_F(StoreRecoveryScheduleProcessTest, ARebuiltStoresWebShortcutMovesToTheEpisodeLastPlayed) {
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"1"));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Cookie", L"cookie-123"));
  const std::wstring series = Follow(123, L"ABC 都市情缘");
  kDamages[0].spoil(StoreFile());
  StartAtLogOn();
  EXPECT_TRUE(WaitUntil([&] { return TargetOf(series) == "http://www.vexo.com/v_played123.html?src=fromtailcast"; },
                        kFirstCheckMs))
      << "target now: " << TargetOf(series);
}

TEST_F(StoreRecoveryScheduleProcessTest, AFavoritePinnedWhileTheServiceIsDownIsCompletedByTheChecks) {
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue, L"machine-without-feed"));
  const std::wstring desktop = GetDesktopDirectory();
  const std::wstring pinned = desktop + L"\\ABC.lnk", renamed = desktop + L"\\ABC 更新至12集.lnk";
  const std::wstring albumIcon = IconFolder() + L"album_123.ico";
  StartAtLogOn();
  Outage("drop");
  HandOver(123, L"ABC");
  ASSERT_TRUE(WaitUntil([&] { return FileExists(pinned); }, kProcessTimeoutMs));
  ASSERT_TRUE(WaitUntil([&] { return !EmulatorJson("GET", "/__emu/requests?prefix=/pictures/album_123").empty(); },
                        kProcessTimeoutMs));
  ::Sleep(1000);  // the icon task gives up on the picture
  EXPECT_EQ(IconOf(pinned), program.Folder() + L"tcskin\\favorite.ico");
  Outage("off");

  ASSERT_TRUE(WaitUntil([&] { return FileExists(renamed) && IconOf(renamed) == albumIcon &&
                                     TargetOf(renamed) == "http://www.vexo.com/a_123.html?src=fromtailcast"; },
                        kFirstCheckMs))
      << "icon " << WideToUtf8(IconOf(renamed)) << ", target " << TargetOf(renamed);
  EXPECT_FALSE(FileExists(pinned));
  // The program notes the catalogue's answer just after it has pointed the shortcut.
  EXPECT_TRUE(WaitUntil([] {
    const std::vector<FollowUp> followUps = LoadFollowUps();
    return followUps.size() == 1 && followUps[0].playPageKnown;
  }, kProcessTimeoutMs));

  // A complete shortcut costs no request at the next check; a deleted icon is composed again.
  EndAllInstances();
  ASSERT_TRUE(::DeleteFileW(albumIcon.c_str()));
  EmulatorRequest("DELETE", "/__emu/requests");
  StartAtLogOn();
  EXPECT_TRUE(WaitUntil([&] { return FileExists(albumIcon); }, kFirstCheckMs)) << "the icon is not back";
  ::Sleep(2000);
  const Json::Value asked = EmulatorJson("GET", "/__emu/requests?prefix=/r/dorsa/album/");
  EXPECT_EQ(asked.size(), 0u) << "the catalogue was asked again: " << Json::FastWriter().write(asked);
  EXPECT_EQ(IconOf(renamed), albumIcon);
}

}  // namespace
