// Stand-in for the updater. Each start appends its parameters to "VexoUpdate.calls.txt"
// beside it. When "VexoUpdate.relaunch" lies beside it, it does what the real updater
// does once it is done: it starts "<application>.exe" from its folder again with
// "update,," in front of the original command.
#include <windows.h>

#include <string>

#include "tests/doubles/StandInLog.h"

namespace {

bool RelaunchApplication(const std::wstring& folder, const std::wstring& parameters) {
  const std::wstring separator = L",,";
  const size_t afterMode = parameters.find(separator);
  if (afterMode == std::wstring::npos) return false;
  const size_t afterName = parameters.find(separator, afterMode + separator.size());
  if (afterName == std::wstring::npos) return false;
  const std::wstring application =
      parameters.substr(afterMode + separator.size(), afterName - afterMode - separator.size());
  const std::wstring command = parameters.substr(afterName + separator.size());

  const std::wstring executable = folder + application + L".exe";
  std::wstring commandLine = L"\"" + executable + L"\" update,," + command;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(executable.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
    return false;
  }
  const ScopedKernelHandle thread(process.hThread), started(process.hProcess);  // not waited for
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  const std::wstring folder = standin::OwnFolder();
  const std::wstring parameters = commandLine ? commandLine : L"";
  standin::AppendLine(folder + L"VexoUpdate.calls.txt", parameters);
  if (!standin::FileExists(folder + L"VexoUpdate.relaunch")) return 0;
  return RelaunchApplication(folder, parameters) ? 0 : 1;
}
