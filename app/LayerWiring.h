// What the program hands its lower layers at start: where the client and the skin lie, who
// makes a new favourite's icon task, and where album information and play-record notices go.
#pragma once

#include "follow/PlayRecordManager.h"

// Once, before the control window takes its first command.
void ConnectLowerLayers();

// The user's login as the client reports it now.
LoginState CurrentLogin();
