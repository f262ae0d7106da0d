// The reminders' controller: asks the feed, keeps the reminders of followed albums, badges
// their shortcuts, fetches their pictures and hands the pages to the pop-up (CPushWnd) when the
// viewer can take them: never behind a locked screen, in a presentation or over a full-screen
// program. Held pages are tried again every 15 s, at once on unlock and when the foreground
// changes; a pop-up on screen that a full-screen window covers hides and comes back after.
// The feed's answers arrive on the network thread and reach the controller's own
// (message-only) window by message; everything else runs on that window's thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Lumilib/WindowWnd.h"
#include "platform/RidOdo/TaskModule.h"
#include "push/ForegroundWatch.h"
#include "push/PushWnd.h"
#include "push/ReminderContext.h"
#include "push/ReminderMoment.h"
#include "push/ScreenProbe.h"

// Message 1025 to the controller's window and its kinds: the list arrives with wParam 1
// (lParam: a ReminderList taken over, or null to empty the pop-up); a picture already cached
// arrives with wParam 2 and one just downloaded with wParam 3 (lParam: a ReminderPicture taken
// over, or null when the picture could not be stored).
constexpr UINT WM_PUSH_REMINDERS = WM_USER + 1;
constexpr WPARAM kRemindersArrived = 1;
constexpr WPARAM kCachedPicture = 2;
constexpr WPARAM kPictureArrived = 3;

class CReminderController : public Lumi::CWindowWnd, public IResourceCallback, private IReminderViewEvents {
public:
  static constexpr int kFeedRequest = 1000;
  static constexpr int kPictureRequest = 1001;
  static constexpr UINT kRecheckMs = 15000;

  CReminderController(ReminderContextSource context, CPushWnd& view);
  ~CReminderController() override;

  // The controller's window; false when it could not be made (then no reminder is asked for).
  bool Start();
  void RequestReminders(bool forced);

  // Network thread.
  int OnResCallback(int failed, CResourceArg* arg) override;

  // Pages wait for a moment the viewer can take them (or hide under a full-screen window).
  bool IsHolding() const { return m_phase == Phase::kWaiting; }

protected:
  const wchar_t* GetWindowClassName() const override { return L"VXReminderController"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  enum class Phase { kIdle, kWaiting, kShown };

  // Network thread.
  void OnFeedAnswer(const CResourceArg& arg);
  void OnPictureAnswer(const CResourceArg& arg);
  void RequestPicture(const std::string& address, int albumId);
  void SetRequestContext(const ReminderContext& context);
  ReminderContext RequestContext() const;

  // The controller's window.
  void OnRemindersMessage(WPARAM kind, LPARAM payload);
  void OfferFirstPage(bool wanted);
  void ShowWhenTheViewerCan();
  void Hold(ReminderHold hold);
  void Show();
  void StopWatching();
  void Recheck();
  void OnSessionChange(WPARAM change);
  void OnReminderShown() override;
  void OnReminderClosed() override;

  const ReminderContextSource m_context;
  CPushWnd& m_view;
  mutable std::mutex m_contextLock;  // the last request's context, read by the network thread
  ReminderContext m_requestContext;
  std::unique_ptr<CTaskModule> m_tasks;
  bool m_forced = false;  // written by RequestReminders, read when the batch shows
  uint32_t m_showingId = 0;

  CScreenProbe m_screen;
  bool m_sessionLocked = false;
  bool m_sessionNotices = false;
  Phase m_phase = Phase::kIdle;
  ReminderHold m_heldFor = ReminderHold::kNone;
  DWORD m_heldSince = 0;
  std::unique_ptr<CForegroundWatch> m_foreground;
};
