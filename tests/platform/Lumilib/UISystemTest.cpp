#include "platform/Lumilib/UISystem.h"

#include <gtest/gtest.h>

namespace {

Lumi::CControlUI* CreateNothing(const wchar_t*) { return nullptr; }

TEST(UISystemTest, IsOneObjectPerProcess) {
  EXPECT_EQ(&Lumi::CUISystem::GetInstance(), &Lumi::CUISystem::GetInstance());
}

TEST(UISystemTest, InstanceDefaultsToTheExecutable) {
  auto& ui = Lumi::CUISystem::GetInstance();
  EXPECT_EQ(ui.GetModuleInstance(), ::GetModuleHandleW(nullptr));
  ui.SetInstance(::GetModuleHandleW(L"kernel32.dll"));
  EXPECT_EQ(ui.GetModuleInstance(), ::GetModuleHandleW(L"kernel32.dll"));
  ui.SetInstance(nullptr);
}

TEST(UISystemTest, ResourcePathKeepsOneTrailingSeparator) {
  auto& ui = Lumi::CUISystem::GetInstance();
  ui.SetResourcePath(L"C:\\prog\\tcskin");
  EXPECT_EQ(ui.GetResourcePath(), L"C:\\prog\\tcskin\\");
  ui.SetResourcePath(L"C:\\prog\\tcskin\\");
  EXPECT_EQ(ui.GetResourcePath(), L"C:\\prog\\tcskin\\");
  ui.SetResourcePath(nullptr);
  EXPECT_EQ(ui.GetResourcePath(), L"");
}

TEST(UISystemTest, ControlCreatorIsHandedBack) {
  auto& ui = Lumi::CUISystem::GetInstance();
  EXPECT_EQ(ui.GetControlCreator(), nullptr);
  ui.SetControlCreator(&CreateNothing);
  EXPECT_EQ(ui.GetControlCreator(), &CreateNothing);
  ui.SetControlCreator(nullptr);
}

}  // namespace
