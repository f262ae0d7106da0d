#include "push/PushWnd.h"

#include <shellapi.h>
#include <windowsx.h>

#include <set>

#include "common/DirectoryTree.h"
#include "common/ScopedGdi.h"
#include "common/ServiceAddress.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/ShortcutStore.h"
#include "follow/PictureCache.h"
#include "follow/UpdateIconManager.h"
#include "platform/RidOdo/RidOdoDll.h"
#include "push/ReminderBookkeeping.h"
#include "push/ReminderFeed.h"
#include "push/ReminderPictureFile.h"
#include "push/ReminderRequest.h"

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

std::set<int32_t> FollowedAlbumIds() {
  std::set<int32_t> ids;
  for (const DeskShortcut& shortcut : LoadDeskShortcuts()) ids.insert(shortcut.albumId);
  return ids;
}

bool IsWebAddress(const std::wstring& address) {
  const auto startsWith = [&](const wchar_t* prefix) { return ::_wcsnicmp(address.c_str(), prefix, wcslen(prefix)) == 0; };
  return startsWith(L"http://") || startsWith(L"https://");
}

}  // namespace

CPushWnd::CPushWnd(ReminderContextSource context)
    : m_context(std::move(context)), m_tasks(std::make_unique<CTaskModule>()) {
  m_tasks->SetCallback(this);
}

// The task module goes first: it waits for running callbacks and drops the later ones.
CPushWnd::~CPushWnd() { m_tasks.reset(); }

bool CPushWnd::CreatePopup() {
  RECT workArea = {};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  return Create(nullptr, L"", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, workArea.right - kWidth,
                workArea.bottom - kHeight, kWidth, kHeight) != nullptr;
}

// ---------------------------------------------------------------------------------------------
// Requests and their answers (the answers arrive on the network thread)

void CPushWnd::RequestReminders(bool forced) {
  m_forced = forced;
  const ReminderContext context = m_context ? m_context() : ReminderContext{};
  SetRequestContext(context);
  if (forced) CReminderBookkeeping(context.clientFolder, ReminderUserKey(context)).MarkIKnow(true);
  m_tasks->GetRes(FeedRequest(context), new CResourceArg(kFeedRequest));
}

void CPushWnd::SetRequestContext(const ReminderContext& context) {
  std::lock_guard<std::mutex> lock(m_contextLock);
  m_requestContext = context;
}

ReminderContext CPushWnd::RequestContext() const {
  std::lock_guard<std::mutex> lock(m_contextLock);
  return m_requestContext;
}

int CPushWnd::OnResCallback(int failed, CResourceArg* arg) {
  std::unique_ptr<CResourceArg> owned(arg);
  if (!owned || failed) return 0;
  if (owned->id == kFeedRequest) OnFeedAnswer(*owned);
  if (owned->id == kPictureRequest) OnPictureAnswer(*owned);
  return 0;
}

void CPushWnd::OnFeedAnswer(const CResourceArg& arg) {
  const std::optional<ParsedReminderFeed> feed = ParseReminderFeed(arg.Buffer(), arg.Length(), FollowedAlbumIds());
  if (!feed) {
    PostToWindow<ReminderList>(kRemindersArrived, nullptr);  // a refused answer empties the pop-up
    return;
  }
  auto list = std::make_unique<ReminderList>();
  std::vector<UpdateIconItem> badges;
  for (const ReminderEntry& entry : feed->kept) {
    list->push_back(ToReminderItem(entry));
    RequestPicture(SmallPictureAddress(WideToAnsi(list->back().tvPic)), entry.albumId);
    UpdateIconItem badge;
    badge.AlbumID = entry.albumId;
    badge.AlbumName = list->back().albumName;
    badges.push_back(std::move(badge));
  }
  // Badges follow a list that names albums: the shortcuts it names get one, the others lose
  // theirs. A list without any album changes no icon.
  if (!badges.empty()) CUpdateIconManager(std::move(badges)).UpdateIcons();
  PostToWindow(kRemindersArrived, std::move(list));
}

void CPushWnd::RequestPicture(const std::string& address, int albumId) {
  std::string cachedPath;
  if (CPictureCache::GetInstance().FindPicture(address, cachedPath)) {
    PostToWindow(kCachedPicture, std::make_unique<ReminderPicture>(ReminderPicture{albumId, AnsiToWide(cachedPath)}));
    return;
  }
  CResourceRequest request;
  request.url = address;
  request.timeoutMs = kPictureTimeoutMs;
  m_tasks->GetRes(request, new CResourceArg(kPictureRequest, 1, albumId));
}

void CPushWnd::OnPictureAnswer(const CResourceArg& arg) {
  const std::wstring path = StoreReminderPicture(RequestContext().clientDataFolder, arg.url, arg.Buffer(), arg.Length());
  std::unique_ptr<ReminderPicture> picture;
  if (!path.empty()) picture = std::make_unique<ReminderPicture>(ReminderPicture{arg.tag, path});
  PostToWindow(kPictureArrived, std::move(picture));
}

template <class Payload>
void CPushWnd::PostToWindow(WPARAM kind, std::unique_ptr<Payload> payload) {
  const HWND window = GetHWND();
  if (!window) return;
  if (::PostMessageW(window, WM_PUSH_REMINDERS, kind, reinterpret_cast<LPARAM>(payload.get()))) payload.release();
}

