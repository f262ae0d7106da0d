#include "follow/DoGetIco.h"

#include <cstdio>

#include "common/ComScope.h"
#include "common/DirectoryTree.h"
#include "common/TraceRecord.h"
#include "favorites/AlbumIcons.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"
#include "follow/AlbumInfoParser.h"
#include "follow/LatestVideo.h"

namespace {

struct EpisodeTitle {
  std::wstring suffix;  // " 更新至<n>集" or " <n>集全"; empty: the name stays
  bool complete = false;
  bool answered = false;  // the catalogue gave the count (perhaps one that adds nothing)
};

// What the catalogue's episode count adds to the shortcut's name.
EpisodeTitle TitleFromLatestVideo(int albumId) {
  EpisodeTitle result;
  const LatestVideoAnswer answer = FetchLatestVideo(albumId);
  if (answer.status == LatestVideoStatus::Unreadable) {
    WriteTrace(L"Tailcast", L"UpdateName :", L"获取最新集数失败！");
    return result;
  }
  if (answer.status != LatestVideoStatus::Answered) return result;
  result.answered = true;
  const int count = answer.video.video_count();
  const int latest = answer.video.video_count_updateto();
  if (count <= 1) return result;  // a film keeps its name
  result.complete = count == latest;
  wchar_t suffix[64] = {};
  std::swprintf(suffix, 64, result.complete ? L" %d集全" : L" 更新至%d集", result.complete ? count : latest);
  result.suffix = suffix;
  return result;
}

}  // namespace

std::unique_ptr<ITaskSample> CDoGetIco::Make(const IconTaskRequest& request) {
  return std::make_unique<CDoGetIco>(request);
}

void CDoGetIco::Run() {
  const IconTaskRequest& task = m_request;
  WriteTrace(L"tailcast", L"CDogetIcon,infotype is ", std::to_wstring(task.InfoType));
  ComScope com;

  const std::wstring icon = MakeAlbumIconFile(task.AlbumID, task.PicUrl, task.Episodic);
  if (!PathExists(icon)) return;  // the shortcut keeps its provisional icon
  if ((task.Steps & kComposeIcon) || !PathExists(UpdateIconPathFor(icon))) MakeUpdateIconFile(icon);
  const ShortcutKey key = KeyOf(task.AlbumName);
  // A renamed shortcut's row takes its icon with its new name in one write; any other keeps
  // only the icon.
  if ((task.Steps & (kShowAlbumIcon | kCountEpisodes)) && !RewriteWithAlbumIcon(key, icon) &&
      (task.Steps & kShowAlbumIcon)) {
    SetShortcutIconName(key, icon);
  }

  if (task.InfoType == 0 && (task.Steps & kPointAtPlayPage)) {
    CAlbumInfoParser::GetInstance().RequestAlbumInfo(task.AlbumID);
    WriteTrace(L"Tailcast", L"UpdateName :", L"Update first url");
  }
}

// Saves the shortcut with its album icon, under its name with the episode count when the
// catalogue knows one; true when the store took the new name (and the icon with it).
bool CDoGetIco::RewriteWithAlbumIcon(const ShortcutKey& key, const std::wstring& albumIcon) const {
  const IconTaskRequest& task = m_request;
  const EpisodeTitle episodes = (task.Steps & kCountEpisodes) ? TitleFromLatestVideo(task.AlbumID) : EpisodeTitle{};
  const std::wstring desktop = GetDesktopDirectory();
  if (desktop.empty() || task.LnkPath.empty()) return false;  // never rewrite at the drive root
  const std::wstring icon = task.ShownIcon.empty() ? albumIcon : task.ShownIcon;
  if (!(task.Steps & kShowAlbumIcon) && episodes.suffix.empty()) {
    // Counted later and nothing to add (a single episode so far): the title is the name, so
    // that the shortcut counts as complete from now on.
    if (episodes.answered) SetShortcutTitle(key, task.AlbumName, task.LnkPath, 0);
    return false;
  }
  const std::wstring lnk =
      episodes.suffix.empty() ? task.LnkPath : ShortcutPathFor(desktop, task.AlbumName, episodes.suffix);

  const ShortcutLinkFields fields{LinkTarget(task.Target), task.WorkingDir, task.Arguments, icon, task.AlbumName};
  const std::wstring title = task.AlbumName + episodes.suffix;
  bool stored = false;
  ShortcutWrite how;
  how.replaces = task.LnkPath;
  how.traceKey = L"DoGetICon Run";
  // The store names the new file once the shortcut's contents are saved, and the shortcut
  // takes its new name only once the store names it.
  if (!episodes.suffix.empty()) {
    how.afterSave = [&] {
      stored = SetShortcutIconAndTitle(key, icon, title, lnk, episodes.complete ? 1 : 0);
      return stored;
    };
  }
  std::lock_guard writing(ShortcutRewriteLock());
  if (!WriteShortcutLink(fields, lnk, how) || !stored) return false;
  WriteTrace(L"Tailcast", L"UpdateName :", title);
  return true;
}
