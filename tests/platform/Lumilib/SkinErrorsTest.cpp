// Bad skins: a missing file, broken XML, elements nobody knows. No crash, a null root or a
// skipped element, and a trace record.
#include "tests/platform/Lumilib/LumiFixture.h"

#include "common/TraceRecord.h"

namespace lumitest {
namespace {

class SkinErrorsTest : public LumiTest {
protected:
  Lumi::CControlUI* Build(const wchar_t* file, Lumi::IDialogBuilderCallback* callback = nullptr) {
    Lumi::CDialogBuilder builder;
    return builder.Create(file, nullptr, callback, &window.manager);
  }
};

TEST_F(SkinErrorsTest, MissingFileGivesNullAndATrace) {
  EXPECT_EQ(Build(L"PersonalCenter//Absent.xml"), nullptr);
  EXPECT_EQ(ReadTrace(L"SkinMissing"), skin.Path() + L"PersonalCenter\\Absent.xml");
  EXPECT_EQ(Build(L""), nullptr);
  EXPECT_EQ(Build(nullptr), nullptr);
}

TEST_F(SkinErrorsTest, MalformedSkinsGiveNullAndATrace) {
  const char* const bad[] = {
      "<Window><VerticalLayout></Window>",                 // not well-formed
      "",                                                   // empty file
      "<Dialog><Control/></Dialog>",                        // not a window
      "<Window><Font id=\"0\" size=\"12\"/></Window>",      // no control at all
      "\xEF\xBB\xBF<Window><Control name=\"\xFF\xFE\"",     // truncated, bad UTF-8
  };
  for (const char* xml : bad) {
    WriteSkin("bad.xml", xml);
    ::WritePrivateProfileStringW(L"Lumilib", L"SkinMalformed", nullptr, kTraceFile);
    EXPECT_EQ(Build(L"bad.xml"), nullptr) << xml;
    EXPECT_EQ(ReadTrace(L"SkinMalformed"), skin.Path() + L"bad.xml") << xml;
  }
}

class Factory : public Lumi::IDialogBuilderCallback {
public:
  Lumi::CControlUI* CreateControl(const wchar_t* className) override {
    asked.push_back(className);
    return std::wstring(className) == L"Known" ? new Lumi::CLabelUI : nullptr;
  }
  std::vector<std::wstring> asked;
};

TEST_F(SkinErrorsTest, UnknownElementsAreSkippedWithTheirChildren) {
  WriteSkin("odd.xml", R"(<Window><HorizontalLayout name="root">
      <Control name="first" /><Gadget name="g"><Control name="inside" /></Gadget>
      <Known name="known" text="x" /><Control name="last" bogus="1" width="oops" /></HorizontalLayout></Window>)");
  Factory factory;
  std::unique_ptr<Lumi::CControlUI> root(Build(L"odd.xml", &factory));
  ASSERT_NE(root, nullptr);
  auto* container = dynamic_cast<Lumi::CContainerUI*>(root.get());
  ASSERT_NE(container, nullptr);
  ASSERT_EQ(container->GetCount(), 3);
  EXPECT_TRUE(container->GetItemAt(0)->GetName() == L"first");
  EXPECT_TRUE(container->GetItemAt(1)->GetName() == L"known");
  EXPECT_TRUE(container->GetItemAt(2)->GetName() == L"last");
  EXPECT_EQ(container->GetItemAt(2)->GetFixedWidth(), 0);
  EXPECT_EQ(factory.asked, (std::vector<std::wstring>{L"Gadget", L"Known"}));
  EXPECT_EQ(ReadTrace(L"SkinUnknownElement"), L"Gadget");
}

Lumi::CControlUI* CreateFromSystem(const wchar_t* className) {
  return std::wstring(className) == L"Gadget" ? new Lumi::CButtonUI : nullptr;
}

TEST_F(SkinErrorsTest, TheSystemsControlCreatorBuildsWhatTheCallbackDoesNot) {
  WriteSkin("gadget.xml", R"(<Window><Gadget name="g" /></Window>)");
  Lumi::CUISystem::GetInstance().SetControlCreator(&CreateFromSystem);
  std::unique_ptr<Lumi::CControlUI> root(Build(L"gadget.xml"));
  Lumi::CUISystem::GetInstance().SetControlCreator(nullptr);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(std::wstring(root->GetClass()), L"Button");
}

}  // namespace
}  // namespace lumitest
