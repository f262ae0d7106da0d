#include "platform/Lumilib/SkinDocument.h"

#include <tinyxml2.h>

#include <cstring>

namespace Lumi {

namespace {

// Recursive: the reader refuses documents nested deeper than its bound.
SkinElement ReadElement(const tinyxml2::XMLElement& element) {
  SkinElement read;
  read.name = element.Name();
  for (const tinyxml2::XMLAttribute* attribute = element.FirstAttribute(); attribute; attribute = attribute->Next()) {
    read.attributes.emplace_back(attribute->Name(), attribute->Value());
  }
  for (const tinyxml2::XMLElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement()) {
    read.children.push_back(ReadElement(*child));
  }
  return read;
}

SkinFont ReadFont(const tinyxml2::XMLElement& font) {
  SkinFont read;
  read.id = font.IntAttribute("id", 0);
  const char* name = font.Attribute("name");
  read.name = name ? name : "";
  read.size = font.IntAttribute("size", 12);
  read.bold = font.BoolAttribute("bold");
  read.italic = font.BoolAttribute("italic");
  read.underline = font.BoolAttribute("underline");
  return read;
}

}  // namespace

bool ReadSkinDocument(const std::string& text, SkinDocument& document) {
  tinyxml2::XMLDocument xml;
  if (xml.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) return false;
  const tinyxml2::XMLElement* window = xml.RootElement();
  if (!window || std::strcmp(window->Name(), "Window") != 0) return false;

  SkinDocument read;
  if (const char* size = window->Attribute("size")) {
    read.hasSize = true;
    read.size = size;
  }
  for (const tinyxml2::XMLElement* child = window->FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (std::strcmp(child->Name(), "Font") == 0) {
      read.fonts.push_back(ReadFont(*child));
    } else {
      read.controls.push_back(ReadElement(*child));
    }
  }
  document = std::move(read);
  return true;
}

}  // namespace Lumi
