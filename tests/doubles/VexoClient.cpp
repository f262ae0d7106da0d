// Stand-in for the streaming client. Each start appends its command line to
// "VexoClient.calls.txt" beside it. When "VexoClient.stay" lies beside it, it keeps
// running (so that it is seen as the running client) until the named event
// "VexoClientStandIn_Quit" is signalled, or two minutes have passed.
#include <windows.h>

#include <string>

#include "tests/doubles/StandInLog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  const std::wstring folder = standin::OwnFolder();
  standin::AppendLine(folder + L"VexoClient.calls.txt", commandLine ? commandLine : L"");
  if (!standin::FileExists(folder + L"VexoClient.stay")) return 0;

  const ScopedKernelHandle quit(::CreateEventW(nullptr, TRUE, FALSE, L"VexoClientStandIn_Quit"));
  if (!quit) return 1;
  ::WaitForSingleObject(quit.Get(), 120000);
  return 0;
}
