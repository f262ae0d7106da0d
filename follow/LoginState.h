// The user the client reports as logged in. Read afresh for each request that depends on it:
// the user may log in or out while the program runs.
#pragma once

#include <string>

struct LoginState {
  bool loggedIn = false;
  std::string cookie;  // in the ANSI code page, as the client keeps it; "" when logged out
  std::string userId;  // the same
};
