// Pointing web shortcuts at new addresses: real .lnk files, a real store.
#include "follow/DesktopUrlUpdater.h"

#include <atomic>
#include <set>
#include <thread>

#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HostPaths.h"
#include "favorites/ShortcutStore.h"
#include "tests/follow/FollowFixture.h"

namespace {

using namespace vxtest;

// The writers' temporary files; a process ended while writing (elsewhere in the run) may have left some.
std::set<std::wstring> TemporaryFilesOnDesktop() {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW found = {};
  ScopedFindHandle search(::FindFirstFileW((Desktop() + L"\\~vx*.tmp").c_str(), &found));
  for (bool more = search.IsValid(); more; more = ::FindNextFileW(search.Get(), &found) != FALSE) {
    names.insert(found.cFileName);
  }
  return names;
}

PlayRecord Record(const std::wstring& albumId, const std::wstring& url) { return PlayRecord{albumId, L"", url}; }

class DesktopUrlUpdaterTest : public FollowTest {
protected:
  std::shared_ptr<CDesktopUrlUpdater> updater = std::make_shared<CDesktopUrlUpdater>(2);
};

TEST_F(DesktopUrlUpdaterTest, FirstAddressIsUsedWhenTheAlbumHasNoPlayRecord) {
  const std::wstring lnk = AddFavorite(WebFavorite(L"Album", 12, L"http://www.vexo.com/v_12.html"));
  updater->DoUpdateVideoUrl(12, "http://www.vexo.com/a_12.html?y=1");
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/a_12.html?y=1&src=fromtailcast");
  EXPECT_EQ(LinkAt(lnk).arguments, L"&src=fromtailcast");
  EXPECT_EQ(LinkAt(lnk).description, L"Album");
  const auto rows = StoredShortcuts();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].strVideoURL, "http://www.vexo.com/a_12.html?y=1");  // kept without the tag
  EXPECT_EQ(ReadTrace(kTraceFile, L"tailcast", L"update first url"), L"http://www.vexo.com/a_12.html?y=1");
  EXPECT_EQ(ReadTrace(kTraceFile, L"tailcast", L"doupdatevideourl,AlbumID is "), L"12");

  updater->DoUpdateVideoUrl(12, "http://www.vexo.com/play");
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/play?src=fromtailcast");
}

TEST_F(DesktopUrlUpdaterTest, NothingToDoLeavesTheShortcutAlone) {
  const std::wstring lnk = AddFavorite(WebFavorite(L"Still", 13, L"http://www.vexo.com/v_13.html"));
  const std::string before = LinkAt(lnk).targetItemName;
  updater->DoUpdateVideoUrl(13, "");   // no record, no first address
  updater->DoUpdateVideoUrl(0, "http://x/");  // no album
  updater->DoUpdateVideoUrl(99, "http://x/");  // no shortcut of that album
  EXPECT_EQ(LinkAt(lnk).targetItemName, before);
  EXPECT_EQ(StoredShortcuts()[0].strVideoURL, "http://www.vexo.com/v_13.html");
}

TEST_F(DesktopUrlUpdaterTest, PlayRecordMovesTheShortcutToTheEpisodeLastPlayed) {
  const std::wstring lnk = AddFavorite(WebFavorite(L"Played", 14, L"http://www.vexo.com/v_14.html"));
  const std::wstring other = AddFavorite(WebFavorite(L"Other", 15, L"http://www.vexo.com/v_15.html"));
  updater->OnPlayRecords({Record(L"14", L"http://www.vexo.com/v_14_ep3.html"), Record(L"77", L"http://z/")});
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/v_14_ep3.html?src=fromtailcast");
  EXPECT_EQ(LinkAt(other).targetItemName, "http://www.vexo.com/v_15.html?src=fromtailcast");
  EXPECT_EQ(updater->GetCurrentRecordUrl(14), L"http://www.vexo.com/v_14_ep3.html");
  EXPECT_EQ(updater->GetCurrentRecordUrl(15), L"");
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast", L"GetPlayRecord UpdateRecordUrl is "),
            L"http://www.vexo.com/v_14_ep3.html");
  for (const ShortcutRecord& row : StoredShortcuts()) {
    if (row.nAlbumID == 14) {
      EXPECT_EQ(row.strVideoURL, "http://www.vexo.com/v_14_ep3.html");
    }
  }
  // The play record wins over the catalogue's address.
  updater->DoUpdateVideoUrl(14, "http://www.vexo.com/a_14.html");
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/v_14_ep3.html?src=fromtailcast");
}

// " 12" reads as 12 for the comparison but is not the exact text the lookup wants.
TEST_F(DesktopUrlUpdaterTest, PaddedRecordIdMatchesLooselyButChangesNothing) {
  const std::wstring lnk = AddFavorite(WebFavorite(L"Padded", 12, L"http://www.vexo.com/v_12.html"));
  updater->OnPlayRecords({Record(L" 12", L"http://www.vexo.com/v_12_ep9.html")});
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast", L"GetPlayRecord UpdateRecordUrl is "),
            L"http://www.vexo.com/v_12_ep9.html");
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/v_12.html?src=fromtailcast");
  EXPECT_EQ(StoredShortcuts()[0].strVideoURL, "http://www.vexo.com/v_12.html");
}

