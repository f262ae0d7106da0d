// The record that carries a favourite text to the control window: the COPYDATASTRUCT
// layout, with the text in UTF-16 including its terminating NUL.
#pragma once

#include <windows.h>

#include <string>

using HandoffText = COPYDATASTRUCT;

// dwData for WM_COPYDATA from another process, and for WM_TAILCAST_COMMAND inside the process.
inline constexpr ULONG_PTR kHandoffFromSecondStart = 0;
inline constexpr ULONG_PTR kHandoffFromFirstStart = 1007;

// A record pointing at `text` (which must outlive it): cbData = 2 x length + 2.
HandoffText MakeHandoffText(ULONG_PTR dwData, const std::wstring& text);

// The record's text up to its first NUL, never reading beyond cbData bytes.
std::wstring HandoffTextOf(const HandoffText& record);
