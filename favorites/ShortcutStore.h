// The remembered desk favourites, in the "shortcut" table of "vexo_shortCut.dll" in the
// client folder. Every operation holds one process-wide lock from start to end and
// fails silently. The table keeps its texts as bytes in the system ANSI code page; the
// program reads and updates rows as UTF-16 (DeskShortcut), converted here, and only the
// table's own record (ShortcutRecord) carries the bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "favorites/ShortcutRecord.h"

// The row an update is for: its album name exactly as the store keeps it (the table's key).
struct ShortcutKey {
  std::string bytes;
};
ShortcutKey KeyOf(const std::wstring& albumName);

// A remembered desk favourite as the program works with it: texts in UTF-16, converted from
// and to the store's ANSI bytes inside the store.
struct DeskShortcut {
  std::wstring lnk;
  std::wstring iconName;
  std::wstring albumName;
  std::wstring tips;
  std::wstring startupParams;
  std::wstring videoUrl;
  int albumId = 0;
  int channelId = 0;
  int finished = 0;
  int infoType = 0;
  ShortcutKey key;
};

// The table's name and exact layout, shared with older and other versions of the file.
extern const char kShortcutTable[];
std::string ShortcutCreateText();
std::string ShortcutReplaceText();

// Where the store lies: the client folder + "\vexo_shortCut.dll"; "" before the host paths are set.
std::wstring ShortcutStorePath();

// A new favourite's display title: "Vexo视频" as GBK bytes, stored as they are whatever the
// code page.
inline constexpr char kNewShortcutTips[] = "Vexo\xca\xd3\xc6\xb5";

// A new favourite as its writer hands it to the store: texts in UTF-16, converted to the store's
// ANSI bytes here. It is stored with the new favourite's title (kNewShortcutTips), unfinished.
struct NewShortcut {
  std::wstring lnk;
  std::wstring iconName;
  std::wstring albumName;  // the clean name: the row's key
  std::wstring startupParams;
  std::wstring videoUrl;   // without the source tag
  std::wstring sourceName;
  int albumId = 0;
  int channelId = 0;
  int sourceCode = 0;
  int tvYear = 0;
  int infoType = 0;
};

// Stores a new favourite unless a row of that album name exists.
void AddShortcut(const NewShortcut& shortcut);

// Appends the stored favourites whose .lnk file still exists.
void LoadShortcuts(std::vector<ShortcutRecord>& shortcuts);

// The stored favourites whose .lnk file still exists, in table order.
std::vector<DeskShortcut> LoadDeskShortcuts();
// The stored favourites whose .lnk file is not there, in table order.
std::vector<DeskShortcut> LoadDeskShortcutsWithoutFile();
// The stored favourites of one album whose .lnk file still exists, in table order.
std::vector<DeskShortcut> LoadDeskShortcutsOfAlbum(int albumId);
// The first stored favourite of the album whose .lnk file still exists.
std::optional<DeskShortcut> FindShortcutByAlbum(int albumId);

void SetShortcutIconName(const ShortcutKey& key, const std::wstring& iconName);
void SetShortcutVideoUrl(const ShortcutKey& key, const std::wstring& videoUrl);
void SetShortcutTitle(const ShortcutKey& key, const std::wstring& tips, const std::wstring& lnk, int finished);
// A renamed shortcut: its new name, file and state with its new icon, in one write; false when
// the store did not take it.
bool SetShortcutIconAndTitle(const ShortcutKey& key, const std::wstring& iconName, const std::wstring& tips,
                             const std::wstring& lnk, int finished);

// What completing a favourite later needs besides its row: the album picture its icon is made
// from, whether its episodes are counted, and whether the catalogue has pointed it at its play
// page yet. Kept in the table "followup" beside "shortcut", whose layout stays as it is.
struct FollowUp {
  ShortcutKey key;
  int albumId = 0;
  std::string picUrl;  // ANSI, with the "_128_128" size suffix; "" when not known
  bool episodic = false;
  bool playPageKnown = false;
};

// A new favourite's road begins: replaces what was remembered under that album name.
void RememberFollowUp(const FollowUp& followUp);
// A new favourite: its row (unless a row of that album name exists) and its follow-up, together.
void AddShortcutWithFollowUp(const NewShortcut& shortcut, const FollowUp& followUp);
// The catalogue's album information has reached the album's shortcuts.
void MarkPlayPageKnown(int albumId);
std::vector<FollowUp> LoadFollowUps();

// The table's operations on one store file (UTF-16 path); the functions above use the host's.
class CShortcutStore {
public:
  explicit CShortcutStore(std::wstring path);
  // A row of that album name is kept as it is; the follow-up, when given, is written with the
  // new row in one transaction (and replaces what was remembered for a known one).
  void Add(const ShortcutRecord& record, const FollowUp* followUp = nullptr);
  void Load(std::vector<ShortcutRecord>& shortcuts);
  void LoadWithoutFile(std::vector<ShortcutRecord>& shortcuts);
  void LoadAlbum(int albumId, std::vector<ShortcutRecord>& shortcuts);
  void SetIconName(const std::string& albumName, const std::string& iconName);
  void SetVideoUrl(const std::string& albumName, const std::string& videoUrl);
  void SetTitle(const std::string& albumName, const std::string& tips, const std::string& lnk, int finished);
  bool SetIconAndTitle(const std::string& albumName, const std::string& iconName, const std::string& tips,
                       const std::string& lnk, int finished);
  void RememberFollowUp(const FollowUp& followUp);
  void MarkPlayPageKnown(int albumId);
  void LoadFollowUps(std::vector<FollowUp>& followUps);

private:
  std::wstring m_path;
};
