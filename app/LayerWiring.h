// What the program hands its lower layers at start: where the client and the skin lie, who
// makes a new favourite's icon task, and where album information and play-record notices go.
#pragma once

#include <windows.h>

#include "follow/PlayRecordManager.h"
#include "push/ReminderContext.h"

// Once, before the control window takes its first command.
void ConnectLowerLayers();

// The user's login as the client reports it now.
LoginState CurrentLogin();

// Who asks for reminders and where this machine keeps the client's files, as they are now.
ReminderContext CurrentReminderContext();

// The reminder pop-up and its message window, made once at start with the scheduled checks
// on its timers; then the first, forced request for reminders. The picture cache's table is made first.
void StartReminders(HWND controlWindow);
