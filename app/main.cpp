#include <windows.h>

#include "app/VXTailcastApp.h"

namespace {
CVXTailcastApp theApp;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  return theApp.Run(instance, commandLine);
}
