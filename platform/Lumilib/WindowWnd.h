// A window that is an object: the class is registered on first use, the object is bound to
// the window at WM_NCCREATE and every message goes to HandleMessage on the window's thread.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

#include "common/WindowPost.h"

// A finished request of the network library; this library only passes it along.
class CResourceArg;

namespace Lumi {

class CWindowWnd {
public:
  CWindowWnd();
  // A window still open is unbound from the object and destroyed.
  virtual ~CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
              HMENU menu = nullptr);
  // takeFocus false: SW_SHOWNOACTIVATE, the foreground window stays.
  void ShowWindow(bool show = true, bool takeFocus = true);
  BOOL PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  // Hands a finished request to the window's thread: OnResourceMessage gets it there. From
  // the post on, the receiving side owns `arg`; if the post fails it goes to DiscardResource
  // at once (and false is returned). One still queued when the window goes goes there too.
  bool PostResource(int requestId, CResourceArg* arg);
  // The same from an owner that knows the argument's type: a failed post frees it.
  template <class Arg>
  bool PostResource(int requestId, std::unique_ptr<Arg> arg) {
    std::unique_ptr<CResourceArg> owned(std::move(arg));
    return PostOwned(m_hWnd, ResourceMessage(), static_cast<WPARAM>(requestId), std::move(owned));
  }

  // The registered message that carries PostResource (wParam: request id, lParam: arg).
  static UINT ResourceMessage();

protected:
  virtual const wchar_t* GetWindowClassName() const = 0;
  // Non-null: the window class is a superclass of that system class.
  virtual const wchar_t* GetSuperClassName() const { return nullptr; }
  virtual UINT GetClassStyle() const { return 0; }
  // Default: the class' own default handling (DefWindowProc or the superclass' procedure).
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // The last call the window makes; after it the object is no longer bound to it.
  virtual void OnFinalMessage(HWND window);
  // Default: gives `arg` to DiscardResource and returns 0. An override owns `arg`.
  virtual LRESULT OnResourceMessage(int requestId, CResourceArg* arg);
  // Where resource arguments nobody took go. This library cannot delete them (their type
  // belongs to the network library): the default leaves them alone; a subclass that knows
  // the type deletes them.
  virtual void DiscardResource(int requestId, CResourceArg* arg);
  // Gives the resources still queued for the window to DiscardResource. The window does so
  // when it is destroyed; a subclass that deletes them calls it from its destructor too, for
  // a window that its base destroys.
  void DiscardPostedResources();

  HWND m_hWnd = nullptr;

private:
  bool RegisterWindowClass();
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  WNDPROC m_superProc = ::DefWindowProcW;
};

}  // namespace Lumi
