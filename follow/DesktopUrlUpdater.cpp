#include "follow/DesktopUrlUpdater.h"

#include <cwchar>

#include "common/ComScope.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"
#include "follow/PlayRecordManager.h"
#include "follow/ShortcutCompletion.h"

namespace {

void Trace(const wchar_t* key, const std::wstring& value) { WriteTrace(L"tailcast", key, value); }

int AlbumIdOf(const PlayRecord& record) { return static_cast<int>(std::wcstol(record.albumId.c_str(), nullptr, 10)); }

}  // namespace

// Each scheduled check also completes favourites pinned while the service could not be had.
void CDesktopUrlUpdater::RunOnce(bool& /*result*/) {
  CompleteUnfinishedShortcuts();
  QueryPlayRecords(CPlayRecordManager::LoginNow());
}

void CDesktopUrlUpdater::QueryPlayRecords(const LoginState& login) {
  CPlayRecordManager::GetInstance().Query(shared_from_this(), login);
}

void CDesktopUrlUpdater::OnPlayRecords(const std::vector<PlayRecord>& records) {
  {
    std::lock_guard<std::mutex> lock(m_recordsMutex);
    m_playRecords = records;
  }
  for (const DeskShortcut& shortcut : LoadDeskShortcuts()) {
    for (const PlayRecord& record : records) {
      if (AlbumIdOf(record) != shortcut.albumId || record.videoUrl == shortcut.videoUrl) continue;
      WriteTrace(L"Tailcast", L"GetPlayRecord UpdateRecordUrl is ", record.videoUrl);
      DoUpdateVideoUrl(shortcut.albumId, std::string());
    }
  }
}

std::wstring CDesktopUrlUpdater::GetCurrentRecordUrl(int albumId) {
  std::lock_guard<std::mutex> lock(m_recordsMutex);
  return RecordUrlFor(m_playRecords, albumId);
}

void CDesktopUrlUpdater::DoUpdateVideoUrl(int albumId, const std::string& firstUrl) {
  if (albumId == 0) return;
  ComScope com;
  const std::wstring first = AnsiToWide(firstUrl);
  Trace(L"doupdatevideourl,AlbumID is ", std::to_wstring(albumId));
  Trace(L"doupdatevideourl, first url is ", first);

  std::lock_guard rewriting(ShortcutRewriteLock());
  for (const DeskShortcut& shortcut : LoadDeskShortcutsOfAlbum(albumId)) {
    if (shortcut.infoType != 0) continue;
    // An answer meant for this updater may have gone to one asked later: the play history
    // the program last heard still wins over the play page.
    std::wstring current = GetCurrentRecordUrl(albumId);
    if (current.empty()) current = CPlayRecordManager::GetInstance().LatestRecordUrl(albumId);
    Trace(L"CurrentRecordUrl url is ", current);
    if (current.empty()) {
      if (first.empty()) return;
      Trace(L"update first url", first);
    } else if (current == shortcut.videoUrl) {
      return;
    }
    const std::wstring target = current.empty() ? first : current;
    const ShortcutLinkFields fields{WithSourceTag(target), L"", shortcut.startupParams, shortcut.iconName,
                                    shortcut.albumName};
    ShortcutWrite how;
    how.replaces = shortcut.lnk;
    how.traceKey = L"DoUpdateVideoUrl";
    // The store follows only a shortcut that was really rewritten, so a failed save is
    // tried again with the next answer.
    if (WriteShortcutLink(fields, shortcut.lnk, how)) SetShortcutVideoUrl(shortcut.key, target);
    return;
  }
}

int CDesktopUrlUpdater::OnResCallback(int /*failed*/, CResourceArg* arg) {
  delete arg;
  return 0;
}
