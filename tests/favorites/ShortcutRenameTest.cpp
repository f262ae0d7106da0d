// A shortcut that takes a new name is saved over its old file, the store learns the new name,
// and only then does it move: at no moment are there two files of it, or a name the store
// gives that is not on the disk.
#include "favorites/ShortcutLink.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ComScope.h"
#include "common/ScopedWin.h"
#include "tests/support/ProcessHarness.h"

namespace {

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found = {};
  ScopedFindHandle search(::FindFirstFileW((folder + L"*").c_str(), &found));
  if (!search) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (::FindNextFileW(search.Get(), &found));
  return names;
}

std::wstring IconOf(const std::wstring& lnk) {
  LinkFacts facts;
  return ReadShortcutLink(lnk, facts) ? facts.iconLocation : L"(unreadable)";
}

const ShortcutLinkFields kFirst{L"http://www.vexo.com/v_7.html", L"", L"", L"C:\\skin\\favorite.ico", L"Seven"};
const ShortcutLinkFields kRenamed{L"http://www.vexo.com/v_7.html", L"", L"", L"C:\\Icon\\album_7.ico", L"Seven"};

class ShortcutRenameTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(WriteShortcutLink(kFirst, first)); }

  vxtest::ScratchFolder folder{L"rename"};
  ComScope com;
  const std::wstring first = folder.File(L"Seven.lnk");
  const std::wstring renamed = folder.File(L"Seven 12.lnk");
};

TEST_F(ShortcutRenameTest, TheStoreIsToldWhileTheOldFileHoldsTheNewContentsThenTheShortcutMoves) {
  std::vector<std::wstring> filesMeanwhile;
  std::wstring iconMeanwhile;
  ShortcutWrite how;
  how.replaces = first;
  how.afterSave = [&] {
    filesMeanwhile = FilesIn(folder.Path());
    iconMeanwhile = IconOf(first);
    return true;
  };

  EXPECT_TRUE(WriteShortcutLink(kRenamed, renamed, how));
  EXPECT_EQ(filesMeanwhile, std::vector<std::wstring>{L"Seven.lnk"});  // no second file, no temporary
  EXPECT_EQ(iconMeanwhile, kRenamed.iconPath);
  EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::wstring>{L"Seven 12.lnk"});
  EXPECT_EQ(IconOf(renamed), kRenamed.iconPath);
}

TEST_F(ShortcutRenameTest, AStoreThatDoesNotTakeTheNewNameKeepsTheShortcutUnderItsOld) {
  ShortcutWrite how;
  how.replaces = first;
  how.afterSave = [] { return false; };

  EXPECT_FALSE(WriteShortcutLink(kRenamed, renamed, how));
  EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::wstring>{L"Seven.lnk"});
  EXPECT_EQ(IconOf(first), kRenamed.iconPath);
}

}  // namespace
