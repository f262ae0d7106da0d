#include "tests/support/ProcessHarness.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>

#include "common/ModulePath.h"
#include "common/ScopedWin.h"
#include "common/TextConvert.h"

namespace vxtest {

namespace {

void RemoveTree(const std::wstring& folder) {
  std::wstring from = folder;
  if (!from.empty() && from.back() == L'\\') from.pop_back();
  from.push_back(L'\0');  // SHFileOperation takes a double-NUL-terminated list
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&operation);
}

}  // namespace

std::wstring BinaryFolder() { return ModuleFolderWithSeparator(); }

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ScratchFolder::ScratchFolder(const std::wstring& name) {
  static unsigned counter = 0;
  ::CreateDirectoryW(L"C:\\vxtests", nullptr);
  m_path = L"C:\\vxtests\\" + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L"\\";
  RemoveTree(m_path);
  ::CreateDirectoryW(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(m_path); }

void ScratchFolder::CopyFromBinaries(const std::wstring& fileName) const {
  ::CopyFileW((BinaryFolder() + fileName).c_str(), File(fileName).c_str(), FALSE);
}

namespace {

bool CopyTree(const std::wstring& from, const std::wstring& to) {
  ::CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW entry = {};
  const ScopedFindHandle find(::FindFirstFileW((from + L"\\*").c_str(), &entry));
  if (!find) return false;
  bool copied = true;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      copied = CopyTree(from + L"\\" + name, to + L"\\" + name) && copied;
    } else {
      copied = ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && copied;
    }
  } while (::FindNextFileW(find.Get(), &entry));
  return copied;
}

}  // namespace

bool ScratchFolder::CopyFolderFromBinaries(const std::wstring& folderName) const {
  return CopyTree(BinaryFolder() + folderName, File(folderName));
}

void ScratchFolder::Touch(const std::wstring& fileName) const {
  const ScopedKernelHandle created(::CreateFileW(File(fileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount() - start >= timeoutMs) return false;
    ServeWindowMessages();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

namespace {

struct TitleSearch {
  const wchar_t* title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTitled(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TitleSearch*>(context);
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  if (std::wstring(text) == search->title) search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> WindowsTitled(const wchar_t* title) {
  TitleSearch search{title, {}};
  ::EnumWindows(CollectTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindow(const wchar_t* title, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = ::FindWindowW(nullptr, title)) != nullptr; }, timeoutMs);
  return found;
}

void EndAllInstances() {
  for (HWND window : WindowsTitled(L"VexoTailcast")) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId == ::GetCurrentProcessId()) continue;
    const ScopedKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process) continue;
    ::TerminateProcess(process.Get(), 98);
    ::WaitForSingleObject(process.Get(), 5000);
  }
  WaitUntil([] { return !ScopedKernelHandle(::OpenMutexW(SYNCHRONIZE, FALSE, L"VXTailcast_Client_Mutex")); },
            kProcessTimeoutMs);
}

std::optional<std::wstring> ReadTrace(const std::wstring& file, const std::wstring& section,
                                      const std::wstring& key) {
  const wchar_t kAbsent[] = L"\x01<absent>";
  std::wstring buffer(256 * 1024, L'\0');
  const DWORD length = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), kAbsent, &buffer[0],
                                                  static_cast<DWORD>(buffer.size()), file.c_str());
  buffer.resize(length);
  if (buffer == kAbsent) return std::nullopt;
  return buffer;
}

std::vector<std::wstring> ReadUtf8Lines(const std::wstring& file) {
  std::ifstream in(WideToAnsi(file), std::ios::binary);
  std::vector<std::wstring> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(Utf8ToWide(line));
  return lines;
}

}  // namespace vxtest
