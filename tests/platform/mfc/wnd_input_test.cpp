// Windows of the class library under real pointer input (xdotool on Xvfb):
// window regions shape what is shown and what is clicked, hit tests decide
// client or non-client messages, capture, window-move drags, double clicks,
// context menus, and the geometry calls the messages carry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QRubberBand>

#include "platform/win/capture.h"
#include "tests/platform/mfc/wnd_support.h"

namespace {

using test::At;
using test::Recorder;
using test::WaitFor;
using test::Xdo;

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);

// A child that its body drags: it answers HTCAPTION everywhere.
struct Handle : Recorder<> {
  LRESULT OnNcHitTest(CPoint) override { return HTCAPTION; }
};

class WndInput : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ASSERT_TRUE(parent.Create(nullptr, "parent", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 240}, nullptr, 0));
    ASSERT_TRUE(WaitFor([&] { return parent.IsWindowVisible() && test::ScreenPixel(5, 5) == kWhite; }));
    parent.GetWindowRect(&origin);
  }
  void TearDown() override { Xdo("mousemove 900 700"); }

  void Fill(CWnd& w, COLORREF c) {
    CDC* dc = w.GetDC();
    RECT r;
    w.GetClientRect(&r);
    dc->FillSolidRect(r, c);
    w.ReleaseDC(dc);
  }

  Recorder<> parent;
  RECT origin{};
};

TEST_F(WndInput, ARegionShapesWhatIsShownAndWhatIsClicked) {
  Recorder<> child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{40, 30, 100, 90}, &parent, 1));
  const POINT triangle[] = {{0, 0}, {60, 0}, {0, 60}};
  CRgn shape;
  ASSERT_TRUE(shape.CreatePolygonRgn(triangle, 3, ALTERNATE));
  CRgn expected;
  expected.CreateRectRgn(0, 0, 0, 0);
  expected.CombineRgn(&shape, nullptr, RGN_COPY);
  ASSERT_EQ(child.SetWindowRgn(HRGN(shape.Detach()), TRUE), 1);  // the window owns it now
  child.UpdateWindow();                                          // its paint erases it
  Fill(child, kRed);

  // On the screen and in what the parent's DC reads: red exactly on the
  // region, the parent's white elsewhere in the child's rectangle.
  RECT box;
  child.GetWindowRect(&box);
  auto shows = [&](const std::vector<COLORREF>& pixels) {
    if (pixels.size() != 60u * 60u) return false;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x)
        if (pixels[size_t(y * 60 + x)] != (expected.PtInRegion(x, y) ? kRed : kWhite)) return false;
    return true;
  };
  EXPECT_TRUE(WaitFor([&] { return shows(test::ScreenPixels(box)); }));
  CDC* pdc = parent.GetDC();
  std::vector<COLORREF> read;
  for (int y = 30; y < 90; ++y)
    for (int x = 40; x < 100; ++x) read.push_back(pdc->GetPixel(x, y));
  parent.ReleaseDC(pdc);
  EXPECT_TRUE(shows(read));

  CRgn copy;
  copy.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(child.GetWindowRgn(copy), COMPLEXREGION);
  EXPECT_TRUE(copy.Region()->Equals(*expected.Region()));

  // Inside the rectangle but outside the region: the click is the parent's.
  ASSERT_TRUE(Xdo(At(child, 45, 45) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return parent.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(child.Count(WM_LBUTTONDOWN), 0u);
  EXPECT_EQ(CPoint(parent.Last(WM_LBUTTONDOWN)->lParam), CPoint(85, 75));
  ASSERT_TRUE(Xdo(At(child, 10, 12) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return child.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(CPoint(child.Last(WM_LBUTTONDOWN)->lParam), CPoint(10, 12));
  EXPECT_EQ(parent.Count(WM_LBUTTONDOWN), 1u);

  // Without a region the whole rectangle is the child's again.
  child.SetWindowRgn(nullptr, FALSE);
  EXPECT_EQ(child.GetWindowRgn(copy), ERROR);
  ASSERT_TRUE(Xdo(At(child, 45, 45) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return child.Count(WM_LBUTTONUP) == 2; }));
  EXPECT_EQ(parent.Count(WM_LBUTTONDOWN), 1u);
  EXPECT_TRUE(WaitFor([&] { return test::ScreenPixel(box.left + 45, box.top + 45) == kRed; }));
}

TEST_F(WndInput, MoveWindowReportsAChangedPositionFromInsideTheCall) {
  Recorder<> child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 60}, &parent, 1));
  child.got.clear();
  child.MoveWindow(20, 30, 40, 45, TRUE);
  ASSERT_EQ(child.Count(WM_MOVE), 1u) << "sent, not posted";
  EXPECT_EQ(CPoint(child.Last(WM_MOVE)->lParam), CPoint(20, 30));
  RECT r;
  child.GetWindowRect(&r);
  EXPECT_EQ(CRect(r), CRect(origin.left + 20, origin.top + 30, origin.left + 60, origin.top + 75));
  child.GetClientRect(&r);
  EXPECT_EQ(CRect(r), CRect(0, 0, 40, 45));
  child.MoveWindow(20, 30, 50, 50, FALSE);
  child.MoveWindow(CRect(20, 30, 70, 80), TRUE);
  EXPECT_EQ(child.Count(WM_MOVE), 1u) << "same place: no WM_MOVE";
  child.MoveWindow(-5, 7, 50, 50, FALSE);
  EXPECT_EQ(CPoint(child.Last(WM_MOVE)->lParam), CPoint(-5, 7)) << "signed coordinates";

  POINT p{3, 4};
  child.ClientToScreen(&p);
  EXPECT_EQ(CPoint(p), CPoint(origin.left - 2, origin.top + 11));
  parent.ScreenToClient(&p);
  EXPECT_EQ(CPoint(p), CPoint(-2, 11));
  RECT rc{0, 0, 10, 10};
  child.ClientToScreen(&rc);
  child.ScreenToClient(&rc);
  EXPECT_EQ(CRect(rc), CRect(0, 0, 10, 10));
}

