// CButton under real pointer input: an owner-drawn button is asked to draw
// every state it passes through (pushed, focus, disabled) and tells its
// parent of clicks and double clicks.
#include "platform/mfc/button.h"

#include <gtest/gtest.h>

#include "tests/platform/mfc/wnd_support.h"

namespace {

using test::At;
using test::Recorder;
using test::WaitFor;
using test::Xdo;

const COLORREF kPushed = RGB(200, 0, 0), kUp = RGB(0, 160, 0);

// Owner-drawn from its own PreSubclassWindow, as a derived button makes
// itself; draws red while pushed, green otherwise.
struct Drawn : Recorder<CButton> {
  std::vector<DRAWITEMSTRUCT> items;
  void PreSubclassWindow() override { ModifyStyle(0, BS_OWNERDRAW); }
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    items.push_back(*item);
    CDC::FromHandle(item->hDC)->FillSolidRect(item->rcItem, (item->itemState & ODS_SELECTED) ? kPushed : kUp);
  }
  UINT LastState() const { return items.empty() ? ~0u : items.back().itemState; }
};

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ASSERT_TRUE(parent.Create(nullptr, "parent", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 150}, nullptr, 0));
    ASSERT_TRUE(button.Create("OK", WS_CHILD | WS_VISIBLE, RECT{20, 20, 80, 60}, &parent, 77));
    ASSERT_TRUE(WaitFor([&] { return test::ScreenPixel(button.x(30), button.y(30)) == kUp; }));
  }
  void TearDown() override { Xdo("mousemove 900 700"); }

  size_t Notified(WORD code) const {
    size_t n = 0;
    for (const auto& g : parent.got)
      if (g.message == WM_COMMAND && g.wParam == MAKEWPARAM(77, code) && HWND(g.lParam) == button.m_hWnd) ++n;
    return n;
  }

  Recorder<> parent;
  struct : Drawn {
    int x(int cx) const { return Screen(cx, 0).x; }
    int y(int cy) const { return Screen(0, cy).y; }
    POINT Screen(int cx, int cy) const { return test::OnScreen(*this, cx, cy); }
    std::string At(int cx, int cy) const { return test::At(x(cx), y(cy)); }
  } button;
};

TEST_F(ButtonTest, DrawsEveryStateAndTellsTheParentOfAClickInside) {
  EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, DWORD(BS_OWNERDRAW));
  CString text;
  button.GetWindowText(text);
  EXPECT_EQ(text, "OK");
  const DRAWITEMSTRUCT& first = button.items.front();
  EXPECT_EQ(first.CtlType, UINT(ODT_BUTTON));
  EXPECT_EQ(first.CtlID, 77u);
  EXPECT_EQ(first.itemAction, UINT(ODA_DRAWENTIRE));
  EXPECT_EQ(first.itemState, 0u);
  EXPECT_EQ(first.hwndItem, button.m_hWnd);
  EXPECT_EQ(CRect(first.rcItem), CRect(0, 0, 60, 40));

  ASSERT_TRUE(Xdo(button.At(10, 10) + " mousedown 1"));
  ASSERT_TRUE(WaitFor([&] { return button.LastState() == (ODS_SELECTED | ODS_FOCUS); }));
  EXPECT_EQ(CWnd::GetFocus(), &button);
  EXPECT_EQ(CWnd::GetCapture(), &button);
  EXPECT_TRUE(WaitFor([&] { return test::ScreenPixel(button.x(30), button.y(30)) == kPushed; }));
  // Out and back in while the button is down.
  ASSERT_TRUE(Xdo(button.At(100, 10)));
  ASSERT_TRUE(WaitFor([&] { return button.LastState() == ODS_FOCUS; }));
  EXPECT_EQ(button.items.back().itemAction, UINT(ODA_SELECT));
  ASSERT_TRUE(Xdo(button.At(12, 12)));
  ASSERT_TRUE(WaitFor([&] { return button.LastState() == (ODS_SELECTED | ODS_FOCUS); }));
  EXPECT_EQ(Notified(BN_CLICKED), 0u);
  ASSERT_TRUE(Xdo("mouseup 1"));
  ASSERT_TRUE(WaitFor([&] { return Notified(BN_CLICKED) == 1; }));
  EXPECT_EQ(button.LastState(), UINT(ODS_FOCUS));
  EXPECT_EQ(CWnd::GetCapture(), nullptr);

  // Released outside: no click.
  ASSERT_TRUE(Xdo(button.At(10, 10) + " mousedown 1 sleep 0.05 " + button.At(100, 10) + " sleep 0.05 mouseup 1"));
  ASSERT_TRUE(WaitFor([&] { return button.Count(WM_LBUTTONUP) == 2; }));
  test::RunFor(100);
  EXPECT_EQ(Notified(BN_CLICKED), 1u);
  EXPECT_EQ(button.LastState(), UINT(ODS_FOCUS));
}

TEST_F(ButtonTest, ADoubleClickOnAnOwnerDrawnButtonIsANotificationNotAPress) {
  ASSERT_TRUE(Xdo(button.At(10, 10) + " click --repeat 2 --delay 60 1"));
  ASSERT_TRUE(WaitFor([&] { return Notified(BN_DOUBLECLICKED) == 1 && button.Count(WM_LBUTTONUP) == 2; }));
  EXPECT_EQ(Notified(BN_CLICKED), 1u) << "only the first click";
  size_t pushes = 0;
  for (const DRAWITEMSTRUCT& d : button.items) pushes += d.itemAction == ODA_SELECT && (d.itemState & ODS_SELECTED);
  EXPECT_EQ(pushes, 1u);
}

TEST_F(ButtonTest, ADisabledButtonIsDrawnSoAndTakesNoClicks) {
  button.EnableWindow(FALSE);
  EXPECT_EQ(button.LastState(), UINT(ODS_DISABLED));
  ASSERT_TRUE(Xdo(button.At(10, 10) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return parent.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(Notified(BN_CLICKED), 0u);
  button.Invalidate(FALSE);
  button.UpdateWindow();
  EXPECT_EQ(button.LastState(), UINT(ODS_DISABLED));
  button.EnableWindow(TRUE);
  EXPECT_EQ(button.LastState(), 0u);
}

TEST_F(ButtonTest, KeepsItsFont) {
  EXPECT_EQ(button.SendMessage(WM_GETFONT), 0);
  CFont font;
  LOGFONT lf{};
  lf.lfHeight = -16;
  ASSERT_TRUE(font.CreateFontIndirect(&lf));
  button.SendMessage(WM_SETFONT, WPARAM(HFONT(font)), TRUE);
  EXPECT_EQ(HFONT(button.SendMessage(WM_GETFONT)), HFONT(font));
  EXPECT_EQ(parent.SendMessage(WM_GETFONT), 0) << "a plain window keeps none";
}

}  // namespace
