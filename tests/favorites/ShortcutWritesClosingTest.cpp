// Closing the shortcut writes at the end of the process: a save in progress is let finish,
// later ones are refused and leave nothing behind, and the old file stays.
#include "favorites/ShortcutLink.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/ComScope.h"
#include "common/ScopedWin.h"
#include "tests/support/ProcessHarness.h"

namespace {

int FilesIn(const std::wstring& folder) {
  WIN32_FIND_DATAW found = {};
  ScopedFindHandle search(::FindFirstFileW((folder + L"*").c_str(), &found));
  if (!search) return 0;
  int count = 0;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
  } while (::FindNextFileW(search.Get(), &found));
  return count;
}

const ShortcutLinkFields kFields{L"http://www.vexo.com/v_1.html", L"", L"", L"", L"One"};

// Holds the writers' lock for a while from another thread, as a save in progress does.
class SaveInProgress {
public:
  explicit SaveInProgress(DWORD holdMs)
      : m_thread([this, holdMs] {
          std::lock_guard writing(ShortcutRewriteLock());
          m_holding = true;
          ::Sleep(holdMs);
          m_finished = true;
        }) {
    while (!m_holding) ::Sleep(1);
  }
  ~SaveInProgress() { m_thread.join(); }
  bool Finished() const { return m_finished; }

private:
  std::atomic<bool> m_holding{false};
  std::atomic<bool> m_finished{false};
  std::thread m_thread;
};

class ShortcutWritesClosingTest : public ::testing::Test {
protected:
  void TearDown() override { ReopenShortcutWrites(); }
  vxtest::ScratchFolder folder{L"closing-writes"};
  ComScope com;
};

TEST_F(ShortcutWritesClosingTest, WaitsForTheSaveInProgressThenRefusesEveryLaterOne) {
  const std::wstring kept = folder.File(L"kept.lnk");
  ASSERT_TRUE(WriteShortcutLink(kFields, kept));
  {
    const SaveInProgress save(300);
    EXPECT_TRUE(CloseShortcutWrites(5000));
    EXPECT_TRUE(save.Finished());
  }
  ShortcutWrite renaming;
  renaming.replaces = kept;
  EXPECT_FALSE(WriteShortcutLink(kFields, folder.File(L"renamed.lnk"), renaming));
  EXPECT_FALSE(WriteShortcutLink(kFields, kept));
  EXPECT_EQ(FilesIn(folder.Path()), 1);  // the old shortcut only: no new file, no temporary
  EXPECT_NE(::GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES);

  ReopenShortcutWrites();
  EXPECT_TRUE(WriteShortcutLink(kFields, folder.File(L"renamed.lnk"), renaming));
  EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST_F(ShortcutWritesClosingTest, AWriterThatHangsDoesNotKeepTheProcessFromEnding) {
  const SaveInProgress save(1000);
  EXPECT_FALSE(CloseShortcutWrites(50));
  EXPECT_FALSE(save.Finished());
  EXPECT_FALSE(WriteShortcutLink(kFields, folder.File(L"late.lnk")));
}

}  // namespace
