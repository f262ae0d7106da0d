// Who is asking for reminders and where this machine keeps things: read afresh for every feed
// request, because the user may log in or out while the program runs. The program hands the
// push manager a source of it at start.
#pragma once

#include <functional>
#include <string>

#include "follow/LoginState.h"

struct ReminderContext {
  LoginState login;
  std::string machineId;
  std::wstring clientDataFolder;  // the pictures go below it, into "VexoClient\Cache"
  std::wstring clientFolder;      // the bookkeeping file lies here
  std::wstring clientExePath;     // "" when the client is not installed
};

using ReminderContextSource = std::function<ReminderContext()>;
