// Trace records: the last value of each checkpoint, kept as key=value in INI-style files.
#pragma once

#include <string>

inline constexpr wchar_t kTraceFile[] = L"c:\\log_tailcast.txt";
inline constexpr wchar_t kPlayRecordTraceFile[] = L"c:\\log_tailcas.txt";
inline constexpr wchar_t kStartupTraceFileName[] = L"TailcastLog.txt";

// Replaces `key` in `section` of `file` with `value`. Failures are silently lost.
void WriteTrace(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                const std::wstring& file = kTraceFile);

// The start-up trace file beside the executable.
std::wstring StartupTraceFile();
