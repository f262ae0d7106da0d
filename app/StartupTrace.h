// The moment the start-up work is done (the push window made, the reminder feed asked for),
// kept in the start-up trace file beside the program as whole milliseconds since the process
// was created, so that a measurement from outside reads the program's own clock.
#pragma once

#include <string>

inline constexpr wchar_t kStartupTraceSection[] = L"Tailcast:";
inline constexpr wchar_t kStartupWorkDoneKey[] = L"startup work done ms: ";

// Milliseconds from this process's creation (its kernel creation time) until now; -1 when the
// system does not tell.
long long MsSinceProcessCreation();

void TraceStartupWorkDone(const std::wstring& traceFile);

