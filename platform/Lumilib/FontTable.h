// The fonts a skin defines, by index. Index -1, or one the skin does not define, gives the
// skin's font 0 when there is one, else the system's message font at 12 pixels.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "common/ScopedGdi.h"
#include "platform/Lumilib/DpiScale.h"

namespace Lumi {

using ScopedFont = ScopedHandle<GdiObjectTraits<HFONT>>;

class CFontTable {
public:
  // An empty face name means the system's message font face (its UI font). Sizes are design
  // pixels (at 96 dpi), made at the table's dpi; a second font with the same id replaces the first.
  bool Add(int id, const std::wstring& face, int sizePx, bool bold, bool italic, bool underline);
  HFONT Get(int id);
  // Makes every font again at its size for `dpi`; the handles Get gave before are gone.
  void SetDpi(unsigned dpi);
  // Lets go of every font (the dpi stays).
  void Clear();

  static std::wstring DefaultFaceName();

private:
  struct FontSpec {
    std::wstring face;
    int sizePx = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
  };
  struct Entry {
    FontSpec spec;
    ScopedFont font;
  };
  HFONT Make(const FontSpec& spec) const;

  std::map<int, Entry> m_fonts;
  ScopedFont m_fallback;
  unsigned m_dpi = kDesignDpi;
};

}  // namespace Lumi
