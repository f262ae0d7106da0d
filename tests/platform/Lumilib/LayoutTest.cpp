// Layout through the real skin builder: fixed and stretching sizes, padding, inset, child
// padding, floating controls, and hidden controls that take no room.
#include "tests/platform/Lumilib/LumiFixture.h"

#include <memory>

namespace lumitest {
namespace {

const char kSkin[] = R"(<Window size="200,100">
  <VerticalLayout name="root" inset="5,5,5,5" childpadding="2">
    <Control name="fixed" height="20" />
    <Control name="gone" height="30" visible="false" />
    <HorizontalLayout name="row" padding="3,0,3,0" childpadding="4">
      <Control name="a" width="50" padding="0,2,0,2" />
      <Control name="b" />
      <Control name="c" />
    </HorizontalLayout>
    <Control name="tail" />
    <Control name="float" float="true" pos="10,10,30,20" />
  </VerticalLayout>
</Window>)";

class LayoutTest : public LumiTest {
protected:
  Lumi::QRect Pos(const wchar_t* name) {
    Lumi::CControlUI* control = window.manager.FindControl(name);
    return control ? control->GetPos() : Lumi::QRect(-1, -1, -1, -1);
  }
};

TEST_F(LayoutTest, FixedSizesStayAndTheRestIsSharedEqually) {
  ASSERT_NE(Load(kSkin, RECT{0, 0, 200, 100}), nullptr);
  EXPECT_EQ(window.manager.GetInitSize().cx, 200);
  EXPECT_EQ(Pos(L"fixed"), Lumi::QRect(5, 5, 195, 25));
  EXPECT_EQ(Pos(L"row"), Lumi::QRect(8, 27, 192, 60));  // 66 pixels shared by row and tail
  EXPECT_EQ(Pos(L"tail"), Lumi::QRect(5, 62, 195, 95));
  EXPECT_EQ(Pos(L"a"), Lumi::QRect(8, 29, 58, 58));
  EXPECT_EQ(Pos(L"b"), Lumi::QRect(62, 27, 125, 60));
  EXPECT_EQ(Pos(L"c"), Lumi::QRect(129, 27, 192, 60));
  EXPECT_EQ(Pos(L"float"), Lumi::QRect(10, 10, 30, 20));
}

TEST_F(LayoutTest, ShowingAndHidingMovesTheSiblings) {
  ASSERT_NE(Load(kSkin, RECT{0, 0, 200, 100}), nullptr);
  window.manager.FindControl(L"gone")->SetVisible(true);
  window.manager.UpdateLayout(RECT{0, 0, 200, 100});
  EXPECT_EQ(Pos(L"gone"), Lumi::QRect(5, 27, 195, 57));
  EXPECT_EQ(Pos(L"row"), Lumi::QRect(8, 59, 192, 76));
  EXPECT_EQ(Pos(L"tail"), Lumi::QRect(5, 78, 195, 95));

  window.manager.FindControl(L"b")->SetVisible(false);
  window.manager.UpdateLayout(RECT{0, 0, 200, 100});
  EXPECT_EQ(Pos(L"c"), Lumi::QRect(62, 59, 192, 76));  // c takes b's share too
}

TEST_F(LayoutTest, FixedSizesThatDoNotFitLeaveStretchingControlsEmpty) {
  ASSERT_NE(Load(R"(<Window><HorizontalLayout name="root">
      <Control name="wide" width="150" /><Control name="rest" /></HorizontalLayout></Window>)",
                 RECT{0, 0, 100, 10}),
            nullptr);
  EXPECT_EQ(Pos(L"wide"), Lumi::QRect(0, 0, 150, 10));
  EXPECT_EQ(Pos(L"rest").GetWidth(), 0);
}

// A container takes a control from its one owner; a control another container holds already is
// refused and stays where it is.
TEST(ContainerOwnershipTest, AControlHasOneParent) {
  Lumi::CContainerUI first;
  Lumi::CContainerUI second;
  auto control = std::make_unique<Lumi::CControlUI>();
  Lumi::CControlUI* const added = control.get();
  ASSERT_TRUE(first.AddAt(std::move(control), 0));
  EXPECT_EQ(added->GetParent(), &first);

  EXPECT_FALSE(second.Add(std::unique_ptr<Lumi::CControlUI>(added)));
  EXPECT_FALSE(second.AddAt(added, 0));
  EXPECT_EQ(second.GetCount(), 0);
  EXPECT_EQ(first.GetItemAt(0), added);
  EXPECT_FALSE(first.Add(std::unique_ptr<Lumi::CControlUI>()));
}

}  // namespace
}  // namespace lumitest
