// Favourites whose road did not end when they were pinned (the service unreachable, an error
// status, a time-out, a short answer) are completed by the scheduled checks: each check sends
// up to `most` of the program's shortcuts that still lack their album icon, the episode count
// in their name or their play page down the same road again, for what they lack only. A
// shortcut whose icon file has gone gets it composed again. A complete shortcut costs nothing.
#pragma once

#include <cstddef>

#include "favorites/ShortcutStore.h"

// What the shortcut still lacks (IconTaskStep bits); 0 when it is complete or nothing can be
// done for it (its icon is gone and no picture address is known).
unsigned StepsLacking(const DeskShortcut& shortcut, const FollowUp* followUp);

// Hands the icon worker a task for each of the first `most` shortcuts that lack something;
// returns how many.
size_t CompleteUnfinishedShortcuts(size_t most = 20);
