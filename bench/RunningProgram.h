// The real program started for a benchmark, with readings of its resources.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace vxbench {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration elapsed);
double Median(std::vector<double> values);

struct Usage {
  DWORD handles = 0;     // counted by probing where the system reports none (Wine)
  DWORD gdiObjects = 0;  // read from the GDI handle table where the system reports none (Wine); 0 if unreadable
  double privateKiB = 0;
};

// Handles and GDI objects (each found another way where the system reports none) and private
// bytes of a process.
Usage ReadProcessUsage(HANDLE process);

class RunningProgram {
public:
  // Starts "<bench folder>\VXTailcast.exe update" and waits for its control window.
  RunningProgram();
  ~RunningProgram();  // exits it through the tray command
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  bool IsReady() const { return m_window != nullptr; }
  HANDLE Process() const { return m_program.Handle(); }
  HWND Window() const { return m_window; }
  Usage ReadUsage() const;
  bool HandOver(const std::wstring& favoriteText) const;

private:
  vxtest::ChildProcess m_program;
  HWND m_window = nullptr;
};

void PrintUsage(const Usage& before, const Usage& halfway, const Usage& after);
// The figure lines "<subject>_handles", "<subject>_gdi_objects" and "<subject>_private_KiB",
// each after against before (GDI objects as not measured where the system reports none).
void PrintUsageFigures(const std::string& subject, const Usage& before, const Usage& after);
bool WaitForFile(const std::wstring& path, std::chrono::seconds limit);
// The program of the bench's folder started with the arguments (not started when it cannot be).
vxtest::ChildProcess StartFromBenchFolder(const wchar_t* programName, const std::wstring& arguments);
// Deletes the .lnk files of every stored shortcut, so that a benchmark leaves no desktop behind.
void RemoveStoredShortcuts();

}  // namespace vxbench
