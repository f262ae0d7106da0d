#include "push/PushWnd.h"

#include <shellapi.h>
#include <windowsx.h>

#include <utility>

#include "common/DirectoryTree.h"
#include "common/Dpi.h"
#include "common/TraceRecord.h"

using Lumi::CControlUI;
using Lumi::TEventUI;

namespace {

constexpr wchar_t kSkin[] = L"PersonalCenter//Push.xml";
constexpr int kCloseButtonStrip = 31;  // the top strip's right end, where the close button sits

template <class Control>
Control* Find(Lumi::CPaintManagerUI& manager, const wchar_t* name) {
  return dynamic_cast<Control*>(manager.FindControl(name));
}

void SetTextAndTip(CControlUI* control, const std::wstring& text) {
  if (!control) return;
  control->SetText(text.c_str());
  control->SetToolTip(text.c_str());
}

void SetVisible(CControlUI* control, bool visible) {
  if (control) control->SetVisible(visible);
}

bool IsWebAddress(const std::wstring& address) {
  const auto startsWith = [&](const wchar_t* prefix) { return ::_wcsnicmp(address.c_str(), prefix, wcslen(prefix)) == 0; };
  return startsWith(L"http://") || startsWith(L"https://");
}

}  // namespace

CPushWnd::CPushWnd(ReminderContextSource context) : m_context(std::move(context)) {}

// Made at 100 % in the corner of the work area; the window learns its monitor's scale as it is
// made (WM_CREATE) and then takes its size at that scale, in the corner of that monitor's work area.
bool CPushWnd::CreatePopup() {
  RECT workArea = {};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  if (!Create(nullptr, L"", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, workArea.right - kWidth,
              workArea.bottom - kHeight, kWidth, kHeight)) {
    return false;
  }
  PlaceInCorner();
  return true;
}

