// Skin folders of the icon tests' own, so that pictures can be missing or replaced without
// touching the skin copied beside the test programs; and the folder helpers they need.
#pragma once

#include <cstdint>
#include <string>

#include "tests/support/ProcessHarness.h"

namespace vxtest {

// The skin copied beside the test programs (what the program's own skin lookup finds).
std::wstring ShippedSkinFolder();

// Files matching `pattern` (e.g. L"*.tmp") in `folder` (with trailing backslash).
int CountFiles(const std::wstring& folder, const std::wstring& pattern);
void CopyTree(const std::wstring& from, const std::wstring& to);
void RemoveTree(const std::wstring& folder);

class ScratchSkin {
public:
  enum Start { Empty, CopyOfShipped };
  explicit ScratchSkin(Start start);

  const std::wstring& Folder() const { return m_folder; }  // without trailing backslash
  void Remove(const std::wstring& relative) const;
  // A square PNG of one colour (0xAARRGGBB; alpha 0 lets everything below show). GDI+ must run.
  void PutSolid(const std::wstring& relative, int side, uint32_t argb) const;

private:
  ScratchFolder m_scratch{L"skin"};
  std::wstring m_folder;
};

}  // namespace vxtest
