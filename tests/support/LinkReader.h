// Reading a .lnk file back through the shell, as Explorer would see it.
#pragma once

#include <string>

namespace vxtest {

struct LinkInfo {
  std::wstring path, arguments, icon, description, workingDir;
  int iconIndex = -1;
  // The name of the last item of the link's target list, as the file stores it. For a web
  // address this is the address itself: the shell resolves it as a relative file path, so
  // `path` names a file below the current folder instead.
  std::string targetItemName;
};

bool ReadLink(const std::wstring& file, LinkInfo& info);

// The primary name of the last item of the target list in the .lnk file's bytes.
std::string LastTargetItemName(const std::wstring& file);

}  // namespace vxtest