TEST_F(DesktopUrlUpdaterTest, ClientShortcutsAreNeverRewritten) {
  vxtest::ScratchFolder client(L"client-install");
  client.Touch(L"VexoClient.exe");
  const HostPaths before = GetHostPaths();
  HostPaths withClient = before;
  withClient.clientExePath = client.File(L"VexoClient.exe");
  SetHostPaths(withClient);
  DeskFavorRequest request = WebFavorite(L"Client", 16, L"http://www.vexo.com/v_16.html");
  request.InfoType = 1;
  const std::wstring lnk = AddFavorite(request);
  SetHostPaths(before);
  const LinkInfo written = LinkAt(lnk);
  ASSERT_EQ(written.path, client.File(L"VexoClient.exe"));
  updater->OnPlayRecords({Record(L"16", L"http://www.vexo.com/v_16_ep2.html")});
  updater->DoUpdateVideoUrl(16, "http://www.vexo.com/a_16.html");
  EXPECT_EQ(LinkAt(lnk).path, written.path);
  EXPECT_EQ(LinkAt(lnk).arguments, written.arguments);
}

TEST_F(DesktopUrlUpdaterTest, OnlyTheFirstWebRowOfAnAlbumIsRewritten) {
  const std::wstring first = AddFavorite(WebFavorite(L"First", 18, L"http://www.vexo.com/v_18.html"));
  const std::wstring second = CreateDesktopShotCut(L"Second", L"&src=fromtailcast", L"C:\\i.ico",
                                                   L"http://www.vexo.com/v_18b.html", L"");
  ASSERT_FALSE(second.empty());
  NewShortcut row;
  row.lnk = second;
  row.iconName = L"C:\\i.ico";
  row.albumName = L"Second";
  row.startupParams = L"&src=fromtailcast";
  row.videoUrl = L"http://www.vexo.com/v_18b.html";
  row.albumId = 18;
  row.channelId = 2;
  AddShortcut(row);
  ASSERT_EQ(StoredShortcuts().size(), 2u);
  updater->DoUpdateVideoUrl(18, "http://www.vexo.com/a_18.html");
  EXPECT_EQ(LinkAt(first).targetItemName, "http://www.vexo.com/a_18.html?src=fromtailcast");
  EXPECT_EQ(LinkAt(second).targetItemName, "http://www.vexo.com/v_18b.html?src=fromtailcast");
}

// A rewrite that cannot be saved keeps the shortcut that was there, and the store with it.
TEST_F(DesktopUrlUpdaterTest, FailedSaveKeepsTheOldShortcutAndItsAddress) {
  const std::wstring lnk = AddFavorite(WebFavorite(L"Locked", 17, L"http://www.vexo.com/v_17.html"));
  const std::set<std::wstring> temporaryBefore = TemporaryFilesOnDesktop();
  {
    // Open without sharing deletion: the new file cannot be moved over it.
    ScopedKernelHandle held(
        ::CreateFileW(lnk.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    updater->DoUpdateVideoUrl(17, "http://www.vexo.com/a_17.html");
  }
  ASSERT_TRUE(FileExists(lnk));
  EXPECT_EQ(TemporaryFilesOnDesktop(), temporaryBefore);  // the failed write leaves nothing behind
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/v_17.html?src=fromtailcast");
  EXPECT_EQ(StoredShortcuts()[0].strVideoURL, "http://www.vexo.com/v_17.html");
  updater->DoUpdateVideoUrl(17, "http://www.vexo.com/a_17.html");  // and works once it can
  EXPECT_EQ(LinkAt(lnk).targetItemName, "http://www.vexo.com/a_17.html?src=fromtailcast");
}

// Answers replace the list on a library thread while others read it.
TEST_F(DesktopUrlUpdaterTest, RecordsCanBeReplacedWhileTheyAreRead) {
  std::vector<PlayRecord> many;
  for (int i = 0; i < 200; ++i) many.push_back(Record(std::to_wstring(i), L"http://www.vexo.com/v_" + std::to_wstring(i)));
  std::atomic<bool> done{false};
  std::thread reader([&] {
    while (!done) {
      const std::wstring url = updater->GetCurrentRecordUrl(150);
      if (!url.empty()) {
        EXPECT_EQ(url, L"http://www.vexo.com/v_150");
      }
    }
  });
  for (int round = 0; round < 200; ++round) updater->OnPlayRecords(round % 2 ? many : std::vector<PlayRecord>{});
  done = true;
  reader.join();
}

TEST_F(DesktopUrlUpdaterTest, ArgumentHandedToTheUpdaterIsReleased) {
  EXPECT_EQ(updater->OnResCallback(0, new CResourceArg(1)), 0);
  EXPECT_EQ(updater->OnResCallback(1, nullptr), 0);
}

}  // namespace
