#include "platform/Lumilib/StackLayout.h"

#include <algorithm>

namespace Lumi {

std::vector<StackSlot> PlaceStack(const std::vector<StackItem>& items, int extent, int gap) {
  std::vector<StackSlot> slots(items.size());
  if (items.empty()) return slots;
  int taken = gap * static_cast<int>(items.size() - 1);
  int stretching = 0;
  for (const StackItem& item : items) {
    taken += item.before + item.after;
    if (item.fixed > 0) {
      taken += item.fixed;
    } else {
      ++stretching;
    }
  }
  const int rest = std::max(0, extent - taken);
  const int share = stretching > 0 ? rest / stretching : 0;
  int oddPixels = stretching > 0 ? rest % stretching : 0;

  int position = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const StackItem& item = items[i];
    int size = item.fixed;
    if (size <= 0) {
      size = share + (oddPixels > 0 ? 1 : 0);
      if (oddPixels > 0) --oddPixels;
    }
    position += item.before;
    slots[i].offset = position;
    slots[i].size = size;
    position += size + item.after + gap;
  }
  return slots;
}

}  // namespace Lumi