TEST_F(WndInput, ACaptionDragMovesTheWindowOnceAtTheDrop) {
  Handle child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{50, 50, 90, 90}, &parent, 1));
  RECT before;
  child.GetWindowRect(&before);
  ASSERT_TRUE(Xdo(At(child, 10, 10) + " mousedown 1 sleep 0.1 " + At(child, 30, 20) + " sleep 0.1 " +
                  At(child, 70, 50) + " sleep 0.1"));
  // While the button is down only an outline follows the pointer.
  QPointer<QRubberBand> band;
  ASSERT_TRUE(WaitFor([&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<QRubberBand*>(w); b && b->isVisible()) band = b;
    return band && band->geometry().topLeft() == QPoint(before.left + 60, before.top + 40);
  }));
  EXPECT_EQ(child.Count(WM_MOVE), 0u);
  RECT now;
  child.GetWindowRect(&now);
  EXPECT_EQ(CRect(now), CRect(before));
  ASSERT_TRUE(Xdo("mouseup 1"));
  ASSERT_TRUE(WaitFor([&] { return child.Count(WM_MOVE) == 1; }));
  EXPECT_EQ(CPoint(child.Last(WM_MOVE)->lParam), CPoint(110, 90));
  EXPECT_EQ(child.Count(WM_NCLBUTTONDOWN), 1u);
  EXPECT_EQ(child.Count(WM_LBUTTONDOWN), 0u) << "a caption press is non-client";
  EXPECT_EQ(LRESULT(child.Last(WM_NCLBUTTONDOWN)->wParam), HTCAPTION);
  EXPECT_TRUE(!band || !band->isVisible());

  // The pointer stays inside the parent's client area; a press without a
  // move moves nothing.
  ASSERT_TRUE(Xdo(At(child, 5, 5) + " mousedown 1 sleep 0.1 mousemove 700 600 sleep 0.1 mouseup 1"));
  ASSERT_TRUE(WaitFor([&] { return child.Count(WM_MOVE) == 2; }));
  EXPECT_EQ(CPoint(child.Last(WM_MOVE)->lParam), CPoint(110 + 299 - 115, 90 + 239 - 95));
  ASSERT_TRUE(Xdo(At(child, 5, 5) + " mousedown 1 sleep 0.1 mouseup 1"));
  ASSERT_TRUE(WaitFor([&] { return child.Count(WM_NCLBUTTONDOWN) == 3; }));
  test::RunFor(200);
  EXPECT_EQ(child.Count(WM_MOVE), 2u);
}

