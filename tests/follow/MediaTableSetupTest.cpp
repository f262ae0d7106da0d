#include "follow/MediaTableSetup.h"

#include <gtest/gtest.h>

#include "common/SqliteConnection.h"
#include "common/TextConvert.h"
#include "tests/support/ProcessHarness.h"

namespace {

TEST(MediaTableSetupTest, MakesTheCacheFolderAndTheTableBelowAChineseFolder) {
  const vxtest::ScratchFolder folder{L"media-table"};
  const std::wstring clientFolder = folder.File(L"\x89c6\x9891\\VexoClient");  // 视频
  CreateMediaTableInClientFolder(clientFolder);
  const std::wstring database = clientFolder + L"\\cache\\media.db";
  ASSERT_TRUE(vxtest::FileExists(database));
  CSqliteConnection connection(WideToUtf8(database));
  EXPECT_TRUE(connection.TableExists("MediaPic"));

  CreateMediaTableInClientFolder(L"");  // nothing to do, nothing to fail
}

}  // namespace
