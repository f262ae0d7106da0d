#include "common/TraceRecord.h"

#include <windows.h>

#include "common/ModulePath.h"
#include "common/ScopedWin.h"

namespace {

// The profile writer keeps the encoding of an existing file and writes ANSI into a new
// one, which would turn album names outside the code page into '?'. A new trace file is
// therefore started as UTF-16 with its byte-order mark, which the profile API reads and
// keeps on every later write.
void StartUnicodeFileIfMissing(const std::wstring& file) {
  ScopedKernelHandle handle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return;  // exists already, or cannot be created
  const unsigned char byteOrderMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  ::WriteFile(handle.Get(), byteOrderMark, sizeof byteOrderMark, &written, nullptr);
}

// The profile writer reads the whole file and writes it back, guarded only inside one
// process. The running program and a second start write the same trace files at the same
// moment, so every write holds this mutex, shared by all processes of the session: otherwise
// one process's write would drop the other's new key.
class TraceFilesLock {
public:
  TraceFilesLock() {
    // Opened once; the handle lives as long as the process.
    static const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, L"Local\\VXTailcastTraceFiles");
    if (!mutex) return;
    const DWORD waited = ::WaitForSingleObject(mutex, kWaitMs);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) m_held = mutex;  // else write unguarded
  }
  ~TraceFilesLock() {
    if (m_held) ::ReleaseMutex(m_held);
  }
  TraceFilesLock(const TraceFilesLock&) = delete;
  TraceFilesLock& operator=(const TraceFilesLock&) = delete;

private:
  static constexpr DWORD kWaitMs = 2000;  // a trace is never worth a hang
  HANDLE m_held = nullptr;
};

}  // namespace

void WriteTrace(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                const std::wstring& file) {
  const TraceFilesLock lock;
  StartUnicodeFileIfMissing(file);
  ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

std::wstring StartupTraceFile() { return ModuleFolderWithSeparator() + kStartupTraceFileName; }
