#include "push/ReminderController.h"

#include <wtsapi32.h>

#include <optional>
#include <set>
#include <utility>
#include <vector>

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

namespace {

constexpr wchar_t kTraceSection[] = L"Reminder";
constexpr UINT WM_FOREGROUND_CHANGED = WM_USER + 2;
constexpr UINT_PTR kRecheckTimer = 1;
constexpr UINT_PTR kForegroundSettledTimer = 2;
// A program that takes the foreground often makes its window full screen a moment later.
constexpr UINT kForegroundSettleMs = 250;

std::set<int32_t> FollowedAlbumIds() {
  std::set<int32_t> ids;
  for (const DeskShortcut& shortcut : LoadDeskShortcuts()) ids.insert(shortcut.albumId);
  return ids;
}

}  // namespace

CReminderController::CReminderController(ReminderContextSource context, CPushWnd& view)
    : m_context(std::move(context)), m_view(view), m_tasks(std::make_unique<CTaskModule>()) {
  m_tasks->SetCallback(this);
  m_view.SetEvents(this);
}

// The task module goes first: it waits for running callbacks and drops the later ones. What
// they posted and nobody took is freed with the window.
CReminderController::~CReminderController() {
  m_tasks.reset();
  m_view.SetEvents(nullptr);
  StopWatching();
  if (m_sessionNotices) ::WTSUnRegisterSessionNotification(GetHWND());
  DiscardPostedResources();
}

bool CReminderController::Start() {
  if (!Create(HWND_MESSAGE, L"", 0, 0, 0, 0, 0, 0)) return false;
  m_sessionNotices = ::WTSRegisterSessionNotification(GetHWND(), NOTIFY_FOR_THIS_SESSION) != FALSE;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Requests and their answers (the answers arrive on the network thread)

void CReminderController::RequestReminders(bool forced) {
  if (!GetHWND()) return;
  m_forced = forced;
  const ReminderContext context = m_context ? m_context() : ReminderContext{};
  SetRequestContext(context);
  if (forced) CReminderBookkeeping(context.clientFolder, ReminderUserKey(context)).MarkIKnow(true);
  m_tasks->GetRes(FeedRequest(context), std::make_unique<CFeedAnswer>());
}

void CReminderController::SetRequestContext(const ReminderContext& context) {
  std::lock_guard<std::mutex> lock(m_contextLock);
  m_requestContext = context;
}

ReminderContext CReminderController::RequestContext() const {
  std::lock_guard<std::mutex> lock(m_contextLock);
  return m_requestContext;
}

// Every argument that comes back was made here, of the class its id names. Read, it goes on
// to the controller's window.
int CReminderController::OnResCallback(int failed, CResourceArg* arg) {
  std::unique_ptr<CResourceArg> owned(arg);
  if (!owned || failed) return 0;
  const int requestId = owned->id;
  if (requestId == CFeedAnswer::kRequestId) ReadFeed(static_cast<CFeedAnswer&>(*owned));
  if (requestId == CPictureAnswer::kRequestId) StorePicture(static_cast<CPictureAnswer&>(*owned));
  PostResource(requestId, std::move(owned));
  return 0;
}

// A refused answer leaves no reminders: the pop-up empties.
void CReminderController::ReadFeed(CFeedAnswer& answer) {
  const std::optional<ParsedReminderFeed> feed =
      ParseReminderFeed(answer.Buffer(), answer.Length(), FollowedAlbumIds());
  if (!feed) return;
  auto list = std::make_unique<ReminderList>();
  std::vector<UpdateIconItem> badges;
  for (const ReminderEntry& entry : feed->kept) {
    list->push_back(ToReminderItem(entry));
    RequestPicture(SmallPictureAddress(WideToAnsi(list->back().tvPic)), entry.albumId, answer);
    UpdateIconItem badge;
    badge.AlbumID = entry.albumId;
    badge.AlbumName = list->back().albumName;
    badges.push_back(std::move(badge));
  }
  // Badges follow a list that names albums: the shortcuts it names get one, the others lose
  // theirs. A list without any album changes no icon.
  if (!badges.empty()) CUpdateIconManager(std::move(badges)).UpdateIcons();
  answer.reminders = std::move(list);
}

// A picture the cache holds travels with the feed's answer; another is asked for.
void CReminderController::RequestPicture(const std::string& address, int albumId, CFeedAnswer& answer) {
  std::string cachedPath;
  if (CPictureCache::GetInstance().FindPicture(address, cachedPath)) {
    answer.cachedPictures.push_back(ReminderPicture{albumId, AnsiToWide(cachedPath)});
    return;
  }
  CResourceRequest request;
  request.url = address;
  request.timeoutMs = kPictureTimeoutMs;
  m_tasks->GetRes(request, std::make_unique<CPictureAnswer>(albumId));
}

void CReminderController::StorePicture(CPictureAnswer& answer) {
  answer.storedPath =
      StoreReminderPicture(RequestContext().clientDataFolder, answer.url, answer.Buffer(), answer.Length());
}

// ---------------------------------------------------------------------------------------------
// The controller's window

LRESULT CReminderController::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_WTSSESSION_CHANGE:
      OnSessionChange(wParam);
      return 0;
    case WM_FOREGROUND_CHANGED:
      ::SetTimer(GetHWND(), kForegroundSettledTimer, kForegroundSettleMs, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam == kForegroundSettledTimer) ::KillTimer(GetHWND(), kForegroundSettledTimer);
      if (wParam == kRecheckTimer || wParam == kForegroundSettledTimer) Recheck();
      return 0;
    default:
      return Lumi::CWindowWnd::HandleMessage(message, wParam, lParam);
  }
}

