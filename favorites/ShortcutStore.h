// The remembered desk favourites, in the "shortcut" table of "vexo_shortCut.dll" in the
// client folder. Every operation holds one process-wide lock from start to end and
// fails silently. Texts are bytes in the system ANSI code page.
#pragma once

#include <string>
#include <vector>

#include "favorites/ShortcutRecord.h"

// The table's name and exact layout, shared with older and other versions of the file.
extern const char kShortcutTable[];
std::string ShortcutCreateText();
std::string ShortcutReplaceText();

// Where the store lies: the client folder + "\vexo_shortCut.dll".
std::wstring ShortcutStorePath();

// Stores a new favourite unless a row of that album name exists.
void AddShortcut(const std::string& lnk, const std::string& iconName, const std::string& tips, int albumId,
                 int channelId, int finished, const std::string& albumName, const std::string& startupParams,
                 const std::string& videoUrl, const std::string& sourceName, int sourceCode, int tvYear,
                 int infoType);

// Appends the stored favourites whose .lnk file still exists.
void LoadShortcuts(std::vector<ShortcutRecord>& shortcuts);

void SetShortcutIconName(const std::string& albumName, const std::string& iconName);
void SetShortcutVideoUrl(const std::string& albumName, const std::string& videoUrl);
void SetShortcutTitle(const std::string& albumName, const std::string& tips, const std::string& lnk, int finished);

// For tests: the same operations against another store file (UTF-16 path).
class CShortcutStore {
public:
  explicit CShortcutStore(std::wstring path);
  void Add(const ShortcutRecord& record);
  void Load(std::vector<ShortcutRecord>& shortcuts);
  void SetIconName(const std::string& albumName, const std::string& iconName);
  void SetVideoUrl(const std::string& albumName, const std::string& videoUrl);
  void SetTitle(const std::string& albumName, const std::string& tips, const std::string& lnk, int finished);

private:
  std::wstring m_path;
};
