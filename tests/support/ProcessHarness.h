// Helpers for tests that run the real program as a process under Wine.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace vxtest {

// Folder of the running test executable (the build's bin folder), with a trailing backslash.
std::wstring BinaryFolder();

bool FileExists(const std::wstring& path);

// A fresh folder below C:\vxtests, removed with its files when the object goes.
class ScratchFolder {
public:
  explicit ScratchFolder(const std::wstring& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::wstring& Path() const { return m_path; }  // with trailing backslash
  std::wstring File(const std::wstring& name) const { return m_path + name; }
  // Copies a file of the build's bin folder into this folder.
  void CopyFromBinaries(const std::wstring& fileName) const;
  // Copies a folder of the build's bin folder, with everything below it.
  bool CopyFolderFromBinaries(const std::wstring& folderName) const;
  void Touch(const std::wstring& fileName) const;

private:
  std::wstring m_path;
};

// Polls `condition` (serving this thread's windows in between) until it holds or time runs out.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Top-level windows with this exact title (hidden ones included).
std::vector<HWND> WindowsTitled(const wchar_t* title);
HWND WaitForWindow(const wchar_t* title, DWORD timeoutMs);

// Ends every running instance of the program and waits until its mutex is gone.
void EndAllInstances();

// The value of a trace record, or nothing when the key is absent.
std::optional<std::wstring> ReadTrace(const std::wstring& file, const std::wstring& section,
                                      const std::wstring& key);

// Lines of a UTF-8 text file (empty when missing).
std::vector<std::wstring> ReadUtf8Lines(const std::wstring& file);

constexpr DWORD kProcessTimeoutMs = 20000;

}  // namespace vxtest
