// Files that appear whole or not at all: the new contents are written to a temporary file
// beside the target and then moved over it, so a reader never sees a half-written file and
// a failed write keeps the old one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A file made by GetTempFileNameW in `folder` (empty: the current folder), deleted when the
// object goes unless it was moved away. Path() is empty when it could not be made.
class TemporaryFile {
public:
  TemporaryFile(const std::wstring& folder, const wchar_t* prefix);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::wstring& Path() const { return m_path; }
  // Moves the file over `target`; afterwards nothing is left to delete.
  bool MoveTo(const std::wstring& target);

private:
  std::wstring m_path;
};

// `write` fills the (already created, empty) temporary file whose path it is given and
// returns whether it succeeded. The temporary file is gone afterwards either way.
bool ReplaceFileWith(const std::wstring& path, const std::function<bool(const std::wstring& temporary)>& write);

bool ReplaceFileContents(const std::wstring& path, const std::vector<uint8_t>& bytes);

// Moves `from` over `to`, waiting out another program that holds either open for a moment.
bool MoveFileOver(const std::wstring& from, const std::wstring& to);

// A process ended in the middle of ReplaceFileWith leaves its temporary behind: "~vx" and one to
// four hex digits, ".tmp". Removes the files of exactly that form in `folder` last written
// before `writtenBefore` (the start of the process that asks: what another writer is writing
// now stays). Returns how many went.
int RemoveLeftoverTemporaries(const std::wstring& folder, const FILETIME& writtenBefore);
