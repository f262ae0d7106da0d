#include "follow/UpdateIconManager.h"

#include "common/ComScope.h"
#include "common/DirectoryTree.h"
#include "favorites/AlbumIcons.h"
#include "favorites/ShortcutLink.h"

namespace {

// What a shortcut of a badge rewrite keeps; only its icon changes.
struct BadgedShortcut {
  const std::wstring& lnk;
  int infoType;
  const std::wstring& videoUrl;
  const std::wstring& arguments;
  const std::wstring& description;
  const ShortcutKey& key;
};

// Shows `icon` on the shortcut; the store row names it in the same step. The link object gets
// one more try, traced when the shell refuses aggregation.
void ShowIcon(const BadgedShortcut& shortcut, const std::wstring& icon) {
  ShortcutLinkFields fields;
  if (!SetLinkTarget(shortcut.infoType, shortcut.videoUrl, fields)) return;
  fields.arguments = shortcut.arguments;
  fields.iconPath = icon;
  fields.description = shortcut.description;
  ShortcutWrite how;
  how.replaces = shortcut.lnk;
  how.retryTraceKey = L"UpdateIconManager : ";
  how.beforeSave = [&] { SetShortcutIconName(shortcut.key, icon); };
  WriteShortcutLink(fields, shortcut.lnk, how);
}

}  // namespace

CUpdateIconManager::CUpdateIconManager(std::vector<UpdateIconItem> updates)
    : m_updates(std::move(updates)), m_shortcuts(LoadDeskShortcuts()) {}

bool CUpdateIconManager::IsBadgeIcon(const std::wstring& iconName) { return ::IsBadgeIcon(iconName); }

bool CUpdateIconManager::BadgeIconExists(const std::wstring& iconName, int albumId) {
  return PathExists(BadgeIconBeside(iconName, albumId));
}

bool CUpdateIconManager::MatchUpdates() {
  if (m_updates.empty() || m_shortcuts.empty()) return false;
  bool matched = false;
  for (UpdateIconItem& item : m_updates) {
    for (const DeskShortcut& shortcut : m_shortcuts) {
      if (shortcut.albumId != item.AlbumID) continue;
      item.LnkPath = shortcut.lnk;
      item.VideoUrl = shortcut.videoUrl;
      item.InfoType = shortcut.infoType;
      item.IconName = shortcut.iconName;
      item.StartupParams = shortcut.startupParams;
      item.StoredKey = shortcut.key;
      matched = true;
      break;
    }
  }
  return matched;
}

void CUpdateIconManager::UpdateIcons() {
  ComScope com;
  std::lock_guard rewriting(ShortcutRewriteLock());
  // Read again under the lock: another rewrite may have renamed a shortcut since construction.
  m_shortcuts = LoadDeskShortcuts();
  RestoreIcons();
  if (!MatchUpdates() || m_updates.empty()) return;

  for (const UpdateIconItem& item : m_updates) {
    if (!PathExists(item.LnkPath) || item.AlbumID == 0 || item.IconName.empty()) continue;
    if (!BadgeIconExists(item.IconName, item.AlbumID)) continue;
    // The store row is found by its own (cleaned) name: the reminder's name may differ, and a
    // badge the store does not know of would never be taken off again.
    ShowIcon({item.LnkPath, item.InfoType, item.VideoUrl, item.StartupParams, item.AlbumName, item.StoredKey},
             BadgeIconBeside(item.IconName, item.AlbumID));
  }
}

void CUpdateIconManager::RestoreIcons() {
  std::lock_guard rewriting(ShortcutRewriteLock());
  for (const DeskShortcut& shortcut : m_shortcuts) {
    bool stillUpdated = false;
    for (const UpdateIconItem& item : m_updates) stillUpdated = stillUpdated || item.AlbumID == shortcut.albumId;
    if (stillUpdated || !IsBadgeIcon(shortcut.iconName)) continue;
    if (!PathExists(shortcut.lnk)) continue;  // renamed or removed meanwhile: never bring it back
    ShowIcon({shortcut.lnk, shortcut.infoType, shortcut.videoUrl, shortcut.startupParams, shortcut.albumName,
              shortcut.key},
             AlbumIconBeside(shortcut.iconName, shortcut.albumId));
  }
}
