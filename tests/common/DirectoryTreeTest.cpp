#include "common/DirectoryTree.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/ProcessHarness.h"

namespace {

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class DirectoryTreeTest : public ::testing::Test {
protected:
  vxtest::ScratchFolder folder{L"dirtree"};
};

TEST_F(DirectoryTreeTest, CreatesMissingParents) {
  const std::wstring deep = folder.File(L"a\\b\\c\\d");
  EXPECT_TRUE(CreateDirectoryTree(deep));
  EXPECT_TRUE(IsFolder(deep));
}

TEST_F(DirectoryTreeTest, ExistingFolderAndTrailingSeparatorAreFine) {
  EXPECT_TRUE(CreateDirectoryTree(folder.Path()));
  EXPECT_TRUE(CreateDirectoryTree(folder.File(L"x\\y\\")));
  EXPECT_TRUE(IsFolder(folder.File(L"x\\y")));
  EXPECT_TRUE(CreateDirectoryTree(folder.File(L"x\\y")));
}

TEST_F(DirectoryTreeTest, ChineseFolderNames) {
  const std::wstring path = folder.File(L"\u89c6\u9891\\\u6536\u85cf");
  EXPECT_TRUE(CreateDirectoryTree(path));
  EXPECT_TRUE(IsFolder(path));
}

TEST_F(DirectoryTreeTest, FileInTheWayFails) {
  folder.Touch(L"blocker");
  EXPECT_FALSE(CreateDirectoryTree(folder.File(L"blocker")));
  EXPECT_FALSE(CreateDirectoryTree(folder.File(L"blocker\\child")));
}

TEST_F(DirectoryTreeTest, RefusesEmptyAndOverlongPaths) {
  EXPECT_FALSE(CreateDirectoryTree(L""));
  std::wstring overlong = folder.Path();
  while (overlong.size() <= 270) overlong += L"segment\\";
  EXPECT_FALSE(CreateDirectoryTree(overlong + L"end"));
}

TEST_F(DirectoryTreeTest, MissingDriveFails) {
  // Wine maps only C: and Z: in a fresh prefix.
  EXPECT_FALSE(CreateDirectoryTree(L"Q:\\vx\\nowhere"));
}

}  // namespace
