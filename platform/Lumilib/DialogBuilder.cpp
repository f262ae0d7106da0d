#include "platform/Lumilib/DialogBuilder.h"

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
#include "platform/Lumilib/SkinDocument.h"
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

std::wstring Wide(const std::string& utf8) { return Utf8ToWide(utf8); }

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
  SkinDocument document;
  if (!ReadSkinDocument(text, document)) return nullptr;
  ReadWindow(document);
  for (const SkinElement& element : document.controls) {
    CControlUI* root = BuildControl(element, parent);
    if (root) return root;
  }
  return nullptr;
}

void CDialogBuilder::ReadWindow(const SkinDocument& document) {
  if (!m_manager) return;
  int size[2] = {};
  if (document.hasSize && ParseIntList(Wide(document.size).c_str(), size, 2)) m_manager->SetInitSize(size[0], size[1]);
  for (const SkinFont& font : document.fonts) {
    m_manager->AddFont(font.id, Wide(font.name).c_str(), font.size, font.bold, font.italic, font.underline);
  }
}

std::unique_ptr<CControlUI> CDialogBuilder::NewControl(const std::wstring& className) {
  if (className == L"Control" || className == L"Image") return std::make_unique<CControlUI>();
  if (className == L"Container") return std::make_unique<CContainerUI>();
  if (className == L"VerticalLayout") return std::make_unique<CVerticalLayoutUI>();
  if (className == L"HorizontalLayout") return std::make_unique<CHorizontalLayoutUI>();
  if (className == L"Label") return std::make_unique<CLabelUI>();
  if (className == L"Button") return std::make_unique<CButtonUI>();
  if (m_callback) {
    if (CControlUI* control = m_callback->CreateControl(className.c_str())) return std::unique_ptr<CControlUI>(control);
  }
  LPCREATECONTROL creator = CUISystem::GetInstance().GetControlCreator();
  return std::unique_ptr<CControlUI>(creator ? creator(className.c_str()) : nullptr);
}

// The element's control with its attributes and, for a container, its children. The control
// joins `parent` (a container) before its attributes are set, so that they reach the manager.
CControlUI* CDialogBuilder::BuildControl(const SkinElement& element, CControlUI* parent) {
  const std::wstring className = Wide(element.name);
  std::unique_ptr<CControlUI> made = NewControl(className);
  if (!made) {
    WriteTrace(kTraceSection, L"SkinUnknownElement", className);
    return nullptr;
  }
  CControlUI* const control = made.get();
  auto* parentContainer = dynamic_cast<CContainerUI*>(parent);
  if (parentContainer) {
    if (!parentContainer->Add(std::move(made))) return nullptr;
  } else {
    control->SetManager(m_manager, nullptr);
    made.release();  // the root is the caller's
  }
  for (const auto& [name, value] : element.attributes) {
    control->SetAttribute(Wide(name).c_str(), Wide(value).c_str());
  }
  if (dynamic_cast<CContainerUI*>(control)) {
    for (const SkinElement& child : element.children) {
      BuildControl(child, control);
    }
  }
  return control;
}

}  // namespace Lumi
