#include "platform/Lumilib/DialogBuilder.h"

#include <tinyxml2.h>

#include <memory>
#include <vector>

#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "platform/Lumilib/AttributeText.h"
#include "platform/Lumilib/ButtonUI.h"
#include "platform/Lumilib/HorizontalLayoutUI.h"
#include "platform/Lumilib/ImageCache.h"
#include "platform/Lumilib/PaintManagerUI.h"
#include "platform/Lumilib/UISystem.h"
#include "platform/Lumilib/VerticalLayoutUI.h"

namespace Lumi {

namespace {

constexpr wchar_t kTraceSection[] = L"Lumilib";
constexpr DWORD kMaxSkinBytes = 4 * 1024 * 1024;

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
  ScopedKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxSkinBytes) return false;
  bytes->resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes->empty() && !::ReadFile(file.Get(), &(*bytes)[0], static_cast<DWORD>(bytes->size()), &read, nullptr)) {
    return false;
  }
  return read == bytes->size();
}

std::wstring Wide(const char* utf8) { return utf8 ? Utf8ToWide(utf8) : std::wstring(); }

}  // namespace

CControlUI* CDialogBuilder::Create(const wchar_t* xml, const wchar_t*, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
  const std::wstring file = CImageCache::Resolve(xml ? xml : L"");
  std::string text;
  if (!xml || !*xml || !ReadWholeFile(file, &text)) {
    WriteTrace(kTraceSection, L"SkinMissing", file);
    return nullptr;
  }
  CControlUI* root = CreateFromText(text, callback, manager, parent);
  if (!root) WriteTrace(kTraceSection, L"SkinMalformed", file);
  return root;
}

CControlUI* CDialogBuilder::CreateFromText(const std::string& text, IDialogBuilderCallback* callback,
                                           CPaintManagerUI* manager, CControlUI* parent) {
  m_callback = callback;
  m_manager = manager;
  tinyxml2::XMLDocument document;
  if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) return nullptr;
  const tinyxml2::XMLElement* window = document.RootElement();
  if (!window || std::string(window->Name()) != "Window") return nullptr;
  ReadWindow(window);
  for (const tinyxml2::XMLElement* child = window->FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (std::string(child->Name()) == "Font") continue;
    CControlUI* root = BuildControl(child, parent);
    if (root) return root;
  }
  return nullptr;
}

void CDialogBuilder::ReadWindow(const tinyxml2::XMLElement* window) {
  if (!m_manager) return;
  int size[2] = {};
  if (ParseIntList(Wide(window->Attribute("size")).c_str(), size, 2)) m_manager->SetInitSize(size[0], size[1]);
  for (const tinyxml2::XMLElement* font = window->FirstChildElement("Font"); font;
       font = font->NextSiblingElement("Font")) {
    m_manager->AddFont(font->IntAttribute("id", 0), Wide(font->Attribute("name")).c_str(),
                       font->IntAttribute("size", 12), font->BoolAttribute("bold"), font->BoolAttribute("italic"),
                       font->BoolAttribute("underline"));
  }
}

CControlUI* CDialogBuilder::NewControl(const std::wstring& className) {
  if (className == L"Control" || className == L"Image") return new CControlUI;
  if (className == L"Container") return new CContainerUI;
  if (className == L"VerticalLayout") return new CVerticalLayoutUI;
  if (className == L"HorizontalLayout") return new CHorizontalLayoutUI;
  if (className == L"Label") return new CLabelUI;
  if (className == L"Button") return new CButtonUI;
  if (m_callback) {
    if (CControlUI* control = m_callback->CreateControl(className.c_str())) return control;
  }
  if (LPCREATECONTROL creator = CUISystem::GetInstance().GetControlCreator()) return creator(className.c_str());
  return nullptr;
}

// The element's control with its attributes and, for a container, its children. The control
// joins `parent` (a container) before its attributes are set, so that they reach the manager.
CControlUI* CDialogBuilder::BuildControl(const tinyxml2::XMLElement* element, CControlUI* parent) {
  const std::wstring className = Wide(element->Name());
  CControlUI* control = NewControl(className);
  if (!control) {
    WriteTrace(kTraceSection, L"SkinUnknownElement", className);
    return nullptr;
  }
  auto* parentContainer = dynamic_cast<CContainerUI*>(parent);
  if (parentContainer) {
    if (!parentContainer->Add(control)) return nullptr;
  } else {
    control->SetManager(m_manager, nullptr);
  }
  for (const tinyxml2::XMLAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next()) {
    control->SetAttribute(Wide(attribute->Name()).c_str(), Wide(attribute->Value()).c_str());
  }
  if (dynamic_cast<CContainerUI*>(control)) {
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
      BuildControl(child, control);
    }
  }
  return control;
}

}  // namespace Lumi
