// The arithmetic of a row or a column of controls along one axis. Windows-free.
#pragma once

#include <vector>

namespace Lumi {

struct StackItem {
  int fixed = 0;   // the item's own size; 0 or less: it stretches
  int before = 0;  // outer margin in front of it
  int after = 0;   // outer margin behind it
};

struct StackSlot {
  int offset = 0;  // from the start of the axis, margin included
  int size = 0;
};

// Places the items one after another over `extent`, `gap` apart. Fixed items keep their size;
// stretching ones share what is left equally (the first ones take the odd pixels). A size is
// never negative, even when the fixed items do not fit.
std::vector<StackSlot> PlaceStack(const std::vector<StackItem>& items, int extent, int gap);

}  // namespace Lumi
