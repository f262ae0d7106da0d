// Children one below the other: fixed heights kept, the rest shared by the others.
#pragma once

#include "platform/Lumilib/ContainerUI.h"

namespace Lumi {

class CVerticalLayoutUI : public CContainerUI {
public:
  const wchar_t* GetClass() const override { return L"VerticalLayout"; }

protected:
  void LayoutItems(const QRect& inner) override;
};

}  // namespace Lumi
