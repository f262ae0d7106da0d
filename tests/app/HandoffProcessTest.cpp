// A second start while an instance runs: what it hands over, and how the running one takes it.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/Messages.h"
#include "tests/app/ProgramUnderTest.h"

namespace {

using vxtest::ChildProcess;
using vxtest::kProcessTimeoutMs;
using vxtest::ProgramUnderTest;

// Stands in for a running instance inside the test process: holds the instance mutex and
// owns a window titled "VexoTailcast" that records what a second start sends it.
class FakeRunningInstance {
public:
  struct CopyData {
    ULONG_PTR dwData;
    DWORD cbData;
    std::vector<unsigned char> bytes;
  };

  explicit FakeRunningInstance(bool withWindow = true) {
    m_mutex = ::CreateMutexW(nullptr, TRUE, L"VXTailcast_Client_Mutex");
    if (withWindow) CreateWindowNow();
  }
  ~FakeRunningInstance() {
    if (m_window) ::DestroyWindow(m_window);
    if (m_mutex) ::CloseHandle(m_mutex);
  }

  // The window of an instance that took its mutex a while ago and is only now ready.
  void CreateWindowNow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"FakeTailcastWindow";
    ::RegisterClassW(&windowClass);
    m_window = ::CreateWindowW(L"FakeTailcastWindow", L"VexoTailcast", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               windowClass.hInstance, this);
  }

  std::vector<CopyData> copies;
  int uninstalls = 0;
  std::vector<UINT> otherPrivate;

private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      ::SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<FakeRunningInstance*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_COPYDATA) {
      const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      const auto* data = static_cast<const unsigned char*>(record->lpData);
      self->copies.push_back({record->dwData, record->cbData,
                              data ? std::vector<unsigned char>(data, data + record->cbData)
                                   : std::vector<unsigned char>()});
      return 1;
    }
    if (self && message == WM_TAILCAST_UNINSTALL) {
      ++self->uninstalls;
      return 0;
    }
    if (self && message >= WM_USER && message < WM_APP) self->otherPrivate.push_back(message);
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  HANDLE m_mutex = nullptr;
  HWND m_window = nullptr;
};

std::vector<unsigned char> Utf16WithNul(const std::wstring& text) {
  std::vector<unsigned char> bytes;
  for (wchar_t c : text) {
    bytes.push_back(static_cast<unsigned char>(c & 0xFF));
    bytes.push_back(static_cast<unsigned char>((c >> 8) & 0xFF));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

// Starts a second instance and waits for it to end while the fake window serves it.
void RunSecondStart(const ProgramUnderTest& program, const std::wstring& arguments) {
  ChildProcess second = program.Start(arguments);
  ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs));
  EXPECT_EQ(second.ExitCode(), 0u);
}

TEST(HandoffToFakeInstanceTest, FavoriteGoesByCopyDataWithExactRecord) {
  ProgramUnderTest program(L"handoff-record");
  FakeRunningInstance running;
  const std::wstring text = L"{\"albumId\":9,\"name\":\"\u89c6\u9891 x\"}";
  RunSecondStart(program, L"DeskFavor;id=9 strjs=" + text);
  ASSERT_EQ(running.copies.size(), 1u);
  EXPECT_EQ(running.copies[0].dwData, 0u);
  EXPECT_EQ(running.copies[0].cbData, 2 * text.size() + 2);
  EXPECT_EQ(running.copies[0].bytes, Utf16WithNul(text));
  EXPECT_EQ(program.StartupTrace(L"second startup cmdline is : "), L"null");
  EXPECT_EQ(program.StartupTrace(L"second start cmdline: "), text);
  EXPECT_TRUE(program.UpdaterCalls().empty());
}

TEST(HandoffToFakeInstanceTest, FavoriteWithoutMarkerSendsEmptyText) {
  ProgramUnderTest program(L"handoff-empty");
  FakeRunningInstance running;
  RunSecondStart(program, L"deskFAVOR;id=3");
  ASSERT_EQ(running.copies.size(), 1u);
  EXPECT_EQ(running.copies[0].cbData, 2u);
  EXPECT_EQ(running.copies[0].bytes, Utf16WithNul(L""));
}

