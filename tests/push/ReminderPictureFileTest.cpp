// Reminder pictures stored as real files below a scratch client data folder.
#include "push/ReminderPictureFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "common/TextConvert.h"
#include "follow/PictureCache.h"
#include "tests/support/ProcessHarness.h"

namespace {

namespace fs = std::filesystem;

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file below `folder`, as paths relative to it.
std::set<std::wstring> FilesBelow(const std::wstring& folder) {
  std::set<std::wstring> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), folder).wstring());
  }
  return files;
}

class ReminderPictureFileTest : public ::testing::Test {
protected:
  std::wstring Store(const std::string& address, const std::string& body) {
    return StoreReminderPicture(folder.Path(), address, body.data(), body.size());
  }
  // "VexoClient\Cache\updateImage_<first + offset>.<extension>"
  std::wstring Name(int offset, const wchar_t* extension) const {
    return L"VexoClient\\Cache\\updateImage_" + std::to_wstring(first + offset) + L"." + extension;
  }

  vxtest::ScratchFolder folder{L"reminder-pictures"};
  int first = -1;  // the number of the test's first picture
};

TEST_F(ReminderPictureFileTest, NumberedWholeFilesInANewCacheFolderAlsoForHostileAddresses) {
  const std::string body("\x89PNG\r\n\x1a\n\0 picture", 17);
  const std::wstring png = Store("http://emu/pictures/img.v2.png", body);
  ASSERT_EQ(swscanf(png.c_str(), (folder.Path() + L"VexoClient\\Cache\\updateImage_%d.v2.png").c_str(), &first), 1);
  EXPECT_EQ(png, folder.File(Name(0, L"v2.png")));
  EXPECT_EQ(FileBytes(png), body);
  std::string cached;
  ASSERT_TRUE(CPictureCache::GetInstance().FindPicture("http://emu/pictures/img.v2.png", cached));
  EXPECT_EQ(cached, WideToAnsi(png));

  // Refused bodies take a number too, and leave no file.
  EXPECT_EQ(Store("http://emu/big.jpg", std::string(kMaxReminderPictureBytes + 1, 'x')), L"");
  EXPECT_EQ(Store("http://emu/empty.jpg", ""), L"");
  EXPECT_FALSE(CPictureCache::GetInstance().FindPicture("http://emu/big.jpg", cached));
  EXPECT_EQ(Store("http://emu/a.b\\..\\..\\..\\x.exe", "MZ"), folder.File(Name(3, L"jpg")));
  EXPECT_EQ(Store("http://emu/largest.jpg", std::string(kMaxReminderPictureBytes, 'y')), folder.File(Name(4, L"jpg")));
  EXPECT_EQ(FilesBelow(folder.Path()), (std::set<std::wstring>{Name(0, L"v2.png"), Name(3, L"jpg"), Name(4, L"jpg")}));
}

TEST_F(ReminderPictureFileTest, NoPlaceToWriteGivesNoPath) {
  folder.Touch(L"VexoClient");  // a file where the folder should be
  EXPECT_EQ(Store("http://emu/a.jpg", "bytes"), L"");
  EXPECT_EQ(StoreReminderPicture(L"", "http://emu/a.jpg", "bytes", 5), L"");
  EXPECT_EQ(StoreReminderPicture(folder.Path(), "http://emu/a.jpg", nullptr, 5), L"");
}

}  // namespace
