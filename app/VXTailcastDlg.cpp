#include "app/VXTailcastDlg.h"

#include <shellapi.h>

#include <memory>
#include <utility>

#include "app/AboutDlg.h"
#include "app/Autostart.h"
#include "app/ControlWindowHandle.h"
#include "app/Environment.h"
#include "app/LayerWiring.h"
#include "app/Messages.h"
#include "app/Pingbacks.h"
#include "app/ProcessEnd.h"
#include "app/StartupTrace.h"
#include "app/resource.h"
#include "common/Dpi.h"
#include "common/Logger.h"
#include "common/ScopedWin.h"
#include "common/TraceRecord.h"
#include "common/WindowPost.h"
#include "favorites/FavoriteIntake.h"
#include "favorites/InterruptedWrites.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutStore.h"
#include "follow/AlbumInfo.h"
#include "follow/DesktopUrlUpdater.h"

namespace {

HINSTANCE ProgramInstance() { return ::GetModuleHandleW(nullptr); }

// The program icon's image for the small-icon size at the system's scale (the taskbar's), not
// the 32-pixel one shrunk by the shell: the icon carries 16 to 64 pixel images for that.
HICON LoadTrayIcon() {
  const int size = SmallIconSize(SystemDpi());
  return static_cast<HICON>(
      ::LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
}

std::wstring LoadResourceString(UINT id) {
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(ProgramInstance(), id, reinterpret_cast<wchar_t*>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace

CVXTailcastDlg::CVXTailcastDlg() : CDialog(IDD_TAILCAST_DIALOG, nullptr) {
  m_icon = static_cast<HICON>(::LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                           LR_DEFAULTSIZE | LR_SHARED));
  m_trayIcon.Reset(LoadTrayIcon());
  m_autostart = CEnvironment::GetInstance().IsAutostartRegistered();
  m_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
}

CVXTailcastDlg::~CVXTailcastDlg() {
  WithdrawControlWindow(GetSafeHwnd());
  DiscardPosted(GetSafeHwnd(), WM_TAILCAST_RUN_POSTED,
                [](WPARAM, LPARAM work) { TakePosted<std::function<void()>>(work); });
}

BOOL CVXTailcastDlg::OnInitDialog() {
  ::SetWindowTextW(GetSafeHwnd(), kControlWindowTitle);
  AllowCopyDataFromLowerIntegrity();
  AddAboutItemToSystemMenu();
  ::SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
  ::SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
  PublishControlWindow(GetSafeHwnd());
  // The window is never shown, so it takes no keyboard focus: focusing it would set up the
  // input method (and load COM) before the message loop runs, for nothing.
  return FALSE;
}

// A client running at low integrity may hand favourites over; the filter call exists
// only from Windows 7 on, so it is looked up at run time.
void CVXTailcastDlg::AllowCopyDataFromLowerIntegrity() {
  using ChangeFilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  ScopedLibrary user32(::LoadLibraryW(L"user32.dll"));
  if (!user32) return;
  const auto change = reinterpret_cast<ChangeFilterFn>(
      reinterpret_cast<void*>(::GetProcAddress(user32.Get(), "ChangeWindowMessageFilterEx")));
  if (change) change(GetSafeHwnd(), WM_COPYDATA, 1 /* MSGFLT_ALLOW */, nullptr);
}

void CVXTailcastDlg::AddAboutItemToSystemMenu() {
  const HMENU systemMenu = ::GetSystemMenu(GetSafeHwnd(), FALSE);
  const std::wstring aboutText = LoadResourceString(IDS_ABOUTBOX);
  if (!systemMenu || aboutText.empty()) return;
  ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
}

bool CVXTailcastDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == m_taskbarCreated && m_taskbarCreated != 0) {
    OnTaskbarCreated();
    return true;
  }
  switch (message) {
    case WM_SYSCOMMAND:
      return OnSysCommand(wParam);
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(m_icon);
      return true;
    case WM_COPYDATA:
      result = OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == ID_TRAY_EXIT) {
        OnTrayExit();
        return true;
      }
      if (LOWORD(wParam) == ID_TRAY_AUTOSTART) {
        OnToggleAutostart();
        return true;
      }
      return false;
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
      return true;
    case WM_TRAY_NOTIFY:
      result = OnTrayNotify(lParam);
      return true;
    case WM_TAILCAST_COMMAND:
      result = OnTailcastCommand(wParam, lParam);
      return true;
    case WM_TAILCAST_RUN_POSTED: {
      const std::unique_ptr<std::function<void()>> work = TakePosted<std::function<void()>>(lParam);
      if (work && *work) (*work)();
      return true;
    }
    case WM_DESTROY:
      WithdrawControlWindow(GetSafeHwnd());
      return false;
    case WM_TAILCAST_UNINSTALL:
      OnUninstall();
    default:
      return false;
  }
}

