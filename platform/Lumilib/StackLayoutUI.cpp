// The two stacking layouts: one axis divided by PlaceStack, the other filled (or the fixed size
// kept, at the start). The skin's sizes and margins are scaled to the window's dpi here.
#include "platform/Lumilib/HorizontalLayoutUI.h"
#include "platform/Lumilib/StackLayout.h"
#include "platform/Lumilib/VerticalLayoutUI.h"

namespace Lumi {

void CVerticalLayoutUI::LayoutItems(const QRect& inner) {
  const std::vector<CControlUI*> items = FlowItems();
  std::vector<QRect> paddings;
  std::vector<StackItem> stack;
  for (CControlUI* item : items) {
    paddings.push_back(Scaled(item->GetPadding()));
    stack.push_back({Scaled(item->GetFixedHeight()), paddings.back().top, paddings.back().bottom});
  }
  const std::vector<StackSlot> slots = PlaceStack(stack, inner.GetHeight(), Scaled(GetChildPadding()));
  for (size_t i = 0; i < items.size(); ++i) {
    const QRect across = inner.Deflated(QRect(paddings[i].left, 0, paddings[i].right, 0));
    const int fixedWidth = Scaled(items[i]->GetFixedWidth());
    const int width = fixedWidth > 0 ? fixedWidth : across.GetWidth();
    const int top = inner.top + slots[i].offset;
    items[i]->SetPos(QRect(across.left, top, across.left + width, top + slots[i].size));
  }
}

void CHorizontalLayoutUI::LayoutItems(const QRect& inner) {
  const std::vector<CControlUI*> items = FlowItems();
  std::vector<QRect> paddings;
  std::vector<StackItem> stack;
  for (CControlUI* item : items) {
    paddings.push_back(Scaled(item->GetPadding()));
    stack.push_back({Scaled(item->GetFixedWidth()), paddings.back().left, paddings.back().right});
  }
  const std::vector<StackSlot> slots = PlaceStack(stack, inner.GetWidth(), Scaled(GetChildPadding()));
  for (size_t i = 0; i < items.size(); ++i) {
    const QRect across = inner.Deflated(QRect(0, paddings[i].top, 0, paddings[i].bottom));
    const int fixedHeight = Scaled(items[i]->GetFixedHeight());
    const int height = fixedHeight > 0 ? fixedHeight : across.GetHeight();
    const int left = inner.left + slots[i].offset;
    items[i]->SetPos(QRect(left, across.top, left + slots[i].size, across.top + height));
  }
}

}  // namespace Lumi
