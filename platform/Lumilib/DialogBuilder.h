// Builds a control tree from a skin file.
//
// Skin format (UTF-8 XML, one file per window, images beside it in the skin folder):
//   <Window size="W,H">                      the window's size (CPaintManagerUI::GetInitSize)
//     <Font id="0" name="" size="12" bold="true" italic="true" underline="true" />
//                                             name "" is the system's UI font; size in pixels
//     <VerticalLayout ...> ... </VerticalLayout>   the one root control, any element below
//   </Window>
// Elements: Control, Container, VerticalLayout, HorizontalLayout, Label, Button, Image (a control
// showing its bkimage); any other name is asked of the builder callback, then of
// CUISystem::GetControlCreator; one nobody knows is left out with its subtree (trace record).
// Attributes, for every control: name, text, tooltip, width, height (absent: stretch, sharing the
// rest equally), padding="l,t,r,b" (outer margin), float="true" with pos="l,t,r,b" (relative to
// the parent), bkcolor, hotbkcolor, pushedbkcolor, disabledbkcolor ("#AARRGGBB" or "#RRGGBB"),
// bkimage, visible, enabled. Containers: inset="l,t,r,b", childpadding. Labels and buttons:
// font (index), textcolor, hottextcolor, pushedtextcolor, disabledtextcolor, align
// (left|center|right), valign (top|vcenter|bottom), endellipsis, textpadding="l,t,r,b".
// Buttons: normalimage, hotimage, pushedimage, disabledimage, handcursor.
// Image paths are relative to the skin folder (CUISystem::GetResourcePath) unless absolute;
// forward and doubled separators are fine. Unknown attributes are ignored.
// Every size, margin, position and font size is in design pixels (at 96 dpi), scaled to the
// window's dpi (CPaintManagerUI::SetDpi). A skin picture "dir/x.png" may have "dir/x@2x.png"
// beside it, drawn at twice its design size, which is taken above 125 %.
#pragma once

#include <memory>
#include <string>

#include "platform/Lumilib/UINotify.h"

namespace Lumi {

class CControlUI;
class CPaintManagerUI;
struct SkinDocument;
struct SkinElement;

class CDialogBuilder {
public:
  // Builds `xml` (relative to the skin folder, or absolute). `type` is not used. With a
  // container as `parent` the new root is added to it (which then owns it); otherwise the
  // caller owns the root (CPaintManagerUI::AttachDialog takes it). A missing or malformed
  // file gives null and a trace record.
  CControlUI* Create(const wchar_t* xml, const wchar_t* type, IDialogBuilderCallback* callback,
                     CPaintManagerUI* manager, CControlUI* parent = nullptr);
  // The same from skin text in memory (UTF-8).
  CControlUI* CreateFromText(const std::string& text, IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                             CControlUI* parent = nullptr);

private:
  CControlUI* BuildControl(const SkinElement& element, CControlUI* parent);
  // A new control of the class (the factories' controls are new ones too), or null.
  std::unique_ptr<CControlUI> NewControl(const std::wstring& className);
  void ReadWindow(const SkinDocument& document);

  IDialogBuilderCallback* m_callback = nullptr;
  CPaintManagerUI* m_manager = nullptr;
};

}  // namespace Lumi
