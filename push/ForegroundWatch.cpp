#include "push/ForegroundWatch.h"

#include <algorithm>
#include <vector>

namespace {

// The watches of this thread (a hook's events come to the thread that set it).
thread_local std::vector<std::pair<HWINEVENTHOOK, CForegroundWatch*>> t_watches;

}  // namespace

CForegroundWatch::CForegroundWatch(HWND notify, UINT message) : m_notify(notify), m_message(message) {
  m_hook = ::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, &CForegroundWatch::OnEvent, 0,
                             0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  if (m_hook) t_watches.emplace_back(m_hook, this);
}

CForegroundWatch::~CForegroundWatch() {
  if (!m_hook) return;
  ::UnhookWinEvent(m_hook);
  const auto mine = [this](const auto& watch) { return watch.second == this; };
  t_watches.erase(std::remove_if(t_watches.begin(), t_watches.end(), mine), t_watches.end());
}

void CALLBACK CForegroundWatch::OnEvent(HWINEVENTHOOK hook, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
  for (const auto& [watchHook, watch] : t_watches) {
    if (watchHook == hook) ::PostMessageW(watch->m_notify, watch->m_message, 0, 0);
  }
}