TEST_F(WndInput, TheSecondPressOfADoubleClickIsADoubleClickMessage) {
  Recorder<> plain;
  Handle handle;
  ASSERT_TRUE(plain.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 60}, &parent, 1));
  ASSERT_TRUE(handle.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{100, 10, 150, 60}, &parent, 2));
  ASSERT_TRUE(Xdo(At(plain, 20, 20) + " click --repeat 2 --delay 60 1"));
  ASSERT_TRUE(WaitFor([&] { return plain.Count(WM_LBUTTONUP) == 2; }));
  EXPECT_EQ(plain.Sequence({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
  EXPECT_EQ(CPoint(plain.Last(WM_LBUTTONDBLCLK)->lParam), CPoint(20, 20));
  EXPECT_EQ(plain.Last(WM_LBUTTONDBLCLK)->wParam & MK_LBUTTON, WPARAM(MK_LBUTTON));

  // Both clicks of a double click are on one window.
  Recorder<> left, right;
  ASSERT_TRUE(left.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{10, 100, 60, 150}, &parent, 3));
  ASSERT_TRUE(right.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{60, 100, 110, 150}, &parent, 4));
  ASSERT_TRUE(Xdo(At(left, 49, 20) + " click 1 sleep 0.05 " + At(right, 0, 20) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return right.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(right.Sequence({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), (std::vector<UINT>{WM_LBUTTONDOWN}));

  ASSERT_TRUE(Xdo(At(handle, 20, 20) + " click --repeat 2 --delay 60 1"));
  ASSERT_TRUE(WaitFor([&] { return handle.Count(WM_NCLBUTTONUP) == 1; }));
  EXPECT_EQ(handle.Sequence({WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK, WM_NCLBUTTONUP, WM_LBUTTONDBLCLK, WM_MOVE}),
            (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK, WM_NCLBUTTONUP}))
      << "the first release ends the move drag";
}

TEST_F(WndInput, TheCaptureTakesEveryMouseMessage) {
  Recorder<> child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{100, 100, 140, 140}, &parent, 1));
  ASSERT_TRUE(Xdo(At(origin.left + 20, origin.top + 20)));
  EXPECT_EQ(child.SetCapture(), nullptr);
  EXPECT_EQ(CWnd::GetCapture(), &child);
  EXPECT_EQ(::GetCapture(), child.m_hWnd);
  child.got.clear();
  parent.got.clear();
  ASSERT_TRUE(Xdo(At(origin.left + 30, origin.top + 25)));
  ASSERT_TRUE(WaitFor([&] { return child.Count(WM_MOUSEMOVE) > 0; }));
  EXPECT_EQ(CPoint(child.Last(WM_MOUSEMOVE)->lParam), CPoint(-70, -75)) << "client coordinates, outside";
  EXPECT_EQ(child.Count(WM_NCHITTEST), 0u) << "captured input is not hit-tested";
  EXPECT_EQ(parent.Count(WM_MOUSEMOVE), 0u);

  EXPECT_TRUE(::ReleaseCapture());
  EXPECT_EQ(child.Count(WM_CAPTURECHANGED), 1u);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  EXPECT_FALSE(::ReleaseCapture());
  ASSERT_TRUE(Xdo(At(origin.left + 40, origin.top + 30)));
  ASSERT_TRUE(WaitFor([&] { return parent.Count(WM_MOUSEMOVE) > 0; }));
  EXPECT_EQ(CPoint(parent.Last(WM_MOUSEMOVE)->lParam), CPoint(40, 30));

  // Another window taking it tells the one that had it.
  Recorder<> other;
  ASSERT_TRUE(other.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, &parent, 2));
  child.SetCapture();
  EXPECT_EQ(other.SetCapture(), &child);
  EXPECT_EQ(child.Count(WM_CAPTURECHANGED), 2u);
  EXPECT_EQ(HWND(child.Last(WM_CAPTURECHANGED)->lParam), other.m_hWnd);
  other.DestroyWindow();
  EXPECT_EQ(::GetCapture(), 0u) << "a window that goes lets go";
}

