// Windows of the class library on a real X server: their DCs draw on what
// the screen shows, from any thread; reads see child windows; messages reach
// WindowProc on the GUI thread.
#include "platform/mfc/wnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/screen.h"
#include "tests/platform/mfc/wnd_support.h"

namespace {

using test::App;
using test::ScreenPixel;
using test::WaitFor;

struct Recorder : CWnd {
  std::vector<UINT> messages;
  std::atomic<bool> offGuiThread{false};
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (QThread::currentThread() != App()->thread()) offGuiThread = true;
    messages.push_back(message);
    return CWnd::WindowProc(message, wParam, lParam);
  }
  bool Got(UINT m) const { return std::find(messages.begin(), messages.end(), m) != messages.end(); }
};

class WndTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
};

}  // namespace

TEST_F(WndTest, DrawingShowsOnTheScreen) {
  CWnd w;
  ASSERT_TRUE(w.Create(nullptr, "画板", WS_POPUP | WS_VISIBLE, RECT{50, 60, 250, 160}, nullptr, 0));
  EXPECT_NE(w.m_hWnd, 0u);
  RECT client;
  w.GetClientRect(&client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(60, 70) == RGB(255, 255, 255); })) << "a new window is white";
  CDC* dc = w.GetDC();
  ASSERT_NE(dc, nullptr);
  dc->FillSolidRect(RECT{10, 10, 40, 30}, RGB(255, 0, 0));
  EXPECT_EQ(dc->GetPixel(10, 10), RGB(255, 0, 0));
  EXPECT_EQ(w.ReleaseDC(dc), 1);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(60, 70) == RGB(255, 0, 0) && ScreenPixel(90, 90) == RGB(255, 255, 255); }));

  // From a worker thread too.
  std::thread worker([&] {
    CDC* wdc = w.GetDC();
    wdc->FillSolidRect(RECT{100, 50, 120, 60}, RGB(0, 0, 255));
    w.ReleaseDC(wdc);
  });
  worker.join();
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(155, 115) == RGB(0, 0, 255); }));
}

TEST_F(WndTest, ReadsSeeVisibleChildWindows) {
  CWnd parent, child;
  ASSERT_TRUE(parent.Create(nullptr, "p", WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100}, nullptr, 0));
  EXPECT_FALSE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{10, 10, 30, 30}, nullptr, 7)) << "no parent";
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{10, 10, 30, 30}, &parent, 7));
  EXPECT_EQ(child.GetDlgCtrlID(), 7u);
  EXPECT_EQ(child.GetParent(), &parent);
  CDC* c = child.GetDC();
  c->FillSolidRect(RECT{0, 0, 20, 20}, RGB(0, 200, 0));
  child.ReleaseDC(c);
  CDC* p = parent.GetDC();
  EXPECT_TRUE(WaitFor([&] { return p->GetPixel(15, 15) == RGB(0, 200, 0); }));
  EXPECT_EQ(p->GetPixel(35, 15), RGB(255, 255, 255));
  // A copy from the parent's DC takes the child along.
  CDC mem;
  CBitmap bmp;
  mem.CreateCompatibleDC(p);
  bmp.CreateCompatibleBitmap(p, 100, 100);
  mem.SelectObject(&bmp);
  mem.BitBlt(0, 0, 100, 100, p, 0, 0, SRCCOPY);
  EXPECT_EQ(mem.GetPixel(29, 29), RGB(0, 200, 0));
  EXPECT_EQ(mem.GetPixel(30, 30), RGB(255, 255, 255));
  child.ShowWindow(SW_HIDE);
  EXPECT_TRUE(WaitFor([&] { return p->GetPixel(15, 15) == RGB(255, 255, 255); }));
  parent.ReleaseDC(p);
  // Destroying the parent destroys the child.
  EXPECT_TRUE(parent.DestroyWindow());
  EXPECT_EQ(child.m_hWnd, 0u);
  EXPECT_EQ(child.GetDC(), nullptr);
}

