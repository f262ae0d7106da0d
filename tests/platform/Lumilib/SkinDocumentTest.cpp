#include "platform/Lumilib/SkinDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Lumi::ReadSkinDocument;
using Lumi::SkinDocument;

TEST(SkinDocumentTest, ReadsTheWindowItsFontsAndItsControlsAsWritten) {
  SkinDocument document;
  ASSERT_TRUE(ReadSkinDocument(R"(<?xml version="1.0" encoding="utf-8"?>
      <Window size="300,200"><Font id="2" name="" size="14" bold="true" />
        <VerticalLayout inset="1,2,3,4" bkcolor="#FF102030">text is ignored<!-- and comments -->
          <Label name="title" text="&lt;&#x89C6;&gt;" /><Gadget a="1" b="" />
        </VerticalLayout><Font id="3" name="Sans" underline="1" /><Control /></Window>)",
                               document));
  EXPECT_TRUE(document.hasSize);
  EXPECT_EQ(document.size, "300,200");
  ASSERT_EQ(document.fonts.size(), 2u);
  EXPECT_EQ(document.fonts[0].id, 2);
  EXPECT_EQ(document.fonts[0].size, 14);
  EXPECT_TRUE(document.fonts[0].bold);
  EXPECT_FALSE(document.fonts[0].italic);
  EXPECT_EQ(document.fonts[1].name, "Sans");
  EXPECT_EQ(document.fonts[1].size, 12);
  EXPECT_TRUE(document.fonts[1].underline);
  ASSERT_EQ(document.controls.size(), 2u);
  const Lumi::SkinElement& layout = document.controls[0];
  EXPECT_EQ(layout.name, "VerticalLayout");
  EXPECT_EQ(layout.attributes, (decltype(layout.attributes){{"inset", "1,2,3,4"}, {"bkcolor", "#FF102030"}}));
  ASSERT_EQ(layout.children.size(), 2u);
  EXPECT_EQ(layout.children[0].attributes[1].second, "<\xE8\xA7\x86>");
  EXPECT_EQ(layout.children[1].name, "Gadget");
  EXPECT_EQ(document.controls[1].name, "Control");
}

TEST(SkinDocumentTest, BadTextIsRefusedAndChangesNothing) {
  // Well-formed, but nested deeper than the reader goes.
  std::string deep = "<Window>";
  for (int i = 0; i < 150; ++i) deep += "<a>";
  for (int i = 0; i < 150; ++i) deep += "</a>";
  deep += "</Window>";
  const std::string bad[] = {"",
                             "<Window>",
                             "<Dialog><Control/></Dialog>",
                             "<Window a=\"1\" a=\"2\"/>",
                             "<Window><Control name=\"x></Window>",
                             std::string("\xFF\xFE<\0W", 5),
                             deep};
  for (const std::string& text : bad) {
    SkinDocument document;
    document.size = "kept";
    EXPECT_FALSE(ReadSkinDocument(text, document)) << text.substr(0, 40);
    EXPECT_EQ(document.size, "kept");
    EXPECT_TRUE(document.controls.empty());
  }
  SkinDocument empty;
  EXPECT_TRUE(ReadSkinDocument("<Window />", empty));
  EXPECT_FALSE(empty.hasSize);
  EXPECT_TRUE(empty.controls.empty());
}

}  // namespace