TEST(HandoffToFakeInstanceTest, UninstallInAnyCaseIsSentAsPrivateMessage) {
  ProgramUnderTest program(L"handoff-uinst");
  FakeRunningInstance running;
  RunSecondStart(program, L"/UINST");
  EXPECT_EQ(running.uninstalls, 1);
  EXPECT_TRUE(running.copies.empty());
}

TEST(HandoffToFakeInstanceTest, OtherCommandsSendNothingAndDoNotRun) {
  ProgramUnderTest program(L"handoff-other");
  FakeRunningInstance running;
  for (const wchar_t* arguments : {L"autostart", L"", L"x,,update", L"/uinst extra"}) {
    RunSecondStart(program, arguments);
  }
  EXPECT_TRUE(running.copies.empty());
  EXPECT_EQ(running.uninstalls, 0);
  EXPECT_TRUE(running.otherPrivate.empty());
  EXPECT_TRUE(program.UpdaterCalls().empty());
  EXPECT_EQ(vxtest::WindowsTitled(L"VexoTailcast").size(), 1u);  // only the fake one
}

TEST(HandoffToFakeInstanceTest, MutexWithoutWindowIsTracedAndEnds) {
  ProgramUnderTest program(L"handoff-nowindow");
  FakeRunningInstance running(/*withWindow=*/false);
  RunSecondStart(program, L"DeskFavor;strjs=abc");
  EXPECT_EQ(program.StartupTrace(L"second startup : "), L"\u672a\u627e\u5230VexoTailcast");
  EXPECT_FALSE(program.StartupTrace(L"second startup cmdline is : ").has_value());
  EXPECT_TRUE(program.UpdaterCalls().empty());
}

TEST(HandoffToFakeInstanceTest, UpdateStartWithMutexButNoWindowRunsItsOwn) {
  ProgramUnderTest program(L"handoff-nowindow-update");
  FakeRunningInstance running(/*withWindow=*/false);
  ChildProcess second = program.Start(L"update");
  EXPECT_NE(program.WaitForControlWindow(second.Id()), nullptr);
  EXPECT_EQ(program.StartupTrace(L"second startup : "), L"\u672a\u627e\u5230VexoTailcast");
}

// A second start made while the running instance is still starting: the mutex exists, the
// window comes a moment later, and the favourite still reaches it.
TEST(HandoffToFakeInstanceTest, WindowThatComesLateStillGetsTheFavorite) {
  ProgramUnderTest program(L"handoff-late");
  FakeRunningInstance running(/*withWindow=*/false);
  ChildProcess second = program.Start(L"DeskFavor;strjs=late");
  ::Sleep(1500);
  ASSERT_TRUE(second.IsRunning());
  running.CreateWindowNow();
  ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs));
  ASSERT_EQ(running.copies.size(), 1u);
  EXPECT_EQ(running.copies[0].bytes, Utf16WithNul(L"late"));
  EXPECT_FALSE(program.StartupTrace(L"second startup : ").has_value());
}

// Holds the instance mutex and a window titled "VexoTailcast" whose thread has stopped
// answering, as a hung running instance does.
class HungRunningInstance {
public:
  HungRunningInstance() : m_release(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    m_mutex = ::CreateMutexW(nullptr, TRUE, L"VXTailcast_Client_Mutex");
    HANDLE created = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this, created] {
      const HWND window = ::CreateWindowW(L"STATIC", L"VexoTailcast", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);
      ::SetEvent(created);
      ::WaitForSingleObject(m_release, INFINITE);  // no message is taken meanwhile
      ::DestroyWindow(window);
    });
    ::WaitForSingleObject(created, INFINITE);
    ::CloseHandle(created);
  }
  ~HungRunningInstance() {
    ::SetEvent(m_release);
    m_thread.join();
    ::CloseHandle(m_release);
    ::CloseHandle(m_mutex);
  }

private:
  HANDLE m_release;
  HANDLE m_mutex = nullptr;
  std::thread m_thread;
};

TEST(HandoffToHungInstanceTest, SecondStartGivesUpAndEnds) {
  ProgramUnderTest program(L"handoff-hung");
  HungRunningInstance running;
  ChildProcess second = program.Start(L"DeskFavor;strjs=abc");
  ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs)) << "the second start waits on a hung instance";
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_EQ(program.StartupTrace(L"second start cmdline: "), L"abc");
  EXPECT_EQ(program.StartupTrace(L"second start handoff : "), L"false");
}

