// The WinINet handles the program has open, listed so that the end of the process can abandon
// the network in one step: every listed handle is closed (on Windows a call blocked on one of
// them returns at once) and every handle opened later is refused, so nothing more goes out and
// the layers above drop the answers that would still come.
#pragma once

#include <windows.h>
#include <wininet.h>

// Lists an open handle and gives it back; once the network is abandoned it closes the handle
// and gives null instead. Null passes through.
HINTERNET ListInternetHandle(HINTERNET handle);
// Closes a listed handle, unless abandoning the network closed it already.
void CloseListedInternetHandle(HINTERNET handle);

// For the end of the process: closes every listed handle and refuses new ones, for good.
void AbandonNetwork();
bool IsNetworkAbandoned();
