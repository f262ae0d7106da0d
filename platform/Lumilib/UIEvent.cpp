#include "platform/Lumilib/UIEvent.h"

namespace Lumi {

const wchar_t* const EventClick = L"click";
const wchar_t* const EventFocusIn = L"focusin";
const wchar_t* const EventFocusOut = L"focusout";

void CEventSets::Subscribe(const wchar_t* eventName, const CDelegateBase& delegate) {
  if (!eventName) return;
  m_handlers.emplace_back(eventName, std::unique_ptr<CDelegateBase>(delegate.Copy()));
}

bool CEventSets::Fire(TEventUI& e) {
  if (!e.type) return true;
  bool all = true;
  // By index: a handler may subscribe further delegates while we run.
  for (size_t i = 0; i < m_handlers.size(); ++i) {
    if (m_handlers[i].first != e.type) continue;
    all = m_handlers[i].second->Invoke(e) && all;
  }
  return all;
}

}  // namespace Lumi
