#include "follow/ShortcutCompletion.h"

#include <cwchar>
#include <map>

#include "common/DirectoryTree.h"
#include "common/PathText.h"
#include "common/TextConvert.h"
#include "favorites/AlbumIcons.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HostPaths.h"
#include "follow/DoGetIco.h"

namespace {

bool SamePath(const std::wstring& a, const std::wstring& b) { return ::_wcsicmp(a.c_str(), b.c_str()) == 0; }

bool IsEpisodicChannel(int channelId) { return channelId == 2 || channelId == 3 || channelId == 4; }

IconTaskRequest TaskFor(const DeskShortcut& shortcut, const FollowUp* followUp, unsigned steps) {
  IconTaskRequest task;
  task.AlbumID = shortcut.albumId;
  task.PicUrl = followUp ? followUp->picUrl : std::string();
  task.LnkPath = shortcut.lnk;
  task.AlbumName = shortcut.albumName;
  task.Arguments = shortcut.startupParams;
  task.InfoType = shortcut.infoType;
  task.Episodic = (followUp ? followUp->episodic : IsEpisodicChannel(shortcut.channelId)) ? 1 : 0;
  if (shortcut.infoType == 0) {
    task.Target = shortcut.videoUrl;  // where it points now, perhaps an episode played since
  } else {
    task.Target = GetHostPaths().clientExePath;
    task.WorkingDir = FolderOf(task.Target);
  }
  task.Steps = steps;
  if (!SamePath(shortcut.iconName, ProvisionalIconPath())) task.ShownIcon = shortcut.iconName;  // a badge stays
  return task;
}

}  // namespace

unsigned StepsLacking(const DeskShortcut& shortcut, const FollowUp* followUp) {
  unsigned steps = 0;
  const bool provisional = SamePath(shortcut.iconName, ProvisionalIconPath());
  const bool pictureKnown = followUp && !followUp->picUrl.empty();
  const std::wstring albumIcon = AlbumIconFolder() + L"album_" + std::to_wstring(shortcut.albumId) + L".ico";
  const bool canCompose = pictureKnown || IsFile(albumIcon);
  if (provisional && canCompose) steps |= kComposeIcon | kShowAlbumIcon;
  if (!provisional && !IsFile(shortcut.iconName) && canCompose) steps |= kComposeIcon;
  const bool episodic = followUp ? followUp->episodic : IsEpisodicChannel(shortcut.channelId);
  if (episodic && shortcut.tips == AnsiToWide(kNewShortcutTips)) steps |= kCountEpisodes;
  if (shortcut.infoType == 0 && followUp && !followUp->playPageKnown) steps |= kPointAtPlayPage;
  return steps;
}

size_t CompleteUnfinishedShortcuts(size_t most) {
  std::map<std::string, FollowUp> followUps;
  for (FollowUp& followUp : LoadFollowUps()) followUps[followUp.key.bytes] = std::move(followUp);
  size_t handed = 0;
  for (const DeskShortcut& shortcut : LoadDeskShortcuts()) {
    if (handed == most) break;
    const auto found = followUps.find(shortcut.key.bytes);
    const FollowUp* followUp = found == followUps.end() ? nullptr : &found->second;
    const unsigned steps = StepsLacking(shortcut, followUp);
    if (steps == 0) continue;
    CWorkerThread* worker = IconWorker();
    if (!worker) break;
    worker->PostTask(CDoGetIco::Make(TaskFor(shortcut, followUp, steps)));
    ++handed;
  }
  return handed;
}
