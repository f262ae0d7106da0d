// A RECT with the small questions layout and hit-testing ask of it.
#pragma once

#include <windows.h>

namespace Lumi {

struct QRect : RECT {
  QRect() : RECT{0, 0, 0, 0} {}
  QRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  QRect(const RECT& rc) : RECT(rc) {}

  int GetWidth() const { return right - left; }
  int GetHeight() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }
  bool operator==(const RECT& rc) const {
    return left == rc.left && top == rc.top && right == rc.right && bottom == rc.bottom;
  }
  bool operator!=(const RECT& rc) const { return !(*this == rc); }
  // Shrinks by the given margins (a RECT used as four margins), never below empty.
  QRect Deflated(const RECT& margins) const {
    QRect rc(left + margins.left, top + margins.top, right - margins.right, bottom - margins.bottom);
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    return rc;
  }
};

}  // namespace Lumi
