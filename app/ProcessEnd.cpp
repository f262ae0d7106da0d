#include "app/ProcessEnd.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "common/OpenInternetHandles.h"
#include "common/ScopedWin.h"
#include "favorites/ShortcutLink.h"
#include "platform/RidOdo/PingbackPump.h"

namespace {

// A live service takes the close pingback in milliseconds and the shell removes a tray icon as
// fast; a dead service or a slow shell must not keep the process past 2 s after the exit
// command, Wine's teardown included.
constexpr ULONGLONG kEndGraceMs = 1000;

DWORD MsUntil(ULONGLONG deadline) {
  const ULONGLONG now = ::GetTickCount64();
  return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

DWORD WINAPI RunWork(void* parameter) {
  const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  (*work)();
  return 0;
}

// Runs the work on a thread of its own (here, when no thread can be made); one still running at
// the deadline ends with the process.
class CWorkBeside {
public:
  explicit CWorkBeside(std::function<void()> work) {
    if (!work) return;
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    m_thread.Reset(::CreateThread(nullptr, 0, &RunWork, owned.get(), 0, nullptr));
    if (m_thread) {
      owned.release();  // the thread's now
    } else {
      (*owned)();
    }
  }
  void WaitUntil(ULONGLONG deadline) const {
    if (m_thread) ::WaitForSingleObject(m_thread.Get(), MsUntil(deadline));
  }

private:
  ScopedKernelHandle m_thread;
};

}  // namespace

void EndProcessAfterExit(int exitCode, std::function<void()> beside) {
  const ULONGLONG deadline = ::GetTickCount64() + kEndGraceMs;
  const CWorkBeside besideWork(std::move(beside));
  CloseShortcutWrites(std::min<DWORD>(kShortcutSaveGraceMs, MsUntil(deadline)));
  CPingbackPump::GetInstance().WaitUntilSent(MsUntil(deadline));
  besideWork.WaitUntil(deadline);
  EndProcessNow(exitCode);
}

void EndProcessNow(int exitCode) {
  AbandonNetwork();
  ::ExitProcess(static_cast<UINT>(exitCode));
}
