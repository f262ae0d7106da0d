// The favourites' host paths for a test process: the client's data folder in a scratch folder
// (so the store and the icons are the test's own) and the skin copied beside the test binary.
#pragma once

#include <string>

#include "common/ModulePath.h"
#include "favorites/HostPaths.h"

namespace vxtest {

// `dataFolder` ends in a backslash, as ScratchFolder::Path() does.
inline void UseHostPaths(const std::wstring& dataFolder, const std::wstring& clientExePath = L"") {
  HostPaths paths;
  paths.clientFolder = dataFolder + L"VexoClient";
  paths.clientExePath = clientExePath;
  paths.skinFolder = ModuleFolderWithSeparator() + L"tcskin";
  SetHostPaths(paths);
}

}  // namespace vxtest
