// The two stacking layouts: one axis divided by PlaceStack, the other filled (or the fixed size
// kept, at the start).
#include "platform/Lumilib/HorizontalLayoutUI.h"
#include "platform/Lumilib/StackLayout.h"
#include "platform/Lumilib/VerticalLayoutUI.h"

namespace Lumi {

void CVerticalLayoutUI::LayoutItems(const QRect& inner) {
  const std::vector<CControlUI*> items = FlowItems();
  std::vector<StackItem> stack;
  for (CControlUI* item : items) {
    stack.push_back({item->GetFixedHeight(), item->GetPadding().top, item->GetPadding().bottom});
  }
  const std::vector<StackSlot> slots = PlaceStack(stack, inner.GetHeight(), GetChildPadding());
  for (size_t i = 0; i < items.size(); ++i) {
    const QRect across = inner.Deflated(QRect(items[i]->GetPadding().left, 0, items[i]->GetPadding().right, 0));
    const int width = items[i]->GetFixedWidth() > 0 ? items[i]->GetFixedWidth() : across.GetWidth();
    const int top = inner.top + slots[i].offset;
    items[i]->SetPos(QRect(across.left, top, across.left + width, top + slots[i].size));
  }
}

void CHorizontalLayoutUI::LayoutItems(const QRect& inner) {
  const std::vector<CControlUI*> items = FlowItems();
  std::vector<StackItem> stack;
  for (CControlUI* item : items) {
    stack.push_back({item->GetFixedWidth(), item->GetPadding().left, item->GetPadding().right});
  }
  const std::vector<StackSlot> slots = PlaceStack(stack, inner.GetWidth(), GetChildPadding());
  for (size_t i = 0; i < items.size(); ++i) {
    const QRect across = inner.Deflated(QRect(0, items[i]->GetPadding().top, 0, items[i]->GetPadding().bottom));
    const int height = items[i]->GetFixedHeight() > 0 ? items[i]->GetFixedHeight() : across.GetHeight();
    const int left = inner.left + slots[i].offset;
    items[i]->SetPos(QRect(left, across.top, left + slots[i].size, across.top + height));
  }
}

}  // namespace Lumi
