// Control events: their names, the event record and the delegates that subscribe to them.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Lumi {

class CControlUI;

extern const wchar_t* const EventClick;     // L"click": button up inside the control it went down on
extern const wchar_t* const EventFocusIn;   // L"focusin": the pointer entered the control
extern const wchar_t* const EventFocusOut;  // L"focusout": the pointer left it

struct TEventUI {
  const wchar_t* type;
  CControlUI* sender;
  POINT ptMouse;
  WPARAM wParam;
  LPARAM lParam;
};

class CDelegateBase {
public:
  virtual ~CDelegateBase() = default;
  virtual bool Invoke(TEventUI& e) = 0;
  virtual CDelegateBase* Copy() const = 0;
};

// A member function of an object; the object must outlive the subscription.
template <class T>
class CDelegate : public CDelegateBase {
public:
  using Method = bool (T::*)(TEventUI&);
  CDelegate(T* object, Method method) : m_object(object), m_method(method) {}
  bool Invoke(TEventUI& e) override { return (m_object->*m_method)(e); }
  CDelegateBase* Copy() const override { return new CDelegate(*this); }

private:
  T* m_object;
  Method m_method;
};

template <class T>
CDelegate<T> MakeDelegate(T* object, bool (T::*method)(TEventUI&)) {
  return CDelegate<T>(object, method);
}

// Any callable, for handlers that need no object of their own.
class CFunctionDelegate : public CDelegateBase {
public:
  explicit CFunctionDelegate(std::function<bool(TEventUI&)> function) : m_function(std::move(function)) {}
  bool Invoke(TEventUI& e) override { return m_function ? m_function(e) : true; }
  CDelegateBase* Copy() const override { return new CFunctionDelegate(*this); }

private:
  std::function<bool(TEventUI&)> m_function;
};

// The subscriptions of one control, by event name.
class CEventSets {
public:
  CEventSets() = default;
  virtual ~CEventSets() = default;
  CEventSets(const CEventSets&) = delete;
  CEventSets& operator=(const CEventSets&) = delete;

  // Keeps a copy of the delegate; several delegates per event run in subscription order.
  void Subscribe(const wchar_t* eventName, const CDelegateBase& delegate);
  // Runs the delegates of e.type; true when every one of them returned true (or there is none).
  bool Fire(TEventUI& e);

private:
  std::vector<std::pair<std::wstring, std::unique_ptr<CDelegateBase>>> m_handlers;
};

}  // namespace Lumi