bool CVXTailcastDlg::OnSysCommand(WPARAM command) {
  if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
  CAboutDlg about(GetSafeHwnd());
  about.DoModal(ProgramInstance());
  return true;
}

// The window must never be seen: every paint hides it first.
bool CVXTailcastDlg::OnPaint() {
  const HWND window = GetSafeHwnd();
  ::ShowWindow(window, SW_HIDE);
  if (!::IsIconic(window)) return false;  // the dialog's own painting

  PAINTSTRUCT paint = {};
  const HDC dc = ::BeginPaint(window, &paint);
  ::SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client = {};
  ::GetClientRect(window, &client);
  const int left = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int top = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, left, top, m_icon);
  ::EndPaint(window, &paint);
  return true;
}

LRESULT CVXTailcastDlg::OnCopyData(const COPYDATASTRUCT* record) {
  if (!record || !record->lpData) {
    WriteTrace(L"Tailcast:", L"CopyData ", L"is false!");
    return 0;
  }
  // 410 is part of the line as the service's log readers know it, not this file's line number.
  NetworkLogger().Log(LOG_LEVEL_ERROR, "%s(%d) copy data: %d", "CVXTailcastDlg::OnCopyData", 410,
                      static_cast<int>(record->dwData));
  const std::wstring text = HandoffTextOf(*record);
  WriteTrace(L"Tailcast:", L"CopyData IS :", text);
  GetDataInfoManager(text);
  return 1;
}

LRESULT CVXTailcastDlg::OnTailcastCommand(WPARAM code, LPARAM lParam) {
  if (code == CMD_STARTUP_WORK) OnStartupWork();
  if (code == CMD_CREATE_DESKFAVOR) OnCreateDeskFavorCommand(reinterpret_cast<const HandoffText*>(lParam));
  if (code == CMD_UPDATE_SHORTCUT_URL) OnUpdateShortcutUrl(reinterpret_cast<const AlbumInfo*>(lParam));
  return 1;
}

// The catalogue's answer for a new web favourite: its play page, unless the user's play
// history knows a later episode. The updater lives as long as the play history still
// answers to it.
void CVXTailcastDlg::OnUpdateShortcutUrl(const AlbumInfo* album) {
  if (!album) return;
  auto updater = std::make_shared<CDesktopUrlUpdater>(2);
  updater->QueryPlayRecords(CurrentLogin());
  updater->DoUpdateVideoUrl(album->AlbumID, album->PlayUrl);
  MarkPlayPageKnown(album->AlbumID);  // the catalogue has answered: nothing left to complete there
}

bool CVXTailcastDlg::PostWork(std::function<void()> work) {
  return PostOwned(GetSafeHwnd(), WM_TAILCAST_RUN_POSTED, 0, std::make_unique<std::function<void()>>(std::move(work)));
}

// Nothing of the start-up work is needed before the message loop runs, so all of it runs as
// the loop's first work, in the same order: the window answers at once, and the start
// pingback, the client start or tray icon, the web player's favourite and the reminders
// follow as before. GDI+ and the network stack load only then.
void CVXTailcastDlg::OnStartupWork() {
  if (!PostWork([this] { OnStartupWorkAfterLoopStarts(); })) OnStartupWorkAfterLoopStarts();
}

