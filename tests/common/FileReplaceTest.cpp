// Replacing a file through a temporary beside it, against a real folder.
#include "common/FileReplace.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "common/ScopedWin.h"
#include "tests/support/ProcessHarness.h"

namespace {

std::vector<std::wstring> NamesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found = {};
  const HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

std::string Contents(const std::wstring& path) {
  ScopedKernelHandle file(
      ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  char bytes[16] = {};
  DWORD read = 0;
  if (!file || !::ReadFile(file.Get(), bytes, sizeof bytes, &read, nullptr)) return "";
  return std::string(bytes, read);
}

// The shell showing the desktop (or a scanner) may hold a shortcut open for a moment.
TEST(FileReplaceTest, TargetHeldOpenForAMomentIsStillReplacedAndNoTemporaryStays) {
  const vxtest::ScratchFolder folder{L"replace"};
  const std::wstring target = folder.File(L"ABC.lnk");
  ASSERT_TRUE(ReplaceFileContents(target, {'o', 'l', 'd'}));
  ScopedKernelHandle held(::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  std::thread letGo([&held] {
    ::Sleep(150);
    held.Reset();
  });

  const bool replaced = ReplaceFileContents(target, {'n', 'e', 'w'});
  letGo.join();

  EXPECT_TRUE(replaced);
  EXPECT_EQ(Contents(target), "new");
  EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"ABC.lnk"});
}

}  // namespace