TEST_F(WndTest, MessagesReachWindowProcOnTheGuiThread) {
  Recorder w;
  ASSERT_TRUE(w.Create(nullptr, "m", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
  std::thread worker([&] { EXPECT_TRUE(w.PostMessage(WM_USER + 2000, 9, 0)); });
  worker.join();
  EXPECT_TRUE(WaitFor([&] { return w.Got(WM_USER + 2000); }));
  EXPECT_FALSE(w.offGuiThread);
  // InvalidateRect asks for a repaint, which erases the area to white
  // first (WM_ERASEBKGND's default); without erase it is left as it is.
  CDC* dc = w.GetDC();
  dc->FillSolidRect(RECT{0, 0, 50, 50}, RGB(10, 10, 10));
  w.messages.clear();
  w.InvalidateRect(nullptr, TRUE);
  EXPECT_TRUE(WaitFor([&] { return w.Got(WM_PAINT); }));
  EXPECT_TRUE(w.Got(WM_ERASEBKGND));
  EXPECT_EQ(dc->GetPixel(49, 49), RGB(255, 255, 255));
  dc->FillSolidRect(RECT{0, 0, 50, 50}, RGB(10, 10, 10));
  RECT part{0, 0, 10, 10};
  w.InvalidateRect(&part, TRUE);
  EXPECT_TRUE(WaitFor([&] { return dc->GetPixel(5, 5) == RGB(255, 255, 255); }));
  EXPECT_EQ(dc->GetPixel(15, 15), RGB(10, 10, 10));
  w.messages.clear();
  w.InvalidateRect(nullptr, FALSE);
  EXPECT_TRUE(WaitFor([&] { return w.Got(WM_PAINT); }));
  EXPECT_FALSE(w.Got(WM_ERASEBKGND));
  EXPECT_EQ(dc->GetPixel(15, 15), RGB(10, 10, 10));
  // WM_CLOSE destroys it; a DC still out stays usable.
  w.SendMessage(WM_CLOSE, 0, 0);
  EXPECT_EQ(w.m_hWnd, 0u);
  EXPECT_EQ(dc->SetPixel(1, 1, RGB(1, 1, 1)), RGB(1, 1, 1));
  EXPECT_FALSE(w.PostMessage(WM_USER, 0, 0));
  delete dc;
}

// The creation order and the paint cycle, as handlers see them.
TEST_F(WndTest, CreationPaintingAndTimersReachTheHandlers) {
  struct Handlers : CWnd {
    std::vector<std::string> seen;
    std::vector<RECT> painted;
    bool refuse = false;
    int ticks = 0;
    void PreSubclassWindow() override {
      seen.push_back("presubclass");
      ModifyStyle(0, 0x20);
    }
    int OnCreate(LPCREATESTRUCT cs) override {
      seen.push_back("create " + std::to_string(cs->cx) + "x" + std::to_string(cs->cy) +
                     ((cs->style & 0x20) ? " styled" : ""));
      return refuse ? -1 : CWnd::OnCreate(cs);
    }
    void OnPaint() override {
      PAINTSTRUCT ps;
      CDC* dc = BeginPaint(&ps);
      painted.push_back(ps.rcPaint);
      if (dc) dc->FillSolidRect(ps.rcPaint, RGB(0, 0, 200));
      EndPaint(&ps);
    }
    void OnTimer(UINT_PTR id) override {
      if (id == 5 && ++ticks == 2) KillTimer(5);
    }
  };
  Handlers refused;
  refused.refuse = true;
  EXPECT_FALSE(refused.Create(nullptr, "r", WS_POPUP, RECT{0, 0, 20, 20}, nullptr, 0));
  EXPECT_EQ(refused.m_hWnd, 0u) << "-1 from WM_CREATE destroys it";

  Handlers w;
  ASSERT_TRUE(w.Create(nullptr, "h", WS_POPUP | WS_VISIBLE, RECT{0, 0, 60, 40}, nullptr, 0));
  EXPECT_EQ(w.seen, (std::vector<std::string>{"presubclass", "create 60x40 styled"}));
  EXPECT_TRUE(w.GetStyle() & WS_VISIBLE);
  w.UpdateWindow();
  ASSERT_EQ(w.painted.size(), 1u) << "shown: painted whole, at once when asked";
  EXPECT_EQ(w.painted[0].right, 60);
  RECT a{5, 5, 10, 10}, b{20, 8, 30, 12};
  w.InvalidateRect(&a, FALSE);
  w.InvalidateRect(&b, FALSE);
  EXPECT_TRUE(WaitFor([&] { return w.painted.size() == 2; }));
  const RECT& u = w.painted[1];
  EXPECT_TRUE(u.left == 5 && u.top == 5 && u.right == 30 && u.bottom == 12) << "one paint for both areas";
  CDC* dc = w.GetDC();
  EXPECT_EQ(dc->GetPixel(7, 7), RGB(0, 0, 200));
  EXPECT_EQ(dc->GetPixel(40, 30), RGB(0, 0, 200));
  w.ReleaseDC(dc);
  QElapsedTimer t;
  t.start();
  EXPECT_TRUE(WaitFor([&] { return t.elapsed() > 200; }));
  EXPECT_EQ(w.painted.size(), 2u) << "nothing more to paint";

  EXPECT_EQ(w.SetTimer(5, 10), 5u);
  EXPECT_TRUE(WaitFor([&] { return w.ticks == 2; }));
  t.restart();
  EXPECT_TRUE(WaitFor([&] { return t.elapsed() > 100; }));
  EXPECT_EQ(w.ticks, 2) << "killed from its handler";
}

