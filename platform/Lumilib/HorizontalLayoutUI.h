// Children side by side: fixed widths kept, the rest shared by the others.
#pragma once

#include "platform/Lumilib/ContainerUI.h"

namespace Lumi {

class CHorizontalLayoutUI : public CContainerUI {
public:
  const wchar_t* GetClass() const override { return L"HorizontalLayout"; }

protected:
  void LayoutItems(const QRect& inner) override;
};

}  // namespace Lumi
