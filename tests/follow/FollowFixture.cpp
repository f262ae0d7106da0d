#include "tests/follow/FollowFixture.h"

#include <memory>

#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"
#include "tests/support/HostPathsForTests.h"

namespace vxtest {

namespace {

// The client's data folder in a scratch folder, for the whole process.
class ClientDataFolder : public ::testing::Environment {
public:
  void SetUp() override {
    folder = std::make_unique<ScratchFolder>(L"follow-data");
    UseHostPaths(folder->Path());
  }
  void TearDown() override {
    SetHostPaths(HostPaths());
    folder.reset();
  }
  std::unique_ptr<ScratchFolder> folder;
};
::testing::Environment* const g_dataFolder = ::testing::AddGlobalTestEnvironment(new ClientDataFolder);

}  // namespace

DeskFavorRequest WebFavorite(const std::wstring& name, int albumId, const std::wstring& videoUrl) {
  DeskFavorRequest request;
  request.AlbumName = name;
  request.AlbumID = albumId;
  request.ChannelID = 2;
  request.VideoUrl = videoUrl;
  request.PicUrl = L"http://pic.vexo.com/a.jpg";
  return request;
}

std::vector<ShortcutRecord> StoredShortcuts() {
  std::vector<ShortcutRecord> rows;
  LoadShortcuts(rows);
  return rows;
}

std::wstring Desktop() { return GetDesktopDirectory(); }

std::wstring CleanName(std::wstring name) {
  SanitizeFileName(name, L' ');
  return name;
}

LinkInfo LinkAt(const std::wstring& path) {
  LinkInfo info;
  if (!FileExists(path) || !ReadLink(path, info)) return LinkInfo();
  return info;
}

void FollowTest::SetUp() {
  ASSERT_FALSE(Desktop().empty());
  ::DeleteFileW(kTraceFile);
  for (const ShortcutRecord& row : StoredShortcuts()) ::DeleteFileW(AnsiToWide(row.strLNK).c_str());
  ::DeleteFileW(ShortcutStorePath().c_str());
}

void FollowTest::TearDown() {
  for (const ShortcutRecord& row : StoredShortcuts()) ::DeleteFileW(AnsiToWide(row.strLNK).c_str());
}

std::wstring FollowTest::AddFavorite(const DeskFavorRequest& request) {
  EXPECT_GT(CreateDeskFavor(&request), 0);
  return Desktop() + L"\\" + CleanName(request.AlbumName) + L".lnk";
}

}  // namespace vxtest