void CVXTailcastDlg::OnStartupWorkAfterLoopStarts() {
  const CStartupMemoryTrace memory(StartupTraceFile());
  memory.After(L"loop");
  PutRightInterruptedWrites();
  memory.After(L"interrupted writes");
  StartGdiplus();
  memory.After(L"GDI+");
  SendStartPingback();
  memory.After(L"start pingback");
  StartClientOrShowTrayIcon();
  memory.After(L"client or tray icon");
  TakeFlashFavorite();
  memory.After(L"Flash favourite");
  StartReminders(GetSafeHwnd());
  memory.After(L"reminders");
  TraceStartupWorkDone(StartupTraceFile());
}

// The tray icon is the program's face only when the client neither runs nor can be started.
void CVXTailcastDlg::StartClientOrShowTrayIcon() {
  CEnvironment& environment = CEnvironment::GetInstance();
  if (environment.IsClientRunning()) return;
  const std::wstring client = environment.GetClientExePath();
  if (!client.empty()) {
    const auto started = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", client.c_str(), L"InstStart", nullptr, SW_SHOW));
    if (started > 32) return;
  }
  m_tray.Add(GetSafeHwnd(), m_trayIcon ? m_trayIcon.Get() : m_icon, WM_TRAY_NOTIFY);
}

// The shell (re)started, perhaps after a change of the display's scale: a fresh picture for it.
void CVXTailcastDlg::OnTaskbarCreated() {
  if (ScopedIcon icon(LoadTrayIcon()); icon) m_trayIcon = std::move(icon);
  m_tray.Restore(m_trayIcon.Get());
}

LRESULT CVXTailcastDlg::OnTrayNotify(LPARAM mouseMessage) {
  if (mouseMessage != WM_RBUTTONDOWN) return 1;
  POINT cursor = {};
  ::GetCursorPos(&cursor);
  ScopedMenu menu(::LoadMenuW(ProgramInstance(), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
  const HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
  if (!popup) return 1;
  ::SetForegroundWindow(GetSafeHwnd());
  ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, GetSafeHwnd(), nullptr);
  ::PostMessageW(GetSafeHwnd(), WM_NULL, 0, 0);  // lets the menu close when focus moves away
  return 1;
}

void CVXTailcastDlg::OnInitMenuPopup(HMENU popup) {
  if (::GetMenuState(popup, ID_TRAY_AUTOSTART, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
  ::CheckMenuItem(popup, ID_TRAY_AUTOSTART, MF_BYCOMMAND | (m_autostart ? MF_CHECKED : MF_UNCHECKED));
}

void CVXTailcastDlg::OnToggleAutostart() {
  m_autostart = !m_autostart;
  if (SetAutostart(m_autostart)) return;
  m_autostart = !m_autostart;
  ::MessageBoxW(GetSafeHwnd(), L"请以管理员身份运行程序或者降低UAC权限！", L"开机自动运行程序失败！", MB_ICONEXCLAMATION);
}

void CVXTailcastDlg::OnCreateDeskFavorCommand(const HandoffText* record) {
  if (!record) return;
  const std::wstring text = HandoffTextOf(*record);
  WriteTrace(L"Tailcast", L"CreateDeskFavor Info :", text);
  GetDataInfoManager(text);
}

void CVXTailcastDlg::GetDataInfoManager(const std::wstring& text) {
  // A second start's hand-off may come before the start-up work.
  PutRightInterruptedWrites();
  StartGdiplus();  // the favourite's icon is composed with it
  WriteTrace(L"Tailcast:", L"GetDataInfoManager : ", text);
  TakeFavoriteText(text);
}

// Before the first window of the skin, or the first favourite's icon, whichever the loop
// comes to first: a second start's hand-off may come before the start-up work. Never shut
// down while the process runs: icons may still be composed as it ends.
void CVXTailcastDlg::StartGdiplus() {
  if (!m_gdiplus) m_gdiplus.emplace();
}

// The tray icon goes once the loop has ended (RemoveTrayIcon), beside the end's other waits.
void CVXTailcastDlg::OnTrayExit() {
  SendClosePingback();
  ::PostQuitMessage(0);
}

// Removes every remembered shortcut that is still on the desktop and ends at once; the
// store keeps its rows.
void CVXTailcastDlg::OnUninstall() {
  // A shortcut the icon worker is saving is let finish first, and none is written after the
  // removal, so that none comes back.
  CloseShortcutWrites(kShortcutSaveGraceMs);
  RemoveDeskFavorites();
  EndProcessNow(0);
}
