// Per-window painting and message routing of the UI library. At this stage it offers
// the process-wide helpers: where the program lies and the thread's message loop.
#pragma once

#include <windows.h>

#include <string>

namespace Lumi {

class CPaintManagerUI {
public:
  // Folder of the module given to CUISystem::SetInstance, with a trailing separator.
  static std::wstring GetInstancePath();

  // Runs the calling thread's message loop until WM_QUIT; returns the WM_QUIT exit code.
  static int MessageLoop();
};

}  // namespace Lumi
