// The real program in a folder of its own (so that its start-up trace file and its
// updater are the test's), started as processes with exact command lines.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "favorites/ShortcutStore.h"
#include "tests/support/ProcessHarness.h"

namespace vxtest {

class ProgramUnderTest {
public:
  enum class Updater { kPresent, kMissing };

  explicit ProgramUnderTest(const std::wstring& name, Updater updater = Updater::kPresent);
  ~ProgramUnderTest();

  ChildProcess Start(const std::wstring& arguments) const;
  // The stand-in updater starts the program again with "update,," + the command.
  void EnableUpdaterRelaunch() const;
  // The skin folder beside the program, as an installation has it.
  bool InstallSkin() const { return m_folder.CopyFolderFromBinaries(L"tcskin"); }

  // The control window of this process, once its message loop answers.
  HWND WaitForControlWindow(DWORD processId, DWORD timeoutMs = kProcessTimeoutMs) const;

  std::optional<std::wstring> StartupTrace(const std::wstring& key) const;
  std::optional<std::wstring> Trace(const std::wstring& section, const std::wstring& key) const;
  std::vector<std::wstring> UpdaterCalls() const;
  // Waits until the updater was started `count` times.
  bool WaitForUpdaterCalls(size_t count) const;

  const std::wstring& Executable() const { return m_executable; }
  const std::wstring& Folder() const { return m_folder.Path(); }

private:
  ScratchFolder m_folder;
  std::wstring m_executable;
};

// The control window of process `processId` (0: of any) once its start-up work is over and its
// message loop answers; the program's start-up trace file lies in `programFolder`.
HWND WaitForControlWindowOf(DWORD processId, const std::wstring& programFolder, DWORD timeoutMs = kProcessTimeoutMs);

// Deletes the .lnk file of every row of `store`, so that a test leaves no desktop behind.
void DeleteStoredLinks(CShortcutStore store);

}  // namespace vxtest
