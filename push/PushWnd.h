// The reminder pop-up in the corner of the screen: one page per album with its picture, title,
// status line, paging and "watch now". It owns the feed's network requests: their answers
// are parsed on the network thread and handed to the window's thread by message, so the
// window's state is only ever touched on its own thread.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/Lumilib/UIlib.h"
#include "platform/RidOdo/TaskModule.h"
#include "push/ReminderContext.h"
#include "push/ReminderItem.h"
#include "push/ReminderPages.h"
#include "ui/WindowTransparentBase.h"

// Message 1025 and its kinds: the list arrives with wParam 1 (lParam: a ReminderList the
// window takes over, or null to empty the pop-up); a picture already cached arrives with
// wParam 2 and one just downloaded with wParam 3 (lParam: a ReminderPicture the window takes
// over, or null when the picture could not be stored).
constexpr UINT WM_PUSH_REMINDERS = WM_USER + 1;
constexpr WPARAM kRemindersArrived = 1;
constexpr WPARAM kCachedPicture = 2;
constexpr WPARAM kPictureArrived = 3;

using ReminderList = std::vector<ReminderItem>;
struct ReminderPicture {
  int albumId = 0;
  std::wstring path;
};

class CPushWnd : public CWindowTransparentBase, public IResourceCallback {
public:
  static constexpr int kWidth = 297;
  static constexpr int kHeight = 147;
  static constexpr int kFeedRequest = 1000;
  static constexpr int kPictureRequest = 1001;

  explicit CPushWnd(ReminderContextSource context);
  ~CPushWnd() override;

  // The hidden pop-up, its bottom-right corner on the work area's.
  bool CreatePopup();
  void RequestReminders(bool forced);

  // Network thread.
  int OnResCallback(int failed, CResourceArg* arg) override;

  // What the window shows, for the pop-up's own checks.
  int CurrentPage() const { return m_pager.Page(); }
  const ReminderList& Reminders() const { return m_reminders; }

protected:
  const wchar_t* GetWindowClassName() const override { return L"CPushWnd"; }
  LRESULT OnCreateMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  void PaintContent(HDC target, const RECT& area) override;
  void Notify(Lumi::TNotifyUI&) override {}

private:
  // Network thread.
  void OnFeedAnswer(const CResourceArg& arg);
  void OnPictureAnswer(const CResourceArg& arg);
  void RequestPicture(const std::string& address, int albumId);
  void SetRequestContext(const ReminderContext& context);
  ReminderContext RequestContext() const;
  template <class Payload>
  void PostToWindow(WPARAM kind, std::unique_ptr<Payload> payload);

  // Window thread.
  void FindControls();
  void BindEvents();
  LRESULT OnRemindersMessage(WPARAM kind, LPARAM payload);
  void ShowReminders(std::unique_ptr<ReminderList> list);
  void AddPicture(std::unique_ptr<ReminderPicture> picture);
  void ShowFirstPage();
  void FillPage(const ReminderItem& item);
  void ShowPage(int page);
  void SetPagerButtons(const PagerButtons& buttons);
  const std::wstring* PictureOf(int albumId) const;
  bool IsOnDragStrip(LPARAM screenPoint) const;
  void OpenCurrentReminder();

  bool OnOpenClicked(Lumi::TEventUI&);
  bool OnPictureHovered(Lumi::TEventUI&);
  bool OnTipsLeft(Lumi::TEventUI&);
  bool OnPrevPage(Lumi::TEventUI&);
  bool OnNextPage(Lumi::TEventUI&);
  bool OnCloseClicked(Lumi::TEventUI&);

  Lumi::CControlUI* m_topLabel = nullptr;
  Lumi::CControlUI* m_mid = nullptr;
  Lumi::CControlUI* m_bottom = nullptr;
  Lumi::CButtonUI* m_picture = nullptr;
  Lumi::CButtonUI* m_title = nullptr;
  Lumi::CButtonUI* m_titleSecond = nullptr;
  Lumi::CButtonUI* m_status = nullptr;
  Lumi::CLabelUI* m_pageLabel = nullptr;
  Lumi::CButtonUI* m_left = nullptr;
  Lumi::CButtonUI* m_right = nullptr;
  Lumi::CButtonUI* m_play = nullptr;
  Lumi::CButtonUI* m_tips = nullptr;
  Lumi::CButtonUI* m_close = nullptr;

  const ReminderContextSource m_context;
  mutable std::mutex m_contextLock;  // the last request's context, read by the network thread
  ReminderContext m_requestContext;
  std::unique_ptr<CTaskModule> m_tasks;
  ReminderList m_reminders;
  CReminderPager m_pager;
  bool m_firstPicture = true;  // the pop-up shows itself for one batch per run
  uint32_t m_showingId = 0;
  bool m_forced = false;       // written by RequestReminders, read when the batch shows
  std::vector<ReminderPicture> m_pictures;
};
