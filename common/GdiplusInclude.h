// GDI+ with the Windows headers as this project sets them (lean, without min/max macros): the
// one place that includes <gdiplus.h>.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