void CPushWnd::PlaceInCorner() {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (!::GetMonitorInfoW(::MonitorFromWindow(GetHWND(), MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const int width = m_paintManager.Scale(kWidth), height = m_paintManager.Scale(kHeight);
  const RECT wanted = {monitor.rcWork.right - width, monitor.rcWork.bottom - height, monitor.rcWork.right,
                       monitor.rcWork.bottom};
  RECT now = {};
  ::GetWindowRect(GetHWND(), &now);
  if (::EqualRect(&now, &wanted)) return;
  ::SetWindowPos(GetHWND(), nullptr, wanted.left, wanted.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The monitor's scale changed, or the pop-up was dragged to a monitor of another scale: the
// skin is laid out and its fonts made at the new scale, in the rectangle the system suggests.
void CPushWnd::OnDpiChanged(UINT dpi, const RECT& suggested) {
  GetPaintManager().SetDpi(dpi);
  ::SetWindowPos(GetHWND(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (HasSkin()) RedrawLayered();
}

// ---------------------------------------------------------------------------------------------
// The window

LRESULT CPushWnd::OnCreateMessage(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = TRUE;
  Lumi::CPaintManagerUI& manager = GetPaintManager();
  manager.Init(GetHWND());
  manager.SetDpi(WindowDpi(GetHWND()));  // before the skin is built: its fonts are made at this scale
  manager.AddNotifier(this);
  return 0;
}

// The skin, its fonts and pictures are made only when a reminder is to be shown and let go
// when the viewer closes the pop-up: a program that waits all day for the evening keeps none
// of it meanwhile.
bool CPushWnd::LoadSkin() {
  Lumi::CPaintManagerUI& manager = GetPaintManager();
  if (manager.GetRoot()) return true;
  Lumi::CDialogBuilder builder;
  CControlUI* root = builder.Create(kSkin, nullptr, this, &manager);
  if (!root) {
    WriteTrace(L"push window", L"skin", L"missing");
    return false;
  }
  manager.AttachDialog(root);
  FindControls();
  BindEvents();
  SetPagerButtons(m_buttons);
  return true;
}

void CPushWnd::ReleaseSkin() {
  GetPaintManager().ReleaseSkin();
  FindControls();  // all gone
  ReleaseCanvas();
}

bool CPushWnd::HasSkin() const { return m_paintManager.GetRoot() != nullptr; }

void CPushWnd::FindControls() {
  Lumi::CPaintManagerUI& manager = GetPaintManager();
  m_topLabel = manager.FindControl(L"TopLabel");
  m_mid = manager.FindControl(L"mid");
  m_bottom = manager.FindControl(L"bottom");
  m_picture = Find<Lumi::CButtonUI>(manager, L"Button_BkImg");
  m_title = Find<Lumi::CButtonUI>(manager, L"Button_Text");
  m_titleSecond = Find<Lumi::CButtonUI>(manager, L"Button_TextSec");
  m_status = Find<Lumi::CButtonUI>(manager, L"Button_TextSets");
  m_pageLabel = Find<Lumi::CLabelUI>(manager, L"Lable_Page");
  m_left = Find<Lumi::CButtonUI>(manager, L"Button_Left");
  m_right = Find<Lumi::CButtonUI>(manager, L"Button_Right");
  m_play = Find<Lumi::CButtonUI>(manager, L"Button_Play");
  m_tips = Find<Lumi::CButtonUI>(manager, L"Button_TipsImg");
  m_close = Find<Lumi::CButtonUI>(manager, L"ButtonUI_Close");
}

void CPushWnd::BindEvents() {
  for (Lumi::CButtonUI* opener : {m_title, m_titleSecond, m_status, m_picture, m_tips, m_play}) {
    if (!opener) continue;
    opener->Subscribe(Lumi::EventClick, Lumi::MakeDelegate(this, &CPushWnd::OnOpenClicked));
    opener->SetHandCursor(true);
  }
  SetVisible(m_titleSecond, false);
  SetVisible(m_tips, false);
  if (m_status) m_status->SetText(L"");
  if (m_play) m_play->SetToolTip(L"立即观看");
  if (m_picture) m_picture->Subscribe(Lumi::EventFocusIn, Lumi::MakeDelegate(this, &CPushWnd::OnPictureHovered));
  if (m_tips) m_tips->Subscribe(Lumi::EventFocusOut, Lumi::MakeDelegate(this, &CPushWnd::OnTipsLeft));
  if (m_left) {
    m_left->Subscribe(Lumi::EventClick, Lumi::MakeDelegate(this, &CPushWnd::OnPrevPage));
    m_left->SetEnabled(false);
  }
  if (m_right) m_right->Subscribe(Lumi::EventClick, Lumi::MakeDelegate(this, &CPushWnd::OnNextPage));
  if (m_close) m_close->Subscribe(Lumi::EventClick, Lumi::MakeDelegate(this, &CPushWnd::OnCloseClicked));
}

LRESULT CPushWnd::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  if (message == WM_NCHITTEST && IsOnDragStrip(lParam)) {
    handled = TRUE;
    return HTCAPTION;
  }
  if (message == WM_SHOWWINDOW && wParam == 1) RedrawLayered();
  if (message == WM_WINDOWPOSCHANGED && (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW)) OnShown();
  if (message == WM_DPICHANGED && lParam) {
    handled = TRUE;
    OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    return 0;
  }
  return CWindowTransparentBase::OnWindowMessage(message, wParam, lParam, handled);
}

bool CPushWnd::IsOnDragStrip(LPARAM screenPoint) const {
  if (!m_topLabel) return false;
  POINT point = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  ::ScreenToClient(GetHWND(), &point);
  RECT strip = m_topLabel->GetPos();
  strip.right -= m_paintManager.Scale(kCloseButtonStrip);
  return ::PtInRect(&strip, point) != FALSE;
}

bool CPushWnd::ShowReminders(std::unique_ptr<ReminderList> list) {
  m_reminders.clear();
  m_pager.Reset(0);
  if (!list) return false;
  m_reminders = InDisplayOrder(std::move(*list));
  m_pager.Reset(static_cast<int>(m_reminders.size()));
  return ShowFirstPage();
}

void CPushWnd::AddPicture(std::unique_ptr<ReminderPicture> picture) {
  if (picture && !picture->path.empty()) m_pictures.push_back(std::move(*picture));
}

const std::wstring* CPushWnd::PictureOf(int albumId) const {
  for (const ReminderPicture& picture : m_pictures) {
    if (picture.albumId == albumId) return &picture.path;
  }
  return nullptr;
}

// Fills the first page, whatever page the viewer is on: when the list arrives, and again when
// the first album's picture does. A picture may arrive before any list: then there is nothing.
bool CPushWnd::ShowFirstPage() {
  if (!m_firstPicture || m_reminders.empty()) return false;
  LoadSkin();  // without it the pop-up still shows, empty, as it always has
  const ReminderItem& first = m_reminders.front();
  const std::wstring* picture = PictureOf(first.albumId);
  m_firstPageHasPicture = picture && m_picture;
  if (m_firstPageHasPicture) {
    m_picture->SetBkImage(picture->c_str());
    m_picture->Invalidate();  // the same file may have been written anew
  }
  if (m_firstPageHasPicture && IsShowing()) m_firstPicture = false;  // on screen with its picture now
  FillPage(first);
  SetTextAndTip(m_pageLabel, PageCounterText(1, m_pager.Count()));
  return true;
}

void CPushWnd::Popup() { ShowWindow(true, false); }

void CPushWnd::Conceal() { ShowWindow(false); }

bool CPushWnd::IsShowing() const { return GetHWND() && ::IsWindowVisible(GetHWND()); }

void CPushWnd::OnShown() {
  if (m_firstPageHasPicture) m_firstPicture = false;
  if (m_events) m_events->OnReminderShown();
}

void CPushWnd::FillPage(const ReminderItem& item) {
  const std::wstring& title = item.albumName;
  int fits = static_cast<int>(title.size());
  if (m_titleSecond) {
    const int fixed = m_titleSecond->GetFixedWidth();
    const int width = fixed > 0 ? GetPaintManager().Scale(fixed) : m_titleSecond->GetPos().GetWidth();
    fits = GetPaintManager().GetTruncatedStringPos(title.c_str(), width, m_titleSecond->GetFont());
  }
  SetTextAndTip(m_title, title);
  if (fits >= 0 && fits < static_cast<int>(title.size())) {
    SetTextAndTip(m_titleSecond, title.substr(static_cast<size_t>(fits)));
    SetVisible(m_titleSecond, true);
  } else {
    SetVisible(m_titleSecond, false);
  }
  if (const auto status = ReminderStatusText(item.channelId, item.videoOrder, item.mpdNumber)) {
    SetTextAndTip(m_status, *status);
  }
}

void CPushWnd::ShowPage(int page) {
  if (page < 0 || page >= static_cast<int>(m_reminders.size())) return;
  const ReminderItem& item = m_reminders[static_cast<size_t>(page)];
  SetTextAndTip(m_pageLabel, PageCounterText(page + 1, m_pager.Count()));
  if (const std::wstring* picture = PictureOf(item.albumId); picture && m_picture) m_picture->SetBkImage(picture->c_str());
  FillPage(item);
}

void CPushWnd::SetPagerButtons(const PagerButtons& buttons) {
  m_buttons = buttons;
  if (m_left) m_left->SetEnabled(buttons.leftEnabled);
  if (m_right) m_right->SetEnabled(buttons.rightEnabled);
}

bool CPushWnd::OnPrevPage(TEventUI&) {
  const PageTurn turn = m_pager.Previous();
  if (turn.buttons) SetPagerButtons(*turn.buttons);
  if (turn.pageChanged) ShowPage(m_pager.Page());
  return true;
}

bool CPushWnd::OnNextPage(TEventUI&) {
  const PageTurn turn = m_pager.Next();
  if (turn.buttons) SetPagerButtons(*turn.buttons);
  if (turn.pageChanged) ShowPage(m_pager.Page());
  return true;
}

bool CPushWnd::OnOpenClicked(TEventUI&) {
  OpenCurrentReminder();
  return true;
}

bool CPushWnd::OnPictureHovered(TEventUI&) {
  SetVisible(m_tips, true);
  return true;
}

bool CPushWnd::OnTipsLeft(TEventUI&) {
  SetVisible(m_tips, false);
  return true;
}

bool CPushWnd::OnCloseClicked(TEventUI&) {
  ShowWindow(false);
  ReleaseSkin();
  if (m_events) m_events->OnReminderClosed();
  return true;
}

// The client opens the album when it is installed; otherwise the album's web page opens in the
// browser, but only a web address: the feed must not be able to start programs or open files.
void CPushWnd::OpenCurrentReminder() {
  const int page = m_pager.Page();
  if (page < 0 || page >= static_cast<int>(m_reminders.size())) return;
  const ReminderItem& item = m_reminders[static_cast<size_t>(page)];
  const std::wstring client = m_context ? m_context().clientExePath : std::wstring();
  if (client.empty()) {
    if (IsWebAddress(item.videoUrl)) ::ShellExecuteW(nullptr, L"open", item.videoUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return;
  }
  // "change=" (not the shortcuts' "charge=") is what the client reads from a reminder.
  const std::wstring command = L" DeskFavor;id=" + std::to_wstring(item.albumId) + L":type=1:change=0:name=" + item.tvName;
  if (IsFile(client)) ::ShellExecuteW(nullptr, L"open", client.c_str(), command.c_str(), nullptr, SW_SHOW);
}

// ---------------------------------------------------------------------------------------------
// Painting: the three strips straight onto the target, then the whole tree, made opaque, over
// everything but a one-pixel border. The target is the kept picture, clipped to the area being
// repainted and made transparent there.

void CPushWnd::PaintContent(HDC target, const RECT& area) {
  RECT dirty = {};
  if (::GetClipBox(target, &dirty) == NULLREGION) return;
  for (CControlUI* strip : {m_topLabel, m_mid, m_bottom}) {
    if (strip) strip->DoPaint(target, strip->GetPos());
  }
  CControlUI* root = GetPaintManager().GetRoot();
  RECT inner = {area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
  RECT inside = {};
  if (!root || !::IntersectRect(&inside, &inner, &dirty)) return;

  // Inside the border the tree is painted on nothing, as if on a bitmap of its own.
  m_canvas.Clear(inside);
  const int saved = ::SaveDC(target);
  ::IntersectClipRect(target, inside.left, inside.top, inside.right, inside.bottom);
  root->DoPaint(target, inside);
  ::RestoreDC(target, saved);
  m_canvas.MakeOpaque(inside);
}
