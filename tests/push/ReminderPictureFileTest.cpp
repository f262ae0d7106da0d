// Reminder pictures stored as real files below a scratch client data folder.
#include "push/ReminderPictureFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "common/TextConvert.h"
#include "follow/PictureCache.h"
#include "tests/support/ProcessHarness.h"

namespace {

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The number N of "...\updateImage_N.<extension>"; -1 for any other path.
int PictureNumber(const std::wstring& path, const std::wstring& extension) {
  std::wsmatch match;
  const std::wregex pattern(L".*\\\\updateImage_([0-9]+)\\." + extension);
  return std::regex_match(path, match, pattern) ? std::stoi(match[1].str()) : -1;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data = {};
  const HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return names;
}

class ReminderPictureFileTest : public ::testing::Test {
protected:
  std::wstring Store(const std::string& address, const std::string& body) {
    return StoreReminderPicture(folder.Path(), address, body.data(), body.size());
  }
  std::wstring CacheFolder() const { return folder.File(L"VexoClient\\Cache\\"); }

  vxtest::ScratchFolder folder{L"reminder-pictures"};
};

TEST_F(ReminderPictureFileTest, StoresWholeInANewCacheFolderAndRemembersIt) {
  ASSERT_FALSE(vxtest::FileExists(folder.File(L"VexoClient")));
  const std::string address = "http://emu/pictures/img.v2.png";
  const std::string body("\x89PNG\r\n\x1a\n\0 picture bytes", 24);
  const std::wstring path = Store(address, body);

  ASSERT_GE(PictureNumber(path, L"v2\\.png"), 0) << path;
  EXPECT_EQ(path.rfind(CacheFolder(), 0), 0u) << path;
  EXPECT_EQ(FileBytes(path), body);
  EXPECT_EQ(FilesIn(CacheFolder()).size(), 1u);  // no temporary file left beside it
  std::string cached;
  ASSERT_TRUE(CPictureCache::GetInstance().FindPicture(address, cached));
  EXPECT_EQ(cached, WideToAnsi(path));
}

TEST_F(ReminderPictureFileTest, EveryCallTakesTheNextNumberAlsoWhenItFails) {
  const std::wstring first = Store("http://emu/a.jpg", "first");
  const std::wstring oversize = Store("http://emu/big.jpg", std::string(kMaxReminderPictureBytes + 1, 'x'));
  const std::wstring empty = Store("http://emu/empty.jpg", "");
  const std::wstring next = Store("http://emu/b.jpg", "next");

  EXPECT_EQ(oversize, L"");
  EXPECT_EQ(empty, L"");
  ASSERT_GE(PictureNumber(first, L"jpg"), 0);
  EXPECT_EQ(PictureNumber(next, L"jpg"), PictureNumber(first, L"jpg") + 3);
  EXPECT_EQ(FilesIn(CacheFolder()).size(), 2u);
  std::string cached;
  EXPECT_FALSE(CPictureCache::GetInstance().FindPicture("http://emu/big.jpg", cached));

  const std::wstring largest = Store("http://emu/c.jpg", std::string(kMaxReminderPictureBytes, 'y'));
  EXPECT_EQ(FileBytes(largest).size(), kMaxReminderPictureBytes);
}

TEST_F(ReminderPictureFileTest, HostileExtensionStaysInsideTheCacheFolder) {
  const std::wstring path = Store("http://emu/a.b\\..\\..\\..\\x.exe", "MZ");
  EXPECT_GE(PictureNumber(path, L"jpg"), 0) << path;
  EXPECT_EQ(path.rfind(CacheFolder(), 0), 0u);
  EXPECT_EQ(FilesIn(CacheFolder()).size(), 1u);
  EXPECT_TRUE(FilesIn(folder.Path()).empty());
  EXPECT_TRUE(FilesIn(folder.File(L"VexoClient\\")).empty());
}

TEST_F(ReminderPictureFileTest, NoPlaceToWriteGivesNoPath) {
  folder.Touch(L"VexoClient");  // a file where the folder should be
  EXPECT_EQ(Store("http://emu/a.jpg", "bytes"), L"");
  EXPECT_EQ(StoreReminderPicture(L"", "http://emu/a.jpg", "bytes", 5), L"");
  EXPECT_EQ(StoreReminderPicture(folder.Path(), "http://emu/a.jpg", nullptr, 5), L"");
}

}  // namespace