LRESULT CReminderController::OnResourceMessage(int requestId, CResourceArg* arg) {
  const std::unique_ptr<CResourceArg> owned(arg);
  if (!owned) return 0;
  if (requestId == CFeedAnswer::kRequestId) OnFeedArrived(static_cast<CFeedAnswer&>(*owned));
  if (requestId == CPictureAnswer::kRequestId) OnPictureArrived(static_cast<const CPictureAnswer&>(*owned));
  return 0;
}

void CReminderController::DiscardResource(int, CResourceArg* arg) { delete arg; }

void CReminderController::OnFeedArrived(CFeedAnswer& answer) {
  for (ReminderPicture& cached : answer.cachedPictures) {
    m_view.AddPicture(std::make_unique<ReminderPicture>(std::move(cached)));
  }
  OfferFirstPage(m_view.ShowReminders(std::move(answer.reminders)));
}

// A picture that could not be stored still has the first page filled again.
void CReminderController::OnPictureArrived(const CPictureAnswer& answer) {
  if (!answer.storedPath.empty()) {
    m_view.AddPicture(std::make_unique<ReminderPicture>(ReminderPicture{answer.tag, answer.storedPath}));
  }
  OfferFirstPage(m_view.ShowFirstPage());
}

// The first page was filled (`wanted`): it shows when the request was forced or the batch has
// reminders, as soon as the viewer can take it. A batch that leaves nothing to show ends a wait.
void CReminderController::OfferFirstPage(bool wanted) {
  if (m_view.Reminders().empty() && m_phase == Phase::kWaiting) {
    StopWatching();
    m_phase = Phase::kIdle;
  }
  if (!wanted || (!m_forced && m_view.ReminderCount() <= 0)) return;
  ShowWhenTheViewerCan();
}

void CReminderController::ShowWhenTheViewerCan() {
  const ReminderHold hold = DecideReminderHold(m_screen.Read(m_sessionLocked));
  if (hold != ReminderHold::kNone) {
    Hold(hold);
    return;
  }
  Show();
}

void CReminderController::Hold(ReminderHold hold) {
  if (m_phase != Phase::kWaiting) m_heldSince = ::GetTickCount();
  if (m_phase != Phase::kWaiting || hold != m_heldFor) WriteTrace(kTraceSection, L"Held", HoldReasonText(hold));
  m_phase = Phase::kWaiting;
  m_heldFor = hold;
  m_view.Conceal();
  ::SetTimer(GetHWND(), kRecheckTimer, kRecheckMs, nullptr);
  if (!m_foreground) m_foreground = std::make_unique<CForegroundWatch>(GetHWND(), WM_FOREGROUND_CHANGED);
}

// On screen the pop-up keeps being watched, so that a full-screen window that comes later
// hides it.
void CReminderController::Show() {
  if (m_view.Reminders().empty()) return;
  if (m_phase == Phase::kWaiting) {
    const DWORD waitedSeconds = (::GetTickCount() - m_heldSince) / 1000;
    WriteTrace(kTraceSection, L"ShownAfterWait",
               HoldReasonText(m_heldFor) + L", " + std::to_wstring(waitedSeconds) + L" s");
  }
  m_phase = Phase::kShown;
  m_heldFor = ReminderHold::kNone;
  m_view.Popup();
  ::SetTimer(GetHWND(), kRecheckTimer, kRecheckMs, nullptr);
  if (!m_foreground) m_foreground = std::make_unique<CForegroundWatch>(GetHWND(), WM_FOREGROUND_CHANGED);
}

void CReminderController::StopWatching() {
  if (GetHWND()) {
    ::KillTimer(GetHWND(), kRecheckTimer);
    ::KillTimer(GetHWND(), kForegroundSettledTimer);
  }
  m_foreground.reset();
}

void CReminderController::Recheck() {
  if (m_phase == Phase::kShown && !m_view.IsShowing()) m_phase = Phase::kIdle;  // closed meanwhile
  if (m_phase == Phase::kIdle) {
    StopWatching();
    return;
  }
  const ReminderHold hold = DecideReminderHold(m_screen.Read(m_sessionLocked));
  if (m_phase == Phase::kWaiting && hold == ReminderHold::kNone) Show();
  if (hold != ReminderHold::kNone) Hold(hold);
}

void CReminderController::OnSessionChange(WPARAM change) {
  if (change != WTS_SESSION_LOCK && change != WTS_SESSION_UNLOCK) return;
  m_sessionLocked = change == WTS_SESSION_LOCK;
  Recheck();
}

// The day counts as done only now that the viewer has had the pop-up in front of them.
void CReminderController::OnReminderShown() {
  if (!m_forced) {
    const ReminderContext context = m_context ? m_context() : ReminderContext{};
    CReminderBookkeeping(context.clientFolder, ReminderUserKey(context)).MarkShownToday(true);
  }
  m_showingId = fnRidOdoDll()->GenRandomId();
}

void CReminderController::OnReminderClosed() {
  StopWatching();
  m_phase = Phase::kIdle;
}
