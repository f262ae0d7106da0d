#include "favorites/DesktopShortcut.h"

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <mutex>

#include "common/ComScope.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/HostPaths.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"

namespace {

std::wstring ClientFavoriteCommand(const DeskFavorRequest& request, const std::wstring& cleanName) {
  wchar_t prefix[96] = {};
  // "charge=" (not the reminder's "change=") is what the client reads from a shortcut.
  std::swprintf(prefix, 96, L"DeskFavor;id=%d:type=%d:charge=%d:name=", request.AlbumID, request.ClientType,
                request.Charge);
  return prefix + cleanName;
}

std::atomic<IconTaskMaker> g_iconTaskMaker{nullptr};

bool IsEpisodicChannel(int channelId) { return channelId == 2 || channelId == 3 || channelId == 4; }

std::string PictureUrlOf(const DeskFavorRequest& request) {
  return InsertPictureSuffix(WideToAnsi(request.PicUrl), "_128_128");
}

void PostIconTask(const DeskFavorRequest& request, const std::wstring& lnk, const std::wstring& cleanName,
                  const std::wstring& target, const std::wstring& workingDir, const std::wstring& arguments) {
  const IconTaskMaker maker = g_iconTaskMaker.load();
  if (!maker) return;
  CWorkerThread* worker = IconWorker();
  if (!worker) return;
  IconTaskRequest task;
  task.AlbumID = request.AlbumID;
  task.PicUrl = PictureUrlOf(request);
  task.LnkPath = lnk;
  task.AlbumName = cleanName;
  task.Target = target;
  task.WorkingDir = workingDir;
  task.Arguments = arguments;
  task.Episodic = IsEpisodicChannel(request.ChannelID) ? 1 : 0;
  task.InfoType = request.InfoType;
  worker->PostTask(maker(task));
}

// The row, and what completing the favourite later would need should its road fail now.
void Remember(const DeskFavorRequest& request, const std::wstring& lnk, const std::wstring& iconPath,
              const std::wstring& cleanName, const std::wstring& arguments) {
  NewShortcut shortcut;
  shortcut.lnk = lnk;
  shortcut.iconName = iconPath;
  shortcut.albumName = cleanName;
  shortcut.startupParams = arguments;
  shortcut.videoUrl = request.VideoUrl;
  shortcut.sourceName = request.SourceName;
  shortcut.albumId = request.AlbumID;
  shortcut.channelId = request.ChannelID;
  shortcut.sourceCode = request.SourceCode;
  shortcut.tvYear = request.TvYear;
  shortcut.infoType = request.InfoType;
  AddShortcutWithFollowUp(shortcut, FollowUp{KeyOf(cleanName), request.AlbumID, PictureUrlOf(request),
                                              IsEpisodicChannel(request.ChannelID), false});
}

}  // namespace

void SetIconTaskMaker(IconTaskMaker maker) { g_iconTaskMaker.store(maker); }

CWorkerThread* IconWorker() {
  static std::mutex creating;
  static CWorkerThread* worker = nullptr;  // lives until the process ends
  std::lock_guard<std::mutex> lock(creating);
  if (!worker) {
    auto made = std::make_unique<CWorkerThread>();
    if (!made->Start()) return nullptr;
    worker = made.release();
  }
  return worker;
}

std::wstring GetDesktopDirectory() {
  ComScope com;
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) return L"";
  return path;
}

std::wstring CreateDesktopShotCut(const std::wstring& name, std::wstring arguments, const std::wstring& iconPath,
                                  const std::wstring& target, const std::wstring& workingDir) {
  const std::wstring desktop = GetDesktopDirectory();
  if (desktop.empty()) return L"";  // never at the drive root
  // A long album name is cut in the file name only; the description keeps all of it.
  const std::wstring linkPath = ShortcutPathFor(desktop, name);
  const ShortcutLinkFields fields{LinkTarget(target), workingDir, std::move(arguments), iconPath, name};
  ShortcutWrite how;
  how.traceKey = L"CreateDesktopShotCut";
  return WriteShortcutLink(fields, linkPath, how) ? linkPath : L"";
}

int CreateDeskFavor(const DeskFavorRequest* request) {
  if (!request) return 0;
  if (FindShortcutByAlbum(request->AlbumID)) {
    WriteTrace(L"Tailcast:", L"CreateDeskFavor is False: ", L"图标已存在！");
    return 0;
  }
  std::wstring cleanName = request->AlbumName;
  SanitizeFileName(cleanName, L' ');

  ShortcutLinkFields link;
  if (!SetLinkTarget(request->InfoType, request->VideoUrl, link)) return 0;
  const bool web = request->InfoType == 0;
  const std::wstring target = web ? request->VideoUrl : link.path;  // the icon task gets it untagged
  const std::wstring arguments = web ? std::wstring(kSourceTagArguments) : ClientFavoriteCommand(*request, cleanName);
  const std::wstring iconPath = ProvisionalIconPath();
  const std::wstring lnk = CreateDesktopShotCut(cleanName, arguments, iconPath, target, link.workingDir);
  if (lnk.empty()) return 0;  // no row either: it would keep a later request's row from being stored

  Remember(*request, lnk, iconPath, cleanName, arguments);
  PostIconTask(*request, lnk, cleanName, target, link.workingDir, arguments);
  return static_cast<int>(lnk.size());
}
