// A control that holds others. A plain container gives every child its whole inner area
// (inset and the child's padding taken off); floating children sit at their own position.
#pragma once

#include <memory>
#include <vector>

#include "platform/Lumilib/ControlUI.h"

namespace Lumi {

class CContainerUI : public CControlUI {
public:
  const wchar_t* GetClass() const override { return L"Container"; }

  // Takes ownership on success; false for null, the container itself or a control that
  // already has a parent (it stays with its owner).
  bool Add(CControlUI* control);
  bool AddAt(CControlUI* control, int index);
  bool Add(std::unique_ptr<CControlUI> control);
  bool AddAt(std::unique_ptr<CControlUI> control, int index);
  // Deletes the control; false when it is not a child of this container.
  bool Remove(CControlUI* control);
  void RemoveAll();
  CControlUI* GetItemAt(int index) const;
  int GetCount() const { return static_cast<int>(m_items.size()); }

  const QRect& GetInset() const { return m_inset; }
  void SetInset(const RECT& inset);
  int GetChildPadding() const { return m_childPadding; }
  void SetChildPadding(int padding);

  void SetPos(const QRect& pos) override;
  void DoPaint(HDC dc, const RECT& paintRect) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  CControlUI* FindControl(const FindPredicate& match, unsigned flags) override;

protected:
  // Places the children that are visible and not floating within `inner`.
  virtual void LayoutItems(const QRect& inner);
  void PlaceFloating(CControlUI* child);
  std::vector<CControlUI*> FlowItems() const;

private:
  std::vector<std::unique_ptr<CControlUI>> m_items;
  QRect m_inset;
  int m_childPadding = 0;
};

}  // namespace Lumi
