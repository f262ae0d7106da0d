// The layered window: one UpdateLayeredWindow per WM_PAINT with the window validated, and a
// change inside the tree re-positions only the control that changed.
#include "ui/WindowTransparentBase.h"

#include <gtest/gtest.h>

#include "platform/Lumilib/UIlib.h"

namespace {

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

class CountingLabel : public Lumi::CLabelUI {
public:
  void SetPos(const Lumi::QRect& pos) override {
    ++placed;
    CLabelUI::SetPos(pos);
  }
  int placed = 0;
};

class LayeredWindow : public CWindowTransparentBase {
public:
  void Notify(Lumi::TNotifyUI&) override {}
  Lumi::CControlUI* CreateControl(const wchar_t* className) override {
    if (std::wstring(className) == L"Counting") return new CountingLabel;
    return CWindowTransparentBase::CreateControl(className);
  }
  int Placed(const wchar_t* name) { return static_cast<CountingLabel*>(m_paintManager.FindControl(name))->placed; }
  void ResetPlaced() {
    for (const wchar_t* name : {L"a", L"b", L"c"}) static_cast<CountingLabel*>(m_paintManager.FindControl(name))->placed = 0;
  }
  int updates = 0;
  int paints = 0;
  BOOL lastUpdate = FALSE;

protected:
  const wchar_t* GetWindowClassName() const override { return L"VxLayeredTest"; }
  LRESULT OnCreateMessage(UINT, WPARAM, LPARAM, BOOL& handled) override {
    m_paintManager.Init(m_hWnd);
    Lumi::CDialogBuilder builder;
    m_paintManager.AttachDialog(builder.CreateFromText(R"(<Window size="80,40">
        <VerticalLayout bkcolor="#FFFFFFFF">
          <HorizontalLayout height="20"><Counting name="a" text="one" /><Counting name="b" text="two" /></HorizontalLayout>
          <Counting name="c" text="three" />
        </VerticalLayout></Window>)",
                                                       this, &m_paintManager));
    handled = TRUE;
    return 0;
  }
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override {
    if (msg == WM_PAINT) ++paints;
    return CWindowTransparentBase::OnWindowMessage(msg, wParam, lParam, handled);
  }
  BOOL UpdateLayered(HDC source, POINT destination, SIZE size) override {
    ++updates;
    lastUpdate = CWindowTransparentBase::UpdateLayered(source, destination, size);
    return lastUpdate;
  }
};

class LayeredTest : public ::testing::Test {
protected:
  LayeredTest() {
    window.Create(nullptr, L"", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, 10, 10, 80, 40);
    window.ShowWindow(true, false);
    Pump();
  }
  LayeredWindow window;
};

TEST_F(LayeredTest, PaintLaysOutAndMakesOneLayeredUpdateAndValidatesTheWindow) {
  ASSERT_NE(window.GetHWND(), nullptr);
  // The first picture after showing may bring one more paint from the display (its exposure).
  ::InvalidateRect(window.GetHWND(), nullptr, FALSE);
  Pump();
  ASSERT_EQ(window.updates, window.paints);

  // A change of text asks for the paint, which lays out and redraws once.
  window.updates = window.paints = 0;
  static_cast<Lumi::CLabelUI*>(window.GetPaintManager().FindControl(L"c"))->SetText(L"THREE");
  Pump();
  EXPECT_EQ(window.paints, 1);
  EXPECT_EQ(window.updates, 1);
  EXPECT_TRUE(window.lastUpdate);
  EXPECT_FALSE(::GetUpdateRect(window.GetHWND(), nullptr, FALSE));
  Pump();
  EXPECT_EQ(window.paints, 1);
}

TEST_F(LayeredTest, ChangedTextRepositionsOnlyThatControl) {
  window.RedrawLayered();
  window.ResetPlaced();
  static_cast<Lumi::CLabelUI*>(window.GetPaintManager().FindControl(L"b"))->SetText(L"TWO");
  window.RedrawLayered();
  EXPECT_EQ(window.Placed(L"a"), 0);
  EXPECT_EQ(window.Placed(L"b"), 1);
  EXPECT_EQ(window.Placed(L"c"), 0);

  // Hiding a control moves its siblings: the container lays them all out again.
  window.ResetPlaced();
  window.GetPaintManager().FindControl(L"a")->SetVisible(false);
  window.RedrawLayered();
  EXPECT_EQ(window.Placed(L"b"), 1);
  EXPECT_EQ(window.Placed(L"c"), 0);
  EXPECT_EQ(window.GetPaintManager().FindControl(L"b")->GetPos().left, 0);
}

}  // namespace
