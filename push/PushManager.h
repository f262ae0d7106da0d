// The process-wide owner of the reminder pop-up and of the hidden message window whose timers
// will drive the scheduled checks. Created on first use on the user-interface thread and
// never destroyed.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/Lumilib/UIlib.h"
#include "push/PushWnd.h"
#include "push/ReminderContext.h"

// What a pop-up owner answers to the windows around it.
class IConditional {
public:
  // Whether the cursor is over the owner's area; the push manager has none.
  virtual bool IsCursorInside() const = 0;
  virtual HWND GetMainWindow() const = 0;
  virtual BOOL PostToMessageWindow(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
  ~IConditional() = default;
};

struct PushSetup {
  ReminderContextSource context;
  HWND mainWindow = nullptr;
};

class CPushManager : public IConditional, public Lumi::CWindowWnd {
public:
  // Given once by the program before the first GetInstance.
  static void Configure(PushSetup setup);
  static CPushManager& GetInstance();

  // Passed on to the pop-up; nothing happens when the pop-up could not be made.
  void RequestReminders(bool forced);
  CPushWnd* PushWindow() { return m_pushWindow.get(); }

  bool IsCursorInside() const override;
  HWND GetMainWindow() const override { return m_mainWindow; }
  BOOL PostToMessageWindow(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  const wchar_t* GetWindowClassName() const override { return L"MSG_LOOP_WND"; }

private:
  CPushManager();

  std::unique_ptr<CPushWnd> m_pushWindow;
  HWND m_parent = nullptr;
  HWND m_mainWindow = nullptr;
};
