#include "platform/Lumilib/ContainerUI.h"

#include <algorithm>
#include <string>

#include "platform/Lumilib/AttributeText.h"
#include "platform/Lumilib/PaintManagerUI.h"

namespace Lumi {

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) { return AddAt(std::unique_ptr<CControlUI>(control), index); }

bool CContainerUI::Add(std::unique_ptr<CControlUI> control) { return AddAt(std::move(control), GetCount()); }

bool CContainerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  if (!control) return false;
  if (control.get() == this || control->GetParent()) {
    control.release();  // not ours to delete: it has an owner
    return false;
  }
  index = std::max(0, std::min(index, GetCount()));
  control->SetManager(GetManager(), this);
  m_items.insert(m_items.begin() + index, std::move(control));
  NeedUpdate();
  return true;
}

bool CContainerUI::Remove(CControlUI* control) {
  auto found = std::find_if(m_items.begin(), m_items.end(),
                            [control](const std::unique_ptr<CControlUI>& item) { return item.get() == control; });
  if (found == m_items.end()) return false;
  std::unique_ptr<CControlUI> removed = std::move(*found);
  m_items.erase(found);
  if (GetManager()) GetManager()->Retire(std::move(removed));
  NeedUpdate();
  return true;
}

void CContainerUI::RemoveAll() {
  std::vector<std::unique_ptr<CControlUI>> removed = std::move(m_items);
  m_items.clear();
  for (auto& item : removed) {
    if (GetManager()) GetManager()->Retire(std::move(item));
  }
  NeedUpdate();
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_items[static_cast<size_t>(index)].get();
}

void CContainerUI::SetInset(const RECT& inset) {
  m_inset = inset;
  NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
  m_childPadding = padding;
  NeedUpdate();
}

void CContainerUI::SetPos(const QRect& pos) {
  CControlUI::SetPos(pos);
  LayoutItems(pos.Deflated(Scaled(m_inset)));
  for (const auto& item : m_items) {
    if (item->IsVisible() && item->IsFloat()) PlaceFloating(item.get());
  }
}

std::vector<CControlUI*> CContainerUI::FlowItems() const {
  std::vector<CControlUI*> items;
  for (const auto& item : m_items) {
    if (item->IsVisible() && !item->IsFloat()) items.push_back(item.get());
  }
  return items;
}

void CContainerUI::LayoutItems(const QRect& inner) {
  for (CControlUI* item : FlowItems()) item->SetPos(inner.Deflated(Scaled(item->GetPadding())));
}

void CContainerUI::PlaceFloating(CControlUI* child) {
  const QRect at = Scaled(child->GetFloatPos());
  const QRect& pos = GetPos();
  child->SetPos(QRect(pos.left + at.left, pos.top + at.top, pos.left + at.right, pos.top + at.bottom));
}

void CContainerUI::DoPaint(HDC dc, const RECT& paintRect) {
  RECT overlap;
  if (!::IntersectRect(&overlap, &paintRect, &GetPos())) return;
  CControlUI::DoPaint(dc, paintRect);
  for (const auto& item : m_items) {
    if (item->IsVisible()) item->DoPaint(dc, overlap);
  }
}

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !value) return;
  const std::wstring key = name;
  int numbers[4] = {};
  if (key == L"inset" && ParseIntList(value, numbers, 4)) {
    SetInset(QRect(numbers[0], numbers[1], numbers[2], numbers[3]));
  } else if (key == L"childpadding" && ParseIntList(value, numbers, 1)) {
    SetChildPadding(numbers[0]);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI::SetManager(manager, parent);
  for (const auto& item : m_items) item->SetManager(manager, this);
}

CControlUI* CContainerUI::FindControl(const FindPredicate& match, unsigned flags) {
  if (!Passes(flags)) return nullptr;
  const bool topFirst = (flags & UIFIND_TOP_FIRST) != 0;
  if (!topFirst && match(this)) return this;
  if (topFirst) {
    for (auto item = m_items.rbegin(); item != m_items.rend(); ++item) {
      if (CControlUI* found = (*item)->FindControl(match, flags)) return found;
    }
  } else {
    for (const auto& item : m_items) {
      if (CControlUI* found = item->FindControl(match, flags)) return found;
    }
  }
  return topFirst && match(this) ? this : nullptr;
}

}  // namespace Lumi
