// The text of a skin file read into plain data: the window's size, its fonts and the elements
// of its controls, names and attribute values as the file spells them (UTF-8). Windows-free,
// so that it is fuzzed natively; CDialogBuilder makes the controls from it.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Lumi {

struct SkinElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;  // in file order
  std::vector<SkinElement> children;                              // child elements only
};

struct SkinFont {
  int id = 0;
  std::string name;
  int size = 12;
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

struct SkinDocument {
  bool hasSize = false;  // the window's size="W,H", when it has one
  std::string size;
  std::vector<SkinFont> fonts;           // the window's Font elements, in order
  std::vector<SkinElement> controls;     // its other child elements, in order
};

// Reads `text`. False for text that is not one well-formed XML document, or whose root element
// is not Window; `document` is then left as it was. Nesting deeper than the XML reader's own
// bound (100 elements) is not well-formed to it.
bool ReadSkinDocument(const std::string& text, SkinDocument& document);

}  // namespace Lumi