// ---------------------------------------------------------------------------------------------
// The window (its own thread from here on)

LRESULT CPushWnd::OnCreateMessage(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = TRUE;
  Lumi::CPaintManagerUI& manager = GetPaintManager();
  manager.Init(GetHWND());
  Lumi::CDialogBuilder builder;
  CControlUI* root = builder.Create(kSkin, nullptr, this, &manager);
  if (!root) {
    WriteTrace(L"push window", L"skin", L"missing");
    return 0;
  }
  manager.AttachDialog(root);
  manager.AddNotifier(this);
  FindControls();
  BindEvents();
  RedrawLayered();
  return 0;
}

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
  if (message == WM_PUSH_REMINDERS) {
    handled = TRUE;
    return OnRemindersMessage(wParam, lParam);
  }
  return CWindowTransparentBase::OnWindowMessage(message, wParam, lParam, handled);
}

bool CPushWnd::IsOnDragStrip(LPARAM screenPoint) const {
  if (!m_topLabel) return false;
  POINT point = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  ::ScreenToClient(GetHWND(), &point);
  RECT strip = m_topLabel->GetPos();
  strip.right -= kCloseButtonStrip;
  return ::PtInRect(&strip, point) != FALSE;
}

LRESULT CPushWnd::OnRemindersMessage(WPARAM kind, LPARAM payload) {
  if (kind == kRemindersArrived) ShowReminders(std::unique_ptr<ReminderList>(reinterpret_cast<ReminderList*>(payload)));
  if (kind == kCachedPicture) AddPicture(std::unique_ptr<ReminderPicture>(reinterpret_cast<ReminderPicture*>(payload)));
  if (kind == kPictureArrived) {
    AddPicture(std::unique_ptr<ReminderPicture>(reinterpret_cast<ReminderPicture*>(payload)));
    ShowFirstPage();
  }
  return 0;
}

void CPushWnd::ShowReminders(std::unique_ptr<ReminderList> list) {
  m_reminders.clear();
  m_pager.Reset(0);
  if (!list) return;
  m_reminders = InDisplayOrder(std::move(*list));
  m_pager.Reset(static_cast<int>(m_reminders.size()));
  if (!m_reminders.empty()) ShowFirstPage();
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

// Fills and shows the first page, once per run: when the list arrives, and again when the
// first album's picture does. A picture may arrive before any list: then there is nothing to show.
void CPushWnd::ShowFirstPage() {
  if (!m_firstPicture || m_reminders.empty()) return;
  const ReminderItem& first = m_reminders.front();
  if (const std::wstring* picture = PictureOf(first.albumId); picture && m_picture) {
    m_picture->SetBkImage(picture->c_str());
    m_firstPicture = false;
  }
  FillPage(first);
  SetTextAndTip(m_pageLabel, PageCounterText(1, m_pager.Count()));
  if (!m_forced && m_pager.Count() <= 0) return;
  if (!m_forced) {
    const ReminderContext context = m_context ? m_context() : ReminderContext{};
    CReminderBookkeeping(context.clientFolder, ReminderUserKey(context)).MarkShownToday(true);
  }
  m_showingId = fnRidOdoDll()->GenRandomId();
  ShowWindow(true, false);
}

void CPushWnd::FillPage(const ReminderItem& item) {
  const std::wstring& title = item.albumName;
  int fits = static_cast<int>(title.size());
  if (m_titleSecond) {
    const int width = m_titleSecond->GetFixedWidth() > 0 ? m_titleSecond->GetFixedWidth() : m_titleSecond->GetPos().GetWidth();
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
  const std::wstring command = L" DeskFavor;id=" + std::to_wstring(item.albumId) + L":type=1:change=0:name=" + item.tvName;
  if (IsFile(client)) ::ShellExecuteW(nullptr, L"open", client.c_str(), command.c_str(), nullptr, SW_SHOW);
}

// ---------------------------------------------------------------------------------------------
// Painting: the three strips straight onto the target, then the whole tree, made opaque, over
// everything but a one-pixel border.

void CPushWnd::PaintContent(HDC target, const RECT& area) {
  for (CControlUI* strip : {m_topLabel, m_mid, m_bottom}) {
    if (strip) strip->DoPaint(target, strip->GetPos());
  }
  CControlUI* root = GetPaintManager().GetRoot();
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (!root || width <= 2 || height <= 2) return;

  void* bits = nullptr;
  ScopedBitmap bitmap = CreateArgbBitmap(target, width, height, &bits);
  ScopedMemoryDc canvas(::CreateCompatibleDC(target));
  if (!bitmap || !canvas || !bits) return;
  ScopedSelection selection(canvas.Get(), bitmap.Get());
  root->DoPaint(canvas.Get(), area);
  ::GdiFlush();

  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 1; y < height - 1; ++y) {
    for (int x = 1; x < width - 1; ++x) pixels[y * width + x] |= 0xFF000000u;
  }
  ::BitBlt(target, area.left + 1, area.top + 1, width - 2, height - 2, canvas.Get(), 1, 1, SRCCOPY);
}
