// Where the favourites live on this machine: the program fills this once at start, from the
// client's settings, before the first favourite is written. Until then every path is empty
// and the store, the icons and the shortcut writer do nothing.
#pragma once

#include <string>

struct HostPaths {
  std::wstring clientFolder;   // the client's data folder + "\VexoClient"; the store and icons lie below
  std::wstring clientExePath;  // the client program; "" when it is not installed
  std::wstring skinFolder;     // the skin beside this program, without a trailing backslash
};

void SetHostPaths(const HostPaths& paths);
HostPaths GetHostPaths();

// "<client folder>\Icon\" ("" before the paths are set).
std::wstring AlbumIconFolder();
// "<skin folder>\favorite.ico": the icon a new shortcut shows until its album icon is made.
std::wstring ProvisionalIconPath();
