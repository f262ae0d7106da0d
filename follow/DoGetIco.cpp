#include "follow/DoGetIco.h"

#include <cwchar>

#include "common/ComScope.h"
#include "common/DirectoryTree.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/IconComposer.h"
#include "favorites/ShellLinkTrace.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"
#include "follow/AlbumInfoParser.h"
#include "follow/LatestVideo.h"

namespace {

struct EpisodeTitle {
  std::wstring title;  // empty: the name stays
  bool complete = false;
};

// The shortcut's new title from the catalogue's episode count.
EpisodeTitle TitleFromLatestVideo(const std::wstring& albumName, int albumId) {
  EpisodeTitle result;
  const LatestVideoAnswer answer = FetchLatestVideo(albumId);
  if (answer.status == LatestVideoStatus::Unreadable) {
    WriteTrace(L"Tailcast", L"UpdateName :", L"获取最新集数失败！");
    return result;
  }
  if (answer.status != LatestVideoStatus::Answered) return result;
  const int count = answer.video.video_count();
  const int latest = answer.video.video_count_updateto();
  if (count <= 1) return result;  // a film keeps its name
  result.complete = count == latest;
  wchar_t title[512] = {};
  std::swprintf(title, 512, result.complete ? L"%ls %d集全" : L"%ls 更新至%d集", albumName.c_str(),
                result.complete ? count : latest);
  result.title = title;
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
  MakeUpdateIconFile(icon);
  const std::string albumName = WideToAnsi(task.AlbumName);
  SetShortcutIconName(albumName, WideToAnsi(icon));

  const EpisodeTitle episodes = TitleFromLatestVideo(task.AlbumName, task.AlbumID);
  const std::wstring desktop = GetDesktopDirectory();
  if (desktop.empty()) return;  // never rewrite at the drive root
  const std::wstring firstLnk = desktop + L"\\" + task.AlbumName + L".lnk";
  const std::wstring lnk = episodes.title.empty() ? firstLnk : desktop + L"\\" + episodes.title + L".lnk";

  {
    std::lock_guard<std::recursive_mutex> rewriting(ShortcutRewriteLock());
    const auto link = CreateShellLink();
    if (!link) return;  // no address request either
    WriteTrace(L"tailcast", L"DoGetICon Run", kLinkCreated);
    const ShortcutLinkFields fields{LinkTarget(task.Target), task.WorkingDir, task.Arguments, icon,
                                    task.AlbumName};
    // The store names the new file only once it is on the desktop.
    if (SaveShortcutLink(link.Get(), fields, lnk, firstLnk) && !episodes.title.empty()) {
      const std::string title = WideToAnsi(episodes.title);
      SetShortcutTitle(albumName, title, WideToAnsi(lnk), episodes.complete ? 1 : 0);
      WriteTrace(L"Tailcast", L"UpdateName :", episodes.title);
    }
    WriteTrace(L"tailcast", L"DoGetICon Run", kLinkReleased);
  }

  if (task.InfoType == 0) {
    CAlbumInfoParser::GetInstance().RequestAlbumInfo(task.AlbumID);
    WriteTrace(L"Tailcast", L"UpdateName :", L"Update first url");
  }
}
