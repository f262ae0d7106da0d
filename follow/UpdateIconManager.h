// Badges the shortcuts of albums with news and takes the badge off the others, from one
// list of updated albums.
#pragma once

#include <string>
#include <vector>

#include "favorites/ShortcutStore.h"

struct UpdateIconItem {
  int AlbumID = 0;
  std::wstring AlbumName;
  // Filled from the album's stored shortcut by MatchUpdates.
  std::wstring LnkPath;
  std::wstring VideoUrl;
  int InfoType = 0;
  std::wstring StartupParams;
  std::wstring IconName;
  ShortcutKey StoredKey;  // the row's key in the store
};

class CUpdateIconManager {
public:
  // Copies the list and loads the stored shortcuts whose .lnk exists.
  explicit CUpdateIconManager(std::vector<UpdateIconItem> updates);

  void UpdateIcons();
  void RestoreIcons();
  bool MatchUpdates();
  static bool BadgeIconExists(const std::wstring& iconName, int albumId);
  static bool IsBadgeIcon(const std::wstring& iconName);

  const std::vector<UpdateIconItem>& Updates() const { return m_updates; }

private:
  std::vector<UpdateIconItem> m_updates;
  std::vector<DeskShortcut> m_shortcuts;
};
