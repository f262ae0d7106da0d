#include "bench/RunningProgram.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>

#include "app/Environment.h"
#include "app/Messages.h"
#include "app/resource.h"
#include "bench/Figures.h"
#include "common/ModulePath.h"
#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "favorites/FavoriteIntake.h"
#include "favorites/HostPaths.h"
#include "tests/support/GdiObjects.h"

namespace vxbench {

namespace {

DWORD CountHandlesByProbing(HANDLE process) {
  constexpr uintptr_t kHighestProbed = 0x20000;
  DWORD count = 0;
  for (uintptr_t value = 4; value < kHighestProbed; value += 4) {
    ScopedKernelHandle copy;
    if (::DuplicateHandle(process, reinterpret_cast<HANDLE>(value), ::GetCurrentProcess(), copy.Receive(), 0, FALSE,
                          DUPLICATE_SAME_ACCESS)) {
      ++count;
    }
  }
  return count;
}

HWND WaitForControlWindow() {
  HWND window = nullptr;
  for (int i = 0; i < 2000 && !window; ++i) {
    window = ::FindWindowW(nullptr, kControlWindowTitle);
    if (!window) ::Sleep(10);
  }
  DWORD_PTR ignored = 0;
  if (!window || !::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored)) return nullptr;
  return window;
}

}  // namespace

double Milliseconds(Clock::duration elapsed) { return std::chrono::duration<double, std::milli>(elapsed).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

vxtest::ChildProcess StartFromBenchFolder(const wchar_t* programName, const std::wstring& arguments) {
  return vxtest::ChildProcess::Start(ModuleFolderWithSeparator() + programName, arguments);
}

RunningProgram::RunningProgram() : m_program(StartFromBenchFolder(L"VXTailcast.exe", L"update")) {
  if (!m_program.IsStarted()) return;
  m_window = WaitForControlWindow();
  ::Sleep(500);  // let start-up settle before the first reading
}

// A program that does not end in time is ended with its owner.
RunningProgram::~RunningProgram() {
  if (m_window) ::PostMessageW(m_window, WM_COMMAND, ID_TRAY_EXIT, 0);
  m_program.WaitForExit(10000);
}

Usage ReadProcessUsage(HANDLE process) {
  Usage usage;
  if (!::GetProcessHandleCount(process, &usage.handles) || usage.handles == 0) {
    usage.handles = CountHandlesByProbing(process);
  }
  usage.gdiObjects = vxtest::ReadGdiObjects(process);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  // Wine reports PrivateUsage as 0; its PagefileUsage is the closest figure.
  usage.privateKiB = (memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / 1024.0;
  return usage;
}

Usage RunningProgram::ReadUsage() const { return ReadProcessUsage(m_program.Handle()); }

bool RunningProgram::HandOver(const std::wstring& favoriteText) const {
  COPYDATASTRUCT record = {0, static_cast<DWORD>((favoriteText.size() + 1) * sizeof(wchar_t)),
                           const_cast<wchar_t*>(favoriteText.c_str())};
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_NORMAL, 20000,
                               &result) != 0;
}

void PrintUsage(const Usage& before, const Usage& halfway, const Usage& after) {
  std::printf("program handles: %lu before, %lu halfway, %lu after\n", static_cast<unsigned long>(before.handles),
              static_cast<unsigned long>(halfway.handles), static_cast<unsigned long>(after.handles));
  if (before.gdiObjects == 0 && after.gdiObjects == 0) {
    std::printf("program GDI objects: not reported by this system\n");
  } else {
    std::printf("program GDI objects: %lu before, %lu halfway, %lu after\n",
                static_cast<unsigned long>(before.gdiObjects), static_cast<unsigned long>(halfway.gdiObjects),
                static_cast<unsigned long>(after.gdiObjects));
  }
  std::printf("program private bytes: %.0f KiB before, %.0f KiB halfway, %.0f KiB after\n", before.privateKiB,
              halfway.privateKiB, after.privateKiB);
}

void PrintUsageFigures(const std::string& subject, const Usage& before, const Usage& after) {
  PrintFigure((subject + "_handles").c_str(), after.handles, "before", before.handles);
  const std::string gdi = subject + "_gdi_objects";
  if (before.gdiObjects == 0 && after.gdiObjects == 0) {
    PrintNoFigure(gdi.c_str(), "not reported by this system");
  } else {
    PrintFigure(gdi.c_str(), after.gdiObjects, "before", before.gdiObjects);
  }
  PrintFigure((subject + "_private_KiB").c_str(), after.privateKiB, "before", before.privateKiB);
}

bool WaitForFile(const std::wstring& path, std::chrono::seconds limit) {
  const auto start = Clock::now();
  while (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (Clock::now() - start > limit) return false;
    ::Sleep(1);
  }
  return true;
}

// The program's store is found where the program finds it.
void RemoveStoredShortcuts() {
  SetHostPaths(CEnvironment::GetInstance().GetHostPaths());
  RemoveDeskFavorites();
}

}  // namespace vxbench
