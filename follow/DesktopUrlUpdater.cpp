#include "follow/DesktopUrlUpdater.h"

#include <cstdlib>

#include "common/ComScope.h"
#include "common/DirectoryTree.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/ShellLinkTrace.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"
#include "follow/PlayRecordManager.h"

namespace {

void Trace(const wchar_t* key, const std::wstring& value) { WriteTrace(L"tailcast", key, value); }

}  // namespace

void CDesktopUrlUpdater::QueryPlayRecords() { CPlayRecordManager::Instance().Query(shared_from_this()); }

void CDesktopUrlUpdater::OnPlayRecords(const std::vector<PlayRecord>& records) {
  {
    std::lock_guard<std::mutex> lock(m_recordsMutex);
    m_playRecords = records;
  }
  std::vector<ShortcutRecord> rows;
  LoadShortcuts(rows);
  for (const ShortcutRecord& row : rows) {
    if (!PathExistsAnsi(row.strLNK)) continue;
    for (const PlayRecord& record : records) {
      if (std::atoi(WideToAnsi(record.albumId).c_str()) != row.nAlbumID) continue;
      if (WideToAnsi(record.videoUrl) == row.strVideoURL) continue;
      WriteTrace(L"Tailcast", L"GetPlayRecord UpdateRecordUrl is ", record.videoUrl);
      DoUpdateVideoUrl(row.nAlbumID, std::string());
    }
  }
}

std::wstring CDesktopUrlUpdater::GetCurrentRecordUrl(int albumId) {
  const std::wstring key = std::to_wstring(albumId);
  std::lock_guard<std::mutex> lock(m_recordsMutex);
  for (const PlayRecord& record : m_playRecords) {
    if (record.albumId == key) return record.videoUrl;
  }
  return std::wstring();
}

void CDesktopUrlUpdater::DoUpdateVideoUrl(int albumId, const std::string& firstUrl) {
  if (albumId == 0) return;
  ComScope com;
  Trace(L"doupdatevideourl,AlbumID is ", std::to_wstring(albumId));
  Trace(L"doupdatevideourl, first url is ", AnsiToWide(firstUrl));

  std::lock_guard<std::recursive_mutex> rewriting(ShortcutRewriteLock());
  std::vector<ShortcutRecord> rows;
  LoadShortcuts(rows);
  for (ShortcutRecord& row : rows) {
    if (row.iInfoType != 0 || row.nAlbumID != albumId) continue;
    const std::wstring current = GetCurrentRecordUrl(albumId);
    Trace(L"CurrentRecordUrl url is ", current);
    std::wstring target;
    if (current.empty()) {
      if (firstUrl.empty()) return;
      row.strVideoURL = firstUrl;
      Trace(L"update first url", AnsiToWide(row.strVideoURL));
      target = AnsiToWide(row.strVideoURL);
    } else {
      if (current == AnsiToWide(row.strVideoURL)) return;
      target = current;
    }
    const auto link = CreateShellLink();
    if (!link) continue;  // the next web row of the album may still be rewritten
    Trace(L"DoUpdateVideoUrl", kLinkCreated);

    const std::wstring lnk = AnsiToWide(row.strLNK);
    const ShortcutLinkFields fields{WithSourceTag(target), L"", AnsiToWide(row.strStartupParams),
                                    AnsiToWide(row.strIconName), AnsiToWide(row.strAlbumName)};
    // The store follows only a shortcut that was really rewritten, so a failed save is
    // tried again with the next answer.
    if (SaveShortcutLink(link.Get(), fields, lnk, lnk)) SetShortcutVideoUrl(row.strAlbumName, WideToAnsi(target));
    Trace(L"DoUpdateVideoUrl", kLinkReleased);
    return;
  }
}

int CDesktopUrlUpdater::OnResCallback(int /*failed*/, CResourceArg* arg) {
  delete arg;
  return 0;
}