TEST_F(WndInput, RightClicksRaiseContextMenusClientSideOnly) {
  Recorder<> child;
  Handle handle;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 60}, &parent, 1));
  ASSERT_TRUE(handle.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{100, 10, 150, 60}, &parent, 2));
  ASSERT_TRUE(Xdo(At(child, 5, 6) + " click 3"));
  ASSERT_TRUE(WaitFor([&] { return parent.Count(WM_CONTEXTMENU) == 1; }));
  ASSERT_EQ(child.Count(WM_CONTEXTMENU), 1u);
  EXPECT_EQ(HWND(child.Last(WM_CONTEXTMENU)->wParam), child.m_hWnd);
  EXPECT_EQ(CPoint(child.Last(WM_CONTEXTMENU)->lParam), CPoint(origin.left + 15, origin.top + 16)) << "screen";
  EXPECT_EQ(HWND(parent.Last(WM_CONTEXTMENU)->wParam), child.m_hWnd) << "passed on by the default handling";
  EXPECT_EQ(child.Sequence({WM_RBUTTONUP, WM_CONTEXTMENU}), (std::vector<UINT>{WM_RBUTTONUP, WM_CONTEXTMENU}));

  ASSERT_TRUE(Xdo(At(handle, 5, 6) + " click 3"));
  ASSERT_TRUE(WaitFor([&] { return handle.Count(WM_NCRBUTTONUP) == 1; }));
  EXPECT_EQ(CPoint(handle.Last(WM_NCRBUTTONUP)->lParam), CPoint(origin.left + 105, origin.top + 16));
  test::RunFor(100);
  EXPECT_EQ(handle.Count(WM_CONTEXTMENU), 0u);
  EXPECT_EQ(parent.Count(WM_CONTEXTMENU), 1u);
}

TEST_F(WndInput, InputPassesPreTranslateMessageOfTheWindowAndItsParents) {
  struct Filter : Recorder<> {
    std::vector<MSG> seen;
    BOOL PreTranslateMessage(MSG* m) override {
      seen.push_back(*m);
      return m->message == WM_LBUTTONDOWN;
    }
  };
  Filter filtering;
  ASSERT_TRUE(filtering.Create(nullptr, "", WS_POPUP | WS_VISIBLE, RECT{400, 0, 500, 100}, nullptr, 0));
  Recorder<> child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 60}, &filtering, 1));
  ASSERT_TRUE(WaitFor([&] { return child.IsWindowVisible() && test::ScreenPixel(420, 20) == kWhite; }));
  ASSERT_TRUE(Xdo(At(child, 7, 8) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return child.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(child.Count(WM_LBUTTONDOWN), 0u) << "swallowed by the parent's filter";
  auto down = std::find_if(filtering.seen.begin(), filtering.seen.end(),
                           [](const MSG& m) { return m.message == WM_LBUTTONDOWN; });
  ASSERT_NE(down, filtering.seen.end());
  EXPECT_EQ(down->hwnd, child.m_hWnd);
  EXPECT_EQ(CPoint(down->lParam), CPoint(7, 8));
  RECT r;
  child.GetWindowRect(&r);
  EXPECT_EQ(CPoint(down->pt), CPoint(r.left + 7, r.top + 8));
}

TEST_F(WndInput, ADisabledWindowLeavesItsClicksToItsParent) {
  Recorder<> child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_DISABLED, RECT{10, 10, 60, 60}, &parent, 1));
  EXPECT_FALSE(child.IsWindowEnabled());
  EXPECT_TRUE(child.GetStyle() & WS_DISABLED);
  ASSERT_TRUE(Xdo(At(child, 5, 5) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return parent.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(CPoint(parent.Last(WM_LBUTTONDOWN)->lParam), CPoint(15, 15));
  EXPECT_EQ(child.Count(WM_LBUTTONDOWN), 0u);
  EXPECT_TRUE(child.EnableWindow(TRUE)) << "it was disabled";
  EXPECT_EQ(child.Last(WM_ENABLE)->wParam, WPARAM(TRUE));
  ASSERT_TRUE(Xdo(At(child, 5, 5) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return child.Count(WM_LBUTTONUP) == 1; }));
}

}  // namespace
