#include "common/TraceRecord.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ModulePath.h"
#include "tests/support/ProcessHarness.h"

namespace {

using vxtest::ReadTrace;

class TraceRecordTest : public ::testing::Test {
protected:
  vxtest::ScratchFolder folder{L"trace"};
  std::wstring file = folder.File(L"trace.txt");
};

TEST_F(TraceRecordTest, SecondWriteOfKeyReplacesFirst) {
  WriteTrace(L"Tailcast:", L"first startup cmdline: ", L"one", file);
  WriteTrace(L"Tailcast:", L"first startup cmdline: ", L"two", file);
  EXPECT_EQ(ReadTrace(file, L"Tailcast:", L"first startup cmdline: "), L"two");
}

TEST_F(TraceRecordTest, SectionsMatchIgnoringCaseButColonMakesAnother) {
  WriteTrace(L"tailcast", L"key", L"lower", file);
  WriteTrace(L"Tailcast", L"key", L"upper", file);
  WriteTrace(L"Tailcast:", L"key", L"colon", file);
  EXPECT_EQ(ReadTrace(file, L"tailcast", L"key"), L"upper");
  EXPECT_EQ(ReadTrace(file, L"Tailcast:", L"key"), L"colon");

  wchar_t sections[512] = {};
  const DWORD length = ::GetPrivateProfileSectionNamesW(sections, 512, file.c_str());
  int count = 0;
  for (const wchar_t* name = sections; name < sections + length && *name; name += wcslen(name) + 1) ++count;
  EXPECT_EQ(count, 2);
}

TEST_F(TraceRecordTest, NonAnsiValueSurvivesInAnyCodePage) {
  WriteTrace(L"Tailcast:", L"second startup : ", L"\u672a\u627e\u5230VexoTailcast", file);  // 未找到VexoTailcast
  EXPECT_EQ(ReadTrace(file, L"Tailcast:", L"second startup : "), L"\u672a\u627e\u5230VexoTailcast");
}

TEST_F(TraceRecordTest, ExistingAnsiFileIsKeptAndWrittenTo) {
  const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  const char text[] = "[Other]\r\nold=1\r\n";
  DWORD written = 0;
  ::WriteFile(handle, text, sizeof text - 1, &written, nullptr);
  ::CloseHandle(handle);
  WriteTrace(L"Tailcast:", L"k", L"v", file);
  EXPECT_EQ(ReadTrace(file, L"Other", L"old"), L"1");
  EXPECT_EQ(ReadTrace(file, L"Tailcast:", L"k"), L"v");
}

TEST_F(TraceRecordTest, EmptyAndLongValues) {
  WriteTrace(L"Tailcast:", L"empty", L"", file);
  EXPECT_EQ(ReadTrace(file, L"Tailcast:", L"empty"), L"");
  const std::wstring longValue(100000, L'j');
  WriteTrace(L"Tailcast:", L"long", longValue, file);
  EXPECT_EQ(ReadTrace(file, L"Tailcast:", L"long"), longValue);
}

TEST_F(TraceRecordTest, UnwritableFileIsSilentlyLost) {
  const std::wstring missingFolderFile = folder.File(L"no\\such\\folder\\trace.txt");
  WriteTrace(L"Tailcast:", L"k", L"v", missingFolderFile);
  EXPECT_FALSE(vxtest::FileExists(missingFolderFile));
}

// The writer that TwoProcessesWritingOneFileLoseNoKey starts twice, as child processes.
constexpr int kKeysPerWriter = 150;

TEST(TraceWriterChild, DISABLED_WritesItsKeys) {
  wchar_t file[MAX_PATH] = {}, name[16] = {};
  ASSERT_NE(::GetEnvironmentVariableW(L"VX_TRACE_CHILD_FILE", file, MAX_PATH), 0u);
  ASSERT_NE(::GetEnvironmentVariableW(L"VX_TRACE_CHILD_NAME", name, 16), 0u);
  for (int i = 0; i < kKeysPerWriter; ++i) WriteTrace(L"Tailcast", name + std::to_wstring(i), L"v", file);
}

TEST_F(TraceRecordTest, TwoProcessesWritingOneFileLoseNoKey) {
  std::vector<PROCESS_INFORMATION> writers;
  ::SetEnvironmentVariableW(L"VX_TRACE_CHILD_FILE", file.c_str());
  for (const wchar_t* name : {L"a", L"b"}) {
    ::SetEnvironmentVariableW(L"VX_TRACE_CHILD_NAME", name);
    std::wstring commandLine = L"test --gtest_also_run_disabled_tests --gtest_filter=TraceWriterChild.*";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(::CreateProcessW(ModuleFilePath().c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &process));
    writers.push_back(process);
  }
  for (const PROCESS_INFORMATION& writer : writers) {
    EXPECT_EQ(::WaitForSingleObject(writer.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(writer.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    ::CloseHandle(writer.hThread);
    ::CloseHandle(writer.hProcess);
  }
  int missing = 0;
  for (const wchar_t* name : {L"a", L"b"}) {
    for (int i = 0; i < kKeysPerWriter; ++i) missing += ReadTrace(file, L"Tailcast", name + std::to_wstring(i)) ? 0 : 1;
  }
  EXPECT_EQ(missing, 0);
}

TEST(StartupTraceFileTest, LiesBesideTheExecutable) {
  EXPECT_EQ(StartupTraceFile(), vxtest::BinaryFolder() + L"TailcastLog.txt");
}

}  // namespace
