// The fonts a skin defines, by index. Index -1, or one the skin does not define, gives the
// skin's font 0 when there is one, else the system's message font at 12 pixels.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "common/ScopedGdi.h"

namespace Lumi {

using ScopedFont = ScopedHandle<GdiObjectTraits<HFONT>>;

class CFontTable {
public:
  // An empty face name means the system's message font face (its UI font).
  // Sizes are in pixels; a second font with the same id replaces the first.
  bool Add(int id, const std::wstring& face, int sizePx, bool bold, bool italic, bool underline);
  HFONT Get(int id);

  static std::wstring DefaultFaceName();

private:
  std::map<int, ScopedFont> m_fonts;
  ScopedFont m_fallback;
};

}  // namespace Lumi
