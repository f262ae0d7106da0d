#include "sharedobject/VisibleMeasure.h"

#include <algorithm>

#include "sharedobject/AMFLimits.h"

bool MeasureVisible(const Variant& value, size_t& steps, VisibleMeasure& measure) {
  if (steps == 0) {
    return false;
  }
  --steps;
  measure.cost = AMFLimits::kValueCost + value.StoredBytes().size() + value.ClassName().size();
  measure.height = value.IsMap() ? 1 : 0;
  for (const auto& [key, child] : value.GetChildren()) {
    VisibleMeasure inner;
    if (!MeasureVisible(child, steps, inner)) {
      return false;
    }
    measure.cost += key.size() + inner.cost;
    measure.height = std::max(measure.height, inner.height + 1);
  }
  return true;
}