class HandoffToRealInstanceTest : public ::testing::Test {
protected:
  void SetUp() override {
    first = program.Start(L"update");
    window = program.WaitForControlWindow(first.Id());
    ASSERT_NE(window, nullptr);
  }

  LRESULT SendCopyData(const void* data, DWORD bytes) {
    COPYDATASTRUCT record = {0, bytes, const_cast<void*>(data)};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_NORMAL,
                          kProcessTimeoutMs, &result);
    return static_cast<LRESULT>(result);
  }

  ProgramUnderTest program{L"handoff-real"};
  ChildProcess first;
  HWND window = nullptr;
};

TEST_F(HandoffToRealInstanceTest, SecondStartFavoriteReachesRunningInstance) {
  const std::wstring text = L"{\"albumId\":5,\"name\":\"\u89c6\u9891\"}";
  ChildProcess second = program.Start(L"DeskFavor;id=5 strjs=" + text);
  ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(first.IsRunning());
  EXPECT_EQ(program.Trace(L"Tailcast:", L"CopyData IS :"), text);
  EXPECT_EQ(program.Trace(L"Tailcast:", L"GetDataInfoManager : "), text);
  EXPECT_EQ(program.StartupTrace(L"second start cmdline: "), text);
  // Start-up records go beside the program, the window's records to the drive root.
  EXPECT_FALSE(program.Trace(L"Tailcast:", L"second start cmdline: ").has_value());
  EXPECT_FALSE(program.Trace(L"Tailcast:", L"first startup cmdline: ").has_value());
  EXPECT_FALSE(program.StartupTrace(L"CopyData IS :").has_value());
}

TEST_F(HandoffToRealInstanceTest, SecondStartUninstallEndsRunningInstance) {
  ChildProcess second = program.Start(L"/uinst");
  ASSERT_TRUE(second.WaitForExit(kProcessTimeoutMs));
  ASSERT_TRUE(first.WaitForExit(kProcessTimeoutMs));
  EXPECT_EQ(first.ExitCode(), 0u);
  EXPECT_TRUE(vxtest::WindowsTitled(L"VexoTailcast").empty());
}

TEST_F(HandoffToRealInstanceTest, SecondUpdateStartRunsBesideWithoutHandingOver) {
  ChildProcess second = program.Start(L"update,,DeskFavor;strjs=T");
  ASSERT_NE(program.WaitForControlWindow(second.Id()), nullptr);
  EXPECT_EQ(vxtest::WindowsTitled(L"VexoTailcast").size(), 2u);
  EXPECT_TRUE(first.IsRunning());
  // The window may answer while its start-up work still waits on the shell, before the
  // start-up records are written.
  EXPECT_TRUE(vxtest::WaitUntil([&] { return program.StartupTrace(L"second startup cmdline is : ") == L"null"; },
                                kProcessTimeoutMs));
  EXPECT_FALSE(program.StartupTrace(L"second start cmdline: ").has_value());
  EXPECT_FALSE(program.Trace(L"Tailcast:", L"CopyData IS :").has_value());
  EXPECT_TRUE(vxtest::WaitUntil([&] { return program.Trace(L"Tailcast", L"CreateDeskFavor Info :") == L"T"; },
                                kProcessTimeoutMs));
  EXPECT_TRUE(vxtest::WaitUntil([&] { return program.StartupTrace(L"send first startup cmdline: ") == L"T"; },
                                kProcessTimeoutMs));
}

TEST_F(HandoffToRealInstanceTest, HostileCopyDataIsReadOnlyWithinItsSize) {
  const wchar_t noTerminator[] = {L'{', L'x', L'y', L'z', L'}', L'!', L'!', L'!'};
  EXPECT_EQ(SendCopyData(noTerminator, 10), 1);
  EXPECT_EQ(program.Trace(L"Tailcast:", L"CopyData IS :"), L"{xyz}");

  const std::wstring huge(100000, L'h');
  EXPECT_EQ(SendCopyData(huge.c_str(), static_cast<DWORD>(2 * huge.size() + 2)), 1);
  EXPECT_EQ(program.Trace(L"Tailcast:", L"CopyData IS :"), huge);

  EXPECT_EQ(SendCopyData(nullptr, 0), 0);
  EXPECT_EQ(program.Trace(L"Tailcast:", L"CopyData "), L"is false!");
  EXPECT_TRUE(first.IsRunning());
}

}  // namespace
