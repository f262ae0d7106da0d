#include "favorites/DesktopShortcut.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <vector>

#include "app/Environment.h"
#include "common/ComScope.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/ShellLinkTrace.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"

using Microsoft::WRL::ComPtr;

namespace {

bool AlbumAlreadyOnDesktop(int albumId) {
  std::vector<ShortcutRecord> shortcuts;
  LoadShortcuts(shortcuts);  // lists only rows whose .lnk exists
  for (const ShortcutRecord& shortcut : shortcuts) {
    if (shortcut.nAlbumID == albumId) return true;
  }
  return false;
}

std::wstring ClientFavoriteCommand(const DeskFavorRequest& request, const std::wstring& cleanName) {
  wchar_t prefix[96] = {};
  std::swprintf(prefix, 96, L"DeskFavor;id=%d:type=%d:charge=%d:name=", request.AlbumID, request.ClientType,
                request.Charge);
  return prefix + cleanName;
}

std::atomic<IconTaskMaker> g_iconTaskMaker{nullptr};

bool IsEpisodicChannel(int channelId) { return channelId == 2 || channelId == 3 || channelId == 4; }

void PostIconTask(const DeskFavorRequest& request, const std::wstring& lnk, const std::wstring& cleanName,
                  const std::wstring& target, const std::wstring& workingDir, const std::wstring& arguments) {
  const IconTaskMaker maker = g_iconTaskMaker.load();
  if (!maker) return;
  CWorkerThread* worker = IconWorker();
  if (!worker) return;
  IconTaskRequest task;
  task.AlbumID = request.AlbumID;
  task.PicUrl = InsertPictureSuffix(WideToAnsi(request.PicUrl), "_128_128");
  task.LnkPath = lnk;
  task.AlbumName = cleanName;
  task.Target = target;
  task.WorkingDir = workingDir;
  task.Arguments = arguments;
  task.Episodic = IsEpisodicChannel(request.ChannelID) ? 1 : 0;
  task.InfoType = request.InfoType;
  worker->PostTask(maker(task).release());
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
  ComScope com;
  if (!com.Succeeded()) return L"";
  const std::wstring taggedTarget = LinkTarget(target);
  const std::wstring desktop = GetDesktopDirectory();
  if (desktop.empty()) return L"";  // never at the drive root
  const std::wstring linkPath = desktop + L"\\" + name + L".lnk";

  const ComPtr<IShellLinkW> link = CreateShellLink();
  if (!link) return L"";
  WriteTrace(L"tailcast", L"CreateDesktopShotCut", kLinkCreated);
  // A web address as the path gives S_FALSE on some shells; the link is still right. The
  // file appears whole: it is written beside its place and moved there.
  const ShortcutLinkFields fields{taggedTarget, workingDir, arguments, iconPath, name};
  const bool saved = SaveShortcutLink(link.Get(), fields, linkPath, std::wstring());
  WriteTrace(L"tailcast", L"CreateDesktopShotCut", kLinkReleased);
  return saved ? linkPath : L"";
}

int CreateDeskFavor(const DeskFavorRequest* request) {
  if (!request) return 0;
  if (AlbumAlreadyOnDesktop(request->AlbumID)) {
    WriteTrace(L"Tailcast:", L"CreateDeskFavor is False: ", L"图标已存在！");
    return 0;
  }
  std::wstring cleanName = request->AlbumName;
  SanitizeFileName(cleanName, L' ');

  std::wstring target, workingDir, arguments;
  switch (request->InfoType) {
    case 0:
      target = request->VideoUrl;
      arguments = kSourceTagArguments;
      break;
    case 1:
      target = CEnvironment::Instance().GetClientExePath();
      workingDir = target.substr(0, target.find_last_of(L'\\') + 1);
      arguments = ClientFavoriteCommand(*request, cleanName);
      break;
    default:
      return 0;
  }
  const std::wstring iconPath = CEnvironment::Instance().GetModuleFolder() + L"\\tcskin\\favorite.ico";
  const std::wstring lnk = CreateDesktopShotCut(cleanName, arguments, iconPath, target, workingDir);

  AddShortcut(WideToAnsi(lnk), WideToAnsi(iconPath), kNewShortcutTips, request->AlbumID, request->ChannelID, 0,
              WideToAnsi(cleanName), WideToAnsi(arguments), WideToAnsi(request->VideoUrl),
              WideToAnsi(request->SourceName), request->SourceCode, request->TvYear, request->InfoType);
  PostIconTask(*request, lnk, cleanName, target, workingDir, arguments);
  return static_cast<int>(lnk.size());
}
