// libFuzzer target: skin text read into a skin document, and every attribute value through the
// attribute readers. A document read, written back as XML, reads as the same document; text
// refused leaves the document untouched; a number list, colour or flag read is written back
// to the same value.
#include <tinyxml2.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/Lumilib/AttributeText.h"
#include "platform/Lumilib/SkinDocument.h"
#include "tests/fuzz/ByteText.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using Lumi::SkinDocument;
using Lumi::SkinElement;
using Lumi::SkinFont;

bool Same(const SkinElement& a, const SkinElement& b) {
  if (a.name != b.name || a.attributes != b.attributes || a.children.size() != b.children.size()) return false;
  for (size_t i = 0; i < a.children.size(); ++i) {
    if (!Same(a.children[i], b.children[i])) return false;
  }
  return true;
}

bool Same(const SkinFont& a, const SkinFont& b) {
  return a.id == b.id && a.name == b.name && a.size == b.size && a.bold == b.bold && a.italic == b.italic &&
         a.underline == b.underline;
}

bool Same(const SkinDocument& a, const SkinDocument& b) {
  if (a.hasSize != b.hasSize || a.size != b.size || a.fonts.size() != b.fonts.size() ||
      a.controls.size() != b.controls.size()) {
    return false;
  }
  for (size_t i = 0; i < a.fonts.size(); ++i) {
    if (!Same(a.fonts[i], b.fonts[i])) return false;
  }
  for (size_t i = 0; i < a.controls.size(); ++i) {
    if (!Same(a.controls[i], b.controls[i])) return false;
  }
  return true;
}

void Write(const SkinElement& element, tinyxml2::XMLPrinter& out) {
  out.OpenElement(element.name.c_str());
  for (const auto& [name, value] : element.attributes) out.PushAttribute(name.c_str(), value.c_str());
  for (const SkinElement& child : element.children) Write(child, out);
  out.CloseElement();
}

std::string Written(const SkinDocument& document) {
  tinyxml2::XMLPrinter out;
  out.OpenElement("Window");
  if (document.hasSize) out.PushAttribute("size", document.size.c_str());
  for (const SkinFont& font : document.fonts) {
    out.OpenElement("Font");
    out.PushAttribute("id", font.id);
    out.PushAttribute("name", font.name.c_str());
    out.PushAttribute("size", font.size);
    out.PushAttribute("bold", font.bold);
    out.PushAttribute("italic", font.italic);
    out.PushAttribute("underline", font.underline);
    out.CloseElement();
  }
  for (const SkinElement& control : document.controls) Write(control, out);
  out.CloseElement();
  return std::string(out.CStr(), out.CStrSize() - 1);
}

void CheckIntList(const std::wstring& text, int count) {
  int values[4] = {};
  if (!Lumi::ParseIntList(text.c_str(), values, count)) return;
  std::wstring written;
  for (int i = 0; i < count; ++i) {
    FUZZ_CHECK(values[i] >= -1000000 && values[i] <= 1000000);
    written += (i ? L"," : L"") + std::to_wstring(values[i]);
  }
  int again[4] = {};
  FUZZ_CHECK(Lumi::ParseIntList(written.c_str(), again, count));
  for (int i = 0; i < count; ++i) FUZZ_CHECK(again[i] == values[i]);
}

void CheckAttributeValue(const std::string& value) {
  const std::wstring text = WidenBytes(value);
  for (const int count : {1, 2, 4}) CheckIntList(text, count);
  uint32_t color = 0;
  if (Lumi::ParseColor(text.c_str(), &color)) {
    FUZZ_CHECK(value.size() == 7 || value.size() == 9);
    FUZZ_CHECK(value.size() == 9 || color >> 24 == 0xFF);
    char written[16];
    std::snprintf(written, sizeof written, "#%08X", static_cast<unsigned>(color));
    uint32_t again = 0;
    FUZZ_CHECK(Lumi::ParseColor(WidenBytes(written).c_str(), &again) && again == color);
  }
  FUZZ_CHECK(Lumi::ParseFlag(text.c_str()) == (value == "true" || value == "1"));
}

void CheckAttributes(const SkinElement& element) {
  for (const auto& attribute : element.attributes) CheckAttributeValue(attribute.second);
  for (const SkinElement& child : element.children) CheckAttributes(child);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  SkinDocument document;
  document.size = "untouched";
  if (!Lumi::ReadSkinDocument(text, document)) {
    FUZZ_CHECK(!document.hasSize && document.size == "untouched" && document.fonts.empty() &&
               document.controls.empty());
    return 0;
  }
  SkinDocument again;
  FUZZ_CHECK(Lumi::ReadSkinDocument(Written(document), again));
  FUZZ_CHECK(Same(again, document));
  if (document.hasSize) CheckAttributeValue(document.size);
  for (const SkinElement& control : document.controls) CheckAttributes(control);
  return 0;
}
