#include "favorites/ShortcutLink.h"

#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <cwchar>

#include "common/ComScope.h"
#include "common/DirectoryTree.h"
#include "common/FileReplace.h"
#include "common/PathText.h"
#include "common/TraceRecord.h"
#include "favorites/HostPaths.h"
#include "favorites/ShortcutNames.h"

using Microsoft::WRL::ComPtr;

namespace {

std::atomic<bool> g_writesClosed{false};

constexpr wchar_t kTraceSection[] = L"tailcast";
constexpr wchar_t kLinkCreated[] = L"创建CLSID_ShellLink成功！";
constexpr wchar_t kLinkReleased[] = L"释放CLSID_ShellLink成功！";
constexpr wchar_t kLinkRefused[] = L"创建CLSID_ShellLink失败！";

bool SamePath(const std::wstring& a, const std::wstring& b) { return ::_wcsicmp(a.c_str(), b.c_str()) == 0; }

ComPtr<IShellLinkW> MakeLink(const ShortcutWrite& how) {
  HRESULT result = S_OK;
  ComPtr<IShellLinkW> link = CreateShellLink(&result);
  if (link || !how.retryTraceKey) return link;
  link = CreateShellLink(&result);
  if (!link && result == CLASS_E_NOAGGREGATION) WriteTrace(kTraceSection, how.retryTraceKey, kLinkRefused);
  return nullptr;  // a link object that only a second attempt gave is not trusted
}

bool SaveLink(IShellLinkW* link, const std::wstring& lnkPath) {
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_PPV_ARGS(&file)))) return false;
  return ReplaceFileWith(lnkPath, [&file](const std::wstring& temporary) {
    return SUCCEEDED(file->Save(temporary.c_str(), TRUE));
  });
}

}  // namespace

bool SetLinkTarget(int infoType, const std::wstring& address, ShortcutLinkFields& fields) {
  if (infoType == 0) {
    fields.path = LinkTarget(address);
    fields.workingDir.clear();
    return true;
  }
  if (infoType == 1) {
    fields.path = GetHostPaths().clientExePath;
    fields.workingDir = FolderOf(fields.path);
    return true;
  }
  return false;
}

bool CloseShortcutWrites(DWORD waitMs) {
  // Taken and given back at once: a writer that comes later finds the writes closed. A writer
  // that never lets go must not keep the process from ending: they close at the deadline too.
  const bool taken = ShortcutRewriteLock().try_lock_for(std::chrono::milliseconds(waitMs));
  g_writesClosed = true;
  if (taken) {
    ShortcutRewriteLock().unlock();
  }
  return taken;
}

void ReopenShortcutWrites() { g_writesClosed = false; }

std::recursive_timed_mutex& ShortcutRewriteLock() {
  static std::recursive_timed_mutex* const lock = new std::recursive_timed_mutex;  // lives until the process ends
  return *lock;
}

ComPtr<IShellLinkW> CreateShellLink(HRESULT* result) {
  ComPtr<IShellLinkW> link;
  const HRESULT created = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
  if (result) *result = created;
  if (FAILED(created)) link.Reset();
  return link;
}

bool WriteShortcutLink(const ShortcutLinkFields& fields, const std::wstring& lnkPath, const ShortcutWrite& how) {
  if (lnkPath.empty()) return false;
  ComScope com;  // a thread that already has COM in another mode keeps it; the link object decides
  std::lock_guard writing(ShortcutRewriteLock());
  if (g_writesClosed) return false;
  const ComPtr<IShellLinkW> link = MakeLink(how);
  if (!link) return false;
  if (how.traceKey) WriteTrace(kTraceSection, how.traceKey, kLinkCreated);

  // A web address as the path gives S_FALSE on some shells; the link is still right.
  link->SetPath(fields.path.c_str());
  link->SetWorkingDirectory(fields.workingDir.c_str());
  link->SetArguments(fields.arguments.c_str());
  link->SetIconLocation(fields.iconPath.c_str(), 0);
  link->SetDescription(fields.description.c_str());
  if (how.beforeSave) how.beforeSave();

  const bool renamed = !how.replaces.empty() && !SamePath(how.replaces, lnkPath) && IsFile(how.replaces);
  const std::wstring savedAs = renamed ? how.replaces : lnkPath;
  bool written = SaveLink(link.Get(), savedAs);
  if (written && how.afterSave) written = how.afterSave();
  // Should the process end between the store's write and the move, the next start moves it.
  if (written && renamed) written = MoveFileOver(savedAs, lnkPath);
  if (how.traceKey) WriteTrace(kTraceSection, how.traceKey, kLinkReleased);
  return written;
}

namespace {

// A name of the link's target item; "" when the shell has none of that kind.
std::wstring TargetName(IShellLinkW* link, SIGDN kind) {
  PIDLIST_ABSOLUTE item = nullptr;
  if (FAILED(link->GetIDList(&item)) || !item) return L"";
  PWSTR name = nullptr;
  std::wstring text;
  if (SUCCEEDED(::SHGetNameFromIDList(item, kind, &name)) && name) text = name;
  ::CoTaskMemFree(name);
  ::CoTaskMemFree(item);
  return text;
}

}  // namespace

// A web target is kept as an item of the Internet folder by Windows and as a file item below the
// current folder by Wine: its address is in one of the names, whichever the system gives.
bool ReadShortcutLink(const std::wstring& lnkPath, LinkFacts& facts) {
  ComScope com;
  ComPtr<IShellLinkW> link = CreateShellLink();
  ComPtr<IPersistFile> file;
  if (!link || FAILED(link.As(&file)) || FAILED(file->Load(lnkPath.c_str(), STGM_READ))) return false;
  facts = LinkFacts{};
  facts.file = lnkPath;
  wchar_t text[2048] = {};
  if (SUCCEEDED(link->GetPath(text, ARRAYSIZE(text), nullptr, SLGP_RAWPATH))) facts.targets[0] = text;
  facts.targets[1] = TargetName(link.Get(), SIGDN_URL);
  facts.targets[2] = TargetName(link.Get(), SIGDN_DESKTOPABSOLUTEPARSING);
  facts.targets[3] = TargetName(link.Get(), SIGDN_PARENTRELATIVEPARSING);
  text[0] = L'\0';
  if (SUCCEEDED(link->GetArguments(text, ARRAYSIZE(text)))) facts.arguments = text;
  text[0] = L'\0';
  int iconIndex = 0;
  if (SUCCEEDED(link->GetIconLocation(text, ARRAYSIZE(text), &iconIndex))) facts.iconLocation = text;
  text[0] = L'\0';
  if (SUCCEEDED(link->GetDescription(text, ARRAYSIZE(text)))) facts.description = text;
  return true;
}
