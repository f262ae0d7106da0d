// Writing desk favourites as .lnk files on the user's desktop.
#pragma once

#include <string>

#include "favorites/DeskFavorInfo.h"

inline constexpr char kNewShortcutTips[] = "Vexo\xca\xd3\xc6\xb5";  // "Vexo视频" in GBK, stored as it is

// The user's desktop folder, or "" when the shell cannot tell.
std::wstring GetDesktopDirectory();

// Writes desktop + "\" + name + ".lnk" (the target gets the source tag); returns its
// path, or "" on any failure.
std::wstring CreateDesktopShotCut(const std::wstring& name, std::wstring arguments, const std::wstring& iconPath,
                                  const std::wstring& target, const std::wstring& workingDir);

// The whole favourite: the shortcut and its store row. Returns the length of the .lnk
// path written, 0 when no shortcut was written.
int CreateDeskFavor(const DeskFavorRequest* request);
