// Handing an owned payload to a window's thread: the poster gives it up only when the post
// succeeds (a failed post frees it at once), the receiver takes it back from lParam, and what
// is still queued when the window goes is freed, never run.
#pragma once

#include <windows.h>

#include <memory>

// A payload with its own deleter (one whose type the poster cannot delete) is given to that
// deleter when the post fails.
template <class Payload, class Deleter>
bool PostOwned(HWND window, UINT message, WPARAM wParam, std::unique_ptr<Payload, Deleter> payload) {
  if (!window || !::PostMessageW(window, message, wParam, reinterpret_cast<LPARAM>(payload.get()))) return false;
  payload.release();  // the receiver owns it now
  return true;
}

template <class Payload>
std::unique_ptr<Payload> TakePosted(LPARAM lParam) {
  return std::unique_ptr<Payload>(reinterpret_cast<Payload*>(lParam));
}

// Hands every `message` still queued for `window` to `discard` (wParam, lParam), which frees
// its payload; for a window whose loop no longer runs (it is being destroyed, or the loop has
// ended).
template <class Discard>
void DiscardPosted(HWND window, UINT message, Discard discard) {
  if (!window) return;
  MSG queued = {};
  while (::PeekMessageW(&queued, window, message, message, PM_REMOVE)) discard(queued.wParam, queued.lParam);
}
