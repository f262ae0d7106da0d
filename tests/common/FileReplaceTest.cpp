// Replacing a file through a temporary beside it, against a real folder.
#include "common/FileReplace.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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

// A minute from now, as a file time.
FILETIME MinuteFromNow() {
  FILETIME now = {};
  ::GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks = {{now.dwLowDateTime, now.dwHighDateTime}};
  ticks.QuadPart += 60ull * 10000000ull;
  return FILETIME{ticks.LowPart, ticks.HighPart};
}

// What a process ended in the middle of a save left goes, and nothing else: a user's file that
// only looks like it stays, and so does a temporary another writer made since the cut-off.
TEST(FileReplaceTest, LeftoverTemporariesOfExactlyTheWritersFormAreRemoved) {
  const vxtest::ScratchFolder folder{L"leftovers"};
  wchar_t made[MAX_PATH] = {};
  ASSERT_NE(::GetTempFileNameW(folder.Path().c_str(), L"~vx", 0, made), 0u);  // the writer's own temporary
  for (const wchar_t* name : {L"~vx1F2E.tmp", L"~VXa.TMP"}) folder.Touch(name);
  std::vector<std::wstring> kept = {L"~vx12345.tmp", L"~vxg1.tmp", L"~vx.tmp", L"~vx1f.tmp.lnk", L"a~vx12.tmp",
                                    L"ABC.lnk"};
  for (const std::wstring& name : kept) folder.Touch(name);
  ASSERT_TRUE(::CreateDirectoryW(folder.File(L"~vx12.tmp").c_str(), nullptr));
  kept.push_back(L"~vx12.tmp");
  const FILETIME cutOff = MinuteFromNow();
  {
    ScopedKernelHandle later(::CreateFileW(folder.File(L"~vxbeef.tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_NEW, 0, nullptr));
    const FILETIME written = MinuteFromNow();  // not before the cut-off
    ASSERT_TRUE(later && ::SetFileTime(later.Get(), nullptr, nullptr, &written));
  }
  kept.push_back(L"~vxbeef.tmp");

  EXPECT_EQ(RemoveLeftoverTemporaries(folder.Path(), cutOff), 3);
  std::vector<std::wstring> left = NamesIn(folder.Path());
  std::sort(left.begin(), left.end());
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(left, kept);
}

}  // namespace
