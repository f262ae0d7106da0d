// How the running program ends. Nothing waits on the service: the network is abandoned (every
// open request closed, no callback delivered any more) and the process ends with its threads,
// also with those still blocked in a call that closing its handles did not end, as none ends
// under Wine. The static destructors do not run beside such threads.
#pragma once

#include <functional>

// How long the end waits for a shortcut being saved: a save takes milliseconds; this bounds a
// writer that is stuck.
inline constexpr unsigned kShortcutSaveGraceMs = 800;

// Once the message loop has ended: `beside` (the tray icon's removal, which the shell may take
// seconds over) runs on a thread of its own while a shortcut being saved is let finish and the
// close pingback, already queued, is given a moment to leave, all within one bound well inside
// 2 s; then as EndProcessNow.
[[noreturn]] void EndProcessAfterExit(int exitCode, std::function<void()> beside);

// Abandons the network and ends the process at once.
[[noreturn]] void EndProcessNow(int exitCode);
