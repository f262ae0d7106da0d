#include "follow/UpdateIconManager.h"

#include "app/Environment.h"
#include "common/ComScope.h"
#include "common/DirectoryTree.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"

using Microsoft::WRL::ComPtr;

namespace {

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

std::wstring IconBesides(const std::wstring& iconName, const wchar_t* prefix, int albumId) {
  return FolderOf(iconName) + prefix + std::to_wstring(albumId) + L".ico";
}

// One retry; the shell's refusal to aggregate is the one failure worth a trace.
ComPtr<IShellLinkW> CreateLinkWithRetry() {
  HRESULT result = S_OK;
  ComPtr<IShellLinkW> link = CreateShellLink(&result);
  if (link) return link;
  link = CreateShellLink(&result);
  if (!link && result == CLASS_E_NOAGGREGATION) {
    WriteTrace(L"tailcast", L"UpdateIconManager : ", L"创建CLSID_ShellLink失败！");
  }
  return nullptr;  // skipped either way, as a second attempt is not trusted
}

// The link's target for a stored shortcut kind: false for a kind that is not rewritten.
bool TargetFor(int infoType, const std::wstring& videoUrl, ShortcutLinkFields& fields) {
  if (infoType == 0) {
    fields.path = WithSourceTag(videoUrl);
    fields.workingDir.clear();
    return true;
  }
  if (infoType == 1) {
    fields.path = CEnvironment::Instance().GetClientExePath();
    fields.workingDir = FolderOf(fields.path);
    return true;
  }
  return false;
}

}  // namespace

CUpdateIconManager::CUpdateIconManager(std::vector<UpdateIconItem> updates) : m_updates(std::move(updates)) {
  LoadShortcuts(m_shortcuts);
}

bool CUpdateIconManager::IsBadgeIcon(const std::wstring& iconName) {
  return iconName.substr(iconName.find_last_of(L'\\') + 1).find(L"update") != std::wstring::npos;
}

bool CUpdateIconManager::BadgeIconExists(const std::wstring& iconName, int albumId) {
  return PathExists(IconBesides(iconName, L"updatealbum_", albumId));
}

bool CUpdateIconManager::MatchUpdates() {
  if (m_updates.empty() || m_shortcuts.empty()) return false;
  bool matched = false;
  for (UpdateIconItem& item : m_updates) {
    for (const ShortcutRecord& row : m_shortcuts) {
      if (row.nAlbumID != item.AlbumID) continue;
      item.LnkPath = AnsiToWide(row.strLNK);
      item.VideoUrl = AnsiToWide(row.strVideoURL);
      item.InfoType = row.iInfoType;
      item.IconName = AnsiToWide(row.strIconName);
      item.StartupParams = AnsiToWide(row.strStartupParams);
      item.StoredAlbumName = row.strAlbumName;
      matched = true;
      break;
    }
  }
  return matched;
}

void CUpdateIconManager::UpdateIcons() {
  ComScope com;
  std::lock_guard<std::recursive_mutex> rewriting(ShortcutRewriteLock());
  // Read again under the lock: another rewrite may have renamed a shortcut since construction.
  m_shortcuts.clear();
  LoadShortcuts(m_shortcuts);
  RestoreIcons();
  if (!MatchUpdates() || m_updates.empty()) return;

  for (const UpdateIconItem& item : m_updates) {
    if (!PathExists(item.LnkPath) || item.AlbumID == 0 || item.IconName.empty()) continue;
    if (!BadgeIconExists(item.IconName, item.AlbumID)) continue;
    const ComPtr<IShellLinkW> link = CreateLinkWithRetry();
    if (!link) continue;
    const std::wstring badge = IconBesides(item.IconName, L"updatealbum_", item.AlbumID);
    ShortcutLinkFields fields;
    if (!TargetFor(item.InfoType, item.VideoUrl, fields)) continue;
    fields.arguments = item.StartupParams;
    fields.iconPath = badge;
    fields.description = item.AlbumName;
    // The store row is found by its own (cleaned) name: the reminder's name may differ, and a
    // badge the store does not know of would never be taken off again.
    SaveShortcutLink(link.Get(), fields, item.LnkPath, item.LnkPath,
                     [&] { SetShortcutIconName(item.StoredAlbumName, WideToAnsi(badge)); });
  }
}

void CUpdateIconManager::RestoreIcons() {
  std::lock_guard<std::recursive_mutex> rewriting(ShortcutRewriteLock());
  for (const ShortcutRecord& row : m_shortcuts) {
    bool stillUpdated = false;
    for (const UpdateIconItem& item : m_updates) stillUpdated = stillUpdated || item.AlbumID == row.nAlbumID;
    if (stillUpdated) continue;
    const std::wstring iconName = AnsiToWide(row.strIconName);
    if (!IsBadgeIcon(iconName)) continue;
    if (!PathExists(AnsiToWide(row.strLNK))) continue;  // renamed or removed meanwhile: never bring it back
    const ComPtr<IShellLinkW> link = CreateLinkWithRetry();
    if (!link) continue;
    ShortcutLinkFields fields;
    if (!TargetFor(row.iInfoType, AnsiToWide(row.strVideoURL), fields)) continue;
    fields.arguments = AnsiToWide(row.strStartupParams);
    fields.iconPath = IconBesides(iconName, L"album_", row.nAlbumID);
    fields.description = AnsiToWide(row.strAlbumName);
    const std::wstring lnk = AnsiToWide(row.strLNK);
    SaveShortcutLink(link.Get(), fields, lnk, lnk,
                     [&] { SetShortcutIconName(row.strAlbumName, WideToAnsi(fields.iconPath)); });
  }
}
