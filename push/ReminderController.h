// The reminders' controller: asks the feed, keeps the reminders of followed albums, badges
// their shortcuts, fetches their pictures and hands the pages to the pop-up (CPushWnd) when the
// viewer can take them: never behind a locked screen, in a presentation or over a full-screen
// program. Held pages are tried again every 15 s, at once on unlock and when the foreground
// changes; a pop-up on screen that a full-screen window covers hides and comes back after.
// The feed's and the pictures' answers are read on the network thread and reach the
// controller's own (message-only) window as resources (ReminderAnswers.h); everything else runs
// on that window's thread.
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
#include "push/ReminderAnswers.h"
#include "push/ReminderContext.h"
#include "push/ReminderMoment.h"
#include "push/ScreenProbe.h"

class CReminderController : public Lumi::CWindowWnd, public IResourceCallback, private IReminderViewEvents {
public:
  static constexpr UINT kRecheckMs = 15000;

  CReminderController(ReminderContextSource context, CPushWnd& view);
  ~CReminderController() override;

  // The controller's window; false when it could not be made (then no reminder is asked for).
  bool Start();
  void RequestReminders(bool forced);

  // Network thread.
  int OnResCallback(int failed, CResourceArg* arg) override;

protected:
  const wchar_t* GetWindowClassName() const override { return L"VXReminderController"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnResourceMessage(int requestId, CResourceArg* arg) override;
  void DiscardResource(int requestId, CResourceArg* arg) override;

private:
  enum class Phase { kIdle, kWaiting, kShown };

  // Network thread.
  void ReadFeed(CFeedAnswer& answer);
  void StorePicture(CPictureAnswer& answer);
  void RequestPicture(const std::string& address, int albumId, CFeedAnswer& answer);
  void SetRequestContext(const ReminderContext& context);
  ReminderContext RequestContext() const;

  // The controller's window.
  void OnFeedArrived(CFeedAnswer& answer);
  void OnPictureArrived(const CPictureAnswer& answer);
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
