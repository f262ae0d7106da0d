#include "bench/ProcessCpuTime.h"

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "common/ProcessClock.h"
#include "common/ScopedWin.h"
#include "common/TextConvert.h"

namespace vxbench {

namespace {

constexpr double kClockTicksPerSecond = 100;  // Linux reports /proc times in USER_HZ, 100 on every PC

bool UnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// The whole file; /proc files report no size, so it is read until the end.
std::string ReadWholeFile(const std::wstring& path) {
  const ScopedKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
  std::string text;
  if (!file) return text;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// True when the Linux process `folder` (Z:\proc\<pid>\) runs `programName` in this Wine prefix.
bool RunsProgramHere(const std::wstring& folder, const std::string& programName, const std::string& prefixEntry) {
  const std::string commandLine = ReadWholeFile(folder + L"cmdline");
  const std::string program = Lowered(commandLine.substr(0, commandLine.find('\0')));
  const size_t nameStart = program.find_last_of("\\/");
  if (program.substr(nameStart == std::string::npos ? 0 : nameStart + 1) != programName) return false;
  const std::string environment = '\0' + ReadWholeFile(folder + L"environ");
  return environment.find('\0' + prefixEntry + '\0') != std::string::npos;
}

// Z:\proc\<pid>\stat of the one Linux process that runs `programName` in this Wine prefix.
std::wstring FindStatPath(const std::wstring& programName) {
  char prefix[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"";
  const std::string prefixEntry = std::string("WINEPREFIX=") + prefix;
  const std::string name = Lowered(WideToUtf8(programName));
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry = {};
  const ScopedFindHandle search(::FindFirstFileW(L"Z:\\proc\\*", &entry));
  for (BOOL more = search.IsValid(); more; more = ::FindNextFileW(search.Get(), &entry)) {
    const std::wstring pid = entry.cFileName;
    if (pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const std::wstring folder = L"Z:\\proc\\" + pid + L"\\";
    if (RunsProgramHere(folder, name, prefixEntry)) found.push_back(folder + L"stat");
  }
  return found.size() == 1 ? found.front() : L"";
}

// utime + stime of a /proc/<pid>/stat text, in seconds; negative when it cannot be parsed.
double StatSeconds(const std::string& stat) {
  const size_t nameEnd = stat.rfind(')');  // the command name may hold blanks and parentheses
  if (nameEnd == std::string::npos) return -1;
  std::istringstream fields(stat.substr(nameEnd + 1));
  std::string field;
  double ticks = 0;
  for (int number = 3; number <= 15 && fields >> field; ++number) {  // fields 14 and 15: utime, stime
    if (number >= 14) ticks += std::strtod(field.c_str(), nullptr);
    if (number == 15) return ticks / kClockTicksPerSecond;
  }
  return -1;
}

double FileTimeSeconds(const FILETIME& time) {
  return static_cast<double>(FileTimeTicks(time)) / 1e7;
}

}  // namespace

ProcessCpuTime::ProcessCpuTime(HANDLE process, const std::wstring& programName)
    : m_process(process), m_underWine(UnderWine()) {
  if (m_underWine) m_statPath = FindStatPath(programName);
}

double ProcessCpuTime::Seconds() const {
  if (m_underWine) return m_statPath.empty() ? -1 : StatSeconds(ReadWholeFile(m_statPath));
  FILETIME created, exited, kernel, user;
  if (!::GetProcessTimes(m_process, &created, &exited, &kernel, &user)) return -1;
  return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

std::string ProcessCpuTime::Source() const {
  if (!m_underWine) return "GetProcessTimes";
  if (m_statPath.empty()) return "nowhere";
  const std::string path = WideToUtf8(m_statPath);  // Z:\proc\<pid>\stat
  return "/proc/" + path.substr(8, path.size() - 8 - 5) + "/stat";
}

}  // namespace vxbench
