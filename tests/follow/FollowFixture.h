// Shared set-up of the follow-update tests: the client's data folder in a scratch folder
// (so the store is the tests' own), favourites written through the real writer, and the
// shortcuts read back through the shell.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "favorites/DeskFavorInfo.h"
#include "favorites/ShortcutRecord.h"
#include "tests/support/LinkReader.h"
#include "tests/support/ProcessHarness.h"

namespace vxtest {

DeskFavorRequest WebFavorite(const std::wstring& name, int albumId, const std::wstring& videoUrl);

std::vector<ShortcutRecord> StoredShortcuts();
std::wstring Desktop();
// The album name as the writer cleans it into a file name (and the store's key).
std::wstring CleanName(std::wstring name);
// The link read back; an empty record when the file is missing.
LinkInfo LinkAt(const std::wstring& path);

class FollowTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the favourite's shortcut and store row; its .lnk path (under the clean name).
  std::wstring AddFavorite(const DeskFavorRequest& request);
};

}  // namespace vxtest
