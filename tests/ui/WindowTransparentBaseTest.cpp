// The layered window: one UpdateLayeredWindow per WM_PAINT with the window validated, a
// change inside the tree re-positions only the control that changed, and a redraw repaints
// only what changed into the picture it keeps, which ends up as a whole repaint would make it.
#include "ui/WindowTransparentBase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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
  RECT repainted = {};            // the clip box of the last repaint
  Lumi::QRect handedOver;         // what the last update told the window had changed
  std::vector<uint32_t> picture;  // what the last update handed over

protected:
  const wchar_t* GetWindowClassName() const override { return L"VxLayeredTest"; }
  LRESULT OnCreateMessage(UINT, WPARAM, LPARAM, BOOL& handled) override {
    m_paintManager.Init(m_hWnd);
    Lumi::CDialogBuilder builder;
    m_paintManager.AttachDialog(builder.CreateFromText(R"(<Window size="80,40">
        <VerticalLayout bkcolor="#80FFFFFF">
          <HorizontalLayout height="20"><Counting name="a" text="one" /><Counting name="b" text="two" /></HorizontalLayout>
          <HorizontalLayout>
            <Counting name="c" text="three" hottextcolor="#FFFF0000" />
            <Button name="d" width="20" hotbkcolor="#C000FF00" pushedbkcolor="#FF0000FF" />
          </HorizontalLayout>
        </VerticalLayout></Window>)",
                                                       this, &m_paintManager));
    handled = TRUE;
    return 0;
  }
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override {
    if (msg == WM_PAINT) ++paints;
    return CWindowTransparentBase::OnWindowMessage(msg, wParam, lParam, handled);
  }
  void PaintContent(HDC dc, const RECT& rc) override {
    ::GetClipBox(dc, &repainted);
    CWindowTransparentBase::PaintContent(dc, rc);
  }
  BOOL UpdateLayered(HDC source, POINT destination, SIZE size, const RECT* changed) override {
    ++updates;
    DIBSECTION section = {};
    ::GdiFlush();
    if (::GetObjectW(::GetCurrentObject(source, OBJ_BITMAP), sizeof(section), &section) == sizeof(section)) {
      const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
      picture.assign(bits, bits + size.cx * size.cy);
    }
    handedOver = changed ? Lumi::QRect(*changed) : Lumi::QRect(0, 0, size.cx, size.cy);
    lastUpdate = CWindowTransparentBase::UpdateLayered(source, destination, size, changed);
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

// The pointer over a control with a hot look, then pushing it, then away: each redraw repaints
// that control's rectangle only, and the picture is the one a repaint of everything makes.
TEST_F(LayeredTest, AStateChangeRepaintsOnlyItsControlIntoTheKeptPicture) {
  window.RedrawLayered();
  const std::vector<uint32_t> before = window.picture;
  const Lumi::QRect d = window.GetPaintManager().FindControl(L"d")->GetPos();
  const auto wholeRepaint = [&] {
    ::InvalidateRect(window.GetHWND(), nullptr, FALSE);
    window.RedrawLayered();
    return window.picture;
  };

  const LPARAM onD = MAKELPARAM(d.left + 2, d.top + 2);
  ::SendMessageW(window.GetHWND(), WM_MOUSEMOVE, 0, onD);
  window.RedrawLayered();
  EXPECT_EQ(Lumi::QRect(window.repainted), d);
  EXPECT_EQ(window.handedOver, d);
  const std::vector<uint32_t> hot = window.picture;
  EXPECT_NE(hot, before);
  EXPECT_EQ(wholeRepaint(), hot);

  ::SendMessageW(window.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, onD);
  window.RedrawLayered();
  EXPECT_EQ(Lumi::QRect(window.repainted), d);
  const std::vector<uint32_t> pushed = window.picture;
  EXPECT_NE(pushed, hot);
  EXPECT_EQ(wholeRepaint(), pushed);
  ::SendMessageW(window.GetHWND(), WM_LBUTTONUP, 0, onD);

  // Away onto "c", whose hot look is its text colour: both repainted, no trace of the others.
  const Lumi::QRect c = window.GetPaintManager().FindControl(L"c")->GetPos();
  window.RedrawLayered();
  ::SendMessageW(window.GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(c.left + 2, c.top + 2));
  window.RedrawLayered();
  RECT both = {};
  ::UnionRect(&both, &c, &d);
  EXPECT_EQ(Lumi::QRect(window.repainted), Lumi::QRect(both));
  const std::vector<uint32_t> onC = window.picture;
  EXPECT_EQ(wholeRepaint(), onC);
  ::SendMessageW(window.GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(79, 1));  // onto "b", no hot look
  window.RedrawLayered();
  EXPECT_EQ(window.picture, before);

  // Hidden and shown again, the window is handed the whole picture.
  window.ShowWindow(false);
  window.ShowWindow(true, false);
  ::SendMessageW(window.GetHWND(), WM_MOUSEMOVE, 0, onD);
  window.RedrawLayered();
  EXPECT_EQ(window.handedOver, Lumi::QRect(0, 0, 80, 40));
}

}  // namespace
