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

}  // namespace

void WriteTrace(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                const std::wstring& file) {
  StartUnicodeFileIfMissing(file);
  ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

std::wstring StartupTraceFile() { return ModuleFolderWithSeparator() + kStartupTraceFileName; }
