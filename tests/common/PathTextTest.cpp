// Splitting and joining Windows paths.
#include "common/PathText.h"

#include <gtest/gtest.h>

namespace {

TEST(PathTextTest, SplitsAtTheLastBackslashOnly) {
  EXPECT_EQ(FolderOf(L"C:\\a.b\\c\\x.ico"), L"C:\\a.b\\c\\");
  EXPECT_EQ(ParentFolderOf(L"C:\\a.b\\c\\x.ico"), L"C:\\a.b\\c");
  EXPECT_EQ(FileNameOf(L"C:\\a.b\\c\\x.ico"), L"x.ico");
  EXPECT_EQ(FileNameOf(L"C:\\folder\\"), L"");
  EXPECT_EQ(FolderOf(L"C:\\folder\\"), L"C:\\folder\\");
  // Forward slashes are no separators here: a web address stays whole.
  EXPECT_EQ(FileNameOf(L"http://pic/a.jpg"), L"http://pic/a.jpg");
}

TEST(PathTextTest, NoBackslashMeansNoFolder) {
  EXPECT_EQ(FolderOf(L"x.ico"), L"");
  EXPECT_EQ(ParentFolderOf(L"x.ico"), L"");
  EXPECT_EQ(FileNameOf(L"x.ico"), L"x.ico");
  EXPECT_EQ(FolderOf(L""), L"");
  EXPECT_EQ(ParentFolderOf(L"\\x"), L"");
}

TEST(PathTextTest, JoinAddsOneBackslash) {
  EXPECT_EQ(JoinPath(L"C:\\a", L"b.lnk"), L"C:\\a\\b.lnk");
  EXPECT_EQ(JoinPath(L"C:\\a\\", L"b.lnk"), L"C:\\a\\b.lnk");
  EXPECT_EQ(JoinPath(L"", L"b.lnk"), L"b.lnk");
}

}  // namespace
