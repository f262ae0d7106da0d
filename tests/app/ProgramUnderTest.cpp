#include "tests/app/ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/TextConvert.h"
#include "common/TraceRecord.h"

namespace vxtest {

namespace {

// The end-to-end drivers call these waits outside any gtest test, where a recorded failure
// would never be printed: there the reason goes to their output instead.
void ReportWaitFailure(const std::string& reason) {
  if (::testing::UnitTest::GetInstance()->current_test_info()) {
    ADD_FAILURE() << reason;
  } else {
    std::printf("  %s\n", reason.c_str());
    std::fflush(stdout);
  }
}

}  // namespace

ProgramUnderTest::ProgramUnderTest(const std::wstring& name, Updater updater)
    : m_folder(name), m_executable(m_folder.File(L"VXTailcast.exe")) {
  EndAllInstances();
  ::DeleteFileW(kTraceFile);
  m_folder.CopyFromBinaries(L"VXTailcast.exe");
  if (updater == Updater::kPresent) m_folder.CopyFromBinaries(L"VexoUpdate.exe");
}

ProgramUnderTest::~ProgramUnderTest() { EndAllInstances(); }

ChildProcess ProgramUnderTest::Start(const std::wstring& arguments) const {
  return ChildProcess::Start(m_executable, arguments);
}

void ProgramUnderTest::EnableUpdaterRelaunch() const { m_folder.Touch(L"VexoUpdate.relaunch"); }

HWND WaitForControlWindowOf(DWORD processId, const std::wstring& programFolder, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : WindowsTitled(L"VexoTailcast")) {
          DWORD owner = 0;
          ::GetWindowThreadProcessId(window, &owner);
          if (processId == 0 || owner == processId) found = window;
        }
        return found != nullptr;
      },
      timeoutMs);
  if (!found) {
    ReportWaitFailure("no control window of process " + std::to_string(processId) + " within " +
                      std::to_string(timeoutMs) + " ms");
    return nullptr;
  }
  // The start-up work may serve sent messages while it waits on the shell (tray icon,
  // client start), so the first-command record tells that start-up work is over; the
  // message below is then answered only once the message loop runs.
  const std::wstring startupTrace = programFolder + kStartupTraceFileName;
  const auto startupWorkOver = [&] {
    return ReadTrace(startupTrace, L"Tailcast:", L"first startup cmdline: ").has_value();
  };
  if (!WaitUntil(startupWorkOver, timeoutMs)) {
    ReportWaitFailure("the control window exists, but its start-up work did not end within " +
                      std::to_string(timeoutMs) + " ms");
    return nullptr;
  }
  DWORD_PTR ignored = 0;
  if (!::SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored)) {
    ReportWaitFailure("the control window's message loop did not answer within " + std::to_string(timeoutMs) +
                      " ms");
    return nullptr;
  }
  return found;
}

HWND ProgramUnderTest::WaitForControlWindow(DWORD processId, DWORD timeoutMs) const {
  return WaitForControlWindowOf(processId, m_folder.Path(), timeoutMs);
}

std::optional<std::wstring> ProgramUnderTest::StartupTrace(const std::wstring& key) const {
  return ReadTrace(m_folder.File(L"TailcastLog.txt"), L"Tailcast:", key);
}

std::optional<std::wstring> ProgramUnderTest::Trace(const std::wstring& section, const std::wstring& key) const {
  return ReadTrace(kTraceFile, section, key);
}

std::vector<std::wstring> ProgramUnderTest::UpdaterCalls() const {
  return ReadUtf8Lines(m_folder.File(L"VexoUpdate.calls.txt"));
}

bool ProgramUnderTest::WaitForUpdaterCalls(size_t count) const {
  return WaitUntil([&] { return UpdaterCalls().size() >= count; }, kProcessTimeoutMs);
}

void DeleteStoredLinks(CShortcutStore store) {
  std::vector<ShortcutRecord> rows;
  store.Load(rows);
  for (const ShortcutRecord& row : rows) ::DeleteFileW(AnsiToWide(row.strLNK).c_str());
}

}  // namespace vxtest
