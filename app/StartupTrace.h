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

// With the environment variable VXTAILCAST_TRACE_MEMORY set, the private bytes and working set
// after each step of the start-up work go to the start-up trace (section "StartupMemory", one
// key per step, "<private KiB> <working set KiB> <ms since creation>"): where the memory and the
// time of a start go, by owner.
// Otherwise it does nothing.
class CStartupMemoryTrace {
public:
  explicit CStartupMemoryTrace(std::wstring traceFile);
  void After(const wchar_t* step) const;

private:
  bool m_enabled = false;
  std::wstring m_traceFile;
};
