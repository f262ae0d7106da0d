// The reminder pop-up in the corner of the screen: one page per album with its picture, title,
// status line, paging and "watch now". A view: the reminder controller hands it the pages and
// their pictures and says when to show; it tells the controller when it has come on screen and
// when the viewer closed it. Everything here runs on the window's thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Lumilib/UIlib.h"
#include "push/ReminderContext.h"
#include "push/ReminderItem.h"
#include "push/ReminderPages.h"
#include "ui/WindowTransparentBase.h"

using ReminderList = std::vector<ReminderItem>;
struct ReminderPicture {
  int albumId = 0;
  std::wstring path;
};

class IReminderViewEvents {
public:
  virtual void OnReminderShown() = 0;   // the pop-up has become visible
  virtual void OnReminderClosed() = 0;  // the viewer closed it

protected:
  ~IReminderViewEvents() = default;
};

class CPushWnd : public CWindowTransparentBase {
public:
  static constexpr int kWidth = 297;
  static constexpr int kHeight = 147;

  // The context gives the client's program for "watch now".
  explicit CPushWnd(ReminderContextSource context);

  // The hidden pop-up, its bottom-right corner on the work area's, at its monitor's scale
  // (297 x 147 at 100 %).
  bool CreatePopup();
  void SetEvents(IReminderViewEvents* events) { m_events = events; }

  // Empties the pages; a list (null: none) becomes the pages in display order, at page 0, and
  // its first page is filled. True when that page is to be shown (as ShowFirstPage).
  bool ShowReminders(std::unique_ptr<ReminderList> list);
  void AddPicture(std::unique_ptr<ReminderPicture> picture);
  // Fills the first page, with its picture when it has come. False when there is nothing to
  // show: no pages, or this run's batch has been on screen with its picture already.
  bool ShowFirstPage();
  // Shows the pop-up without taking the focus; Conceal hides it and keeps its page.
  void Popup();
  void Conceal();
  bool IsShowing() const;
  // Whether the skin is loaded: from the first page to be shown until the viewer closes it.
  bool HasSkin() const;

  int CurrentPage() const { return m_pager.Page(); }
  int ReminderCount() const { return m_pager.Count(); }
  const ReminderList& Reminders() const { return m_reminders; }

protected:
  const wchar_t* GetWindowClassName() const override { return L"CPushWnd"; }
  LRESULT OnCreateMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  void PaintContent(HDC target, const RECT& area) override;
  void Notify(Lumi::TNotifyUI&) override {}

private:
  void PlaceInCorner();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  bool LoadSkin();
  void ReleaseSkin();
  void FindControls();
  void BindEvents();
  void FillPage(const ReminderItem& item);
  void ShowPage(int page);
  void SetPagerButtons(const PagerButtons& buttons);
  const std::wstring* PictureOf(int albumId) const;
  bool IsOnDragStrip(LPARAM screenPoint) const;
  void OnShown();
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
  IReminderViewEvents* m_events = nullptr;
  ReminderList m_reminders;
  CReminderPager m_pager;
  PagerButtons m_buttons;  // kept for a skin loaded again
  // The pop-up shows itself for one batch per run: until the first page has been on screen
  // with its album's picture.
  bool m_firstPicture = true;
  bool m_firstPageHasPicture = false;
  std::vector<ReminderPicture> m_pictures;
};
