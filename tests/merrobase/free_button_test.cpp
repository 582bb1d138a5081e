// The stroke button on a real X server: its shape (painting and clicks),
// the pictures of its states with their 3-D frame and caption, the mouse
// tracking that picks the picture, the context menu with its colour
// commands (the colour chooser answered through the test variables), and
// the tooltip.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QToolTip>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <thread>

#include "platform/win/appearance.h"
#include "tests/merrobase/free_button_support.h"

namespace {

using test::At;
using test::Host;
using test::kHostColour;
using test::Probe;
using test::WaitFor;
using test::Xdo;

const COLORREF kNormal = RGB(200, 40, 40), kSelected = RGB(40, 200, 40), kHover = RGB(40, 40, 200),
               kDisabled = RGB(150, 150, 150);

// A picture's pixels as letters: F the fill colour given, H highlight,
// L 3-D light, S shadow, D dark shadow, T text, K black, ? anything else.
std::vector<std::string> Letters(const gdi::Bitmap& b, COLORREF fill, const RECT& r) {
  const std::map<COLORREF, char> names = {
      {fill, 'F'},
      {GetSysColor(COLOR_BTNHIGHLIGHT), 'H'},
      {GetSysColor(COLOR_3DLIGHT), 'L'},
      {GetSysColor(COLOR_BTNSHADOW), 'S'},
      {GetSysColor(COLOR_3DDKSHADOW), 'D'},
      {RGB(0, 0, 0), 'K'},
  };
  std::vector<std::string> rows;
  for (int y = r.top; y < r.bottom; ++y) {
    std::string row;
    for (int x = r.left; x < r.right; ++x) {
      auto it = names.find(b.GetPixel(x, y));
      row += it == names.end() ? '?' : it->second;
    }
    rows.push_back(row);
  }
  return rows;
}

// The pixels within a rectangle that are not the fill colour.
std::set<std::pair<int, int>> Ink(const gdi::Bitmap& b, COLORREF fill, const RECT& r) {
  std::set<std::pair<int, int>> s;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (b.GetPixel(x, y) != fill) s.insert({x, y});
  return s;
}

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

COLORREF Darkest(const gdi::Bitmap& b, const std::set<std::pair<int, int>>& pixels) {
  COLORREF best = RGB(255, 255, 255);
  for (auto [x, y] : pixels)
    if (Brightness(b.GetPixel(x, y)) < Brightness(best)) best = b.GetPixel(x, y);
  return best;
}

RECT Box(const std::set<std::pair<int, int>>& s) {
  RECT r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (auto [x, y] : s)
    r = RECT{std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
             std::max<LONG>(r.bottom, y + 1)};
  return r;
}

class FreeButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ASSERT_TRUE(host.Make(400, 300));
  }
  void TearDown() override { Xdo("mousemove 900 700"); }

  // A button on the host made from `region`, painted and shown.
  bool Make(Probe& b, HRGN region, CPoint at, const char* caption = "", UINT border = 1) {
    const BOOL made = b.Create(caption, WS_CHILD | WS_VISIBLE, at, region, &host, 3029, border, kNormal, kSelected,
                               kHover, kDisabled);
    ::DeleteObject(region);  // the button keeps its own copy
    return made && WaitFor([&] { return b.Picture(0) != nullptr; });
  }
  // What the screen shows of the button's client pixel.
  COLORREF Shown(const Probe& b, int x, int y) const {
    const POINT p = b.Screen(x, y);
    return test::ScreenPixel(p.x, p.y);
  }

  Host host;
};

TEST_F(FreeButtonTest, TheRegionsBoxPlacesTheWindowAndItsCentre) {
  Probe a, b;
  HRGN region = test::RectRegion(40, 25, 60, 45);
  ASSERT_TRUE(a.Create("", WS_CHILD | WS_VISIBLE, CPoint(100, 60), region, &host, 3029));
  RECT box;
  EXPECT_EQ(::GetRgnBox(region, &box), SIMPLEREGION) << "the caller's region is left as it was";
  EXPECT_EQ(CRect(box), CRect(40, 25, 60, 45));
  EXPECT_TRUE(::DeleteObject(region));
  EXPECT_EQ(a.Place(), CRect(100, 60, 120, 80));
  CRgn shape;
  shape.CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(a.GetWindowRgn(shape), ERROR);
  shape.GetRgnBox(&box);
  EXPECT_EQ(CRect(box), CRect(0, 0, 20, 20)) << "used at (0, 0) inside the window";
  EXPECT_EQ(CPoint(a.m_ptCentre), CPoint(10, 10));
  EXPECT_EQ(a.GetDlgCtrlID(), 3029u);
  EXPECT_EQ(a.GetStyle() & BS_TYPEMASK, DWORD(BS_OWNERDRAW));

  region = test::RectRegion(0, 0, 21, 11);
  ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE, CPoint(0, 0), region, &host, 3030, RGB(1, 2, 3)));
  ::DeleteObject(region);
  EXPECT_EQ(CPoint(b.m_ptCentre), CPoint(10, 5));
  EXPECT_EQ(b.m_crSelected, RGB(1, 2, 3));
  EXPECT_EQ(b.m_crNormal, GetSysColor(COLOR_BTNFACE));

  Probe c;
  EXPECT_FALSE(c.Create("", WS_CHILD, CPoint(0, 0), nullptr, &host, 1)) << "no region";
  region = test::RectRegion(0, 0, 5, 5);
  EXPECT_FALSE(c.Create("", WS_CHILD, CPoint(0, 0), region, nullptr, 1)) << "a child without parent";
  ::DeleteObject(region);

  CFreeButton* strokes = new CFreeButton[3];  // as the character engine makes them
  for (int i = 0; i < 2; ++i) {
    HRGN r = test::RectRegion(0, 0, 8, 8);
    EXPECT_TRUE(strokes[i].Create("", WS_CHILD | WS_VISIBLE, CPoint(10 * i, 200), r, &host, 3029 + i));
    ::DeleteObject(r);
  }
  const HWND first = strokes[0].m_hWnd;
  delete[] strokes;
  EXPECT_EQ(CWnd::FromHandle(first), nullptr) << "their windows go with them";
}

TEST_F(FreeButtonTest, ItPaintsExactlyItsRegionAndClicksOutsideItReachTheHost) {
  Probe b;
  // A stroke-like slanted bar.
  const std::vector<POINT> bar = {{130, 40}, {150, 40}, {90, 110}, {70, 110}};
  CRect box;
  ::GetRgnBox(test::PolygonRegion(bar), &box);
  ASSERT_TRUE(Make(b, test::PolygonRegion(bar), CPoint(50, 50)));
  CRgn shape;
  shape.CreateRectRgn(0, 0, 0, 0);
  b.GetWindowRgn(shape);
  const CRect place = b.Place();
  ASSERT_EQ(place, CRect(50, 50, 50 + box.Width(), 50 + box.Height()));
  EXPECT_TRUE(WaitFor([&] {
    RECT screen = place;
    host.ClientToScreen(&screen);
    const std::vector<COLORREF> pixels = test::ScreenPixels(screen);
    if (pixels.size() != size_t(place.Width() * place.Height())) return false;
    for (int y = 0; y < place.Height(); ++y)
      for (int x = 0; x < place.Width(); ++x)
        if ((pixels[size_t(y * place.Width() + x)] != kHostColour) != bool(shape.PtInRegion(x, y))) return false;
    return true;
  })) << "the button's colours on the region, the host's everywhere else";

  // (5, 60) lies in the window's rectangle, left of the bar.
  ASSERT_FALSE(shape.PtInRegion(5, 60));
  ASSERT_TRUE(Xdo(b.At(5, 60) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return host.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(CPoint(host.Last(WM_LBUTTONDOWN)->lParam), CPoint(55, 110));
  EXPECT_EQ(b.Count(WM_LBUTTONDOWN), 0u);
  ASSERT_TRUE(shape.PtInRegion(40, 35));
  ASSERT_TRUE(Xdo(b.At(40, 35) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return host.Clicks(3029) == 1; }));
  EXPECT_EQ(b.Count(WM_LBUTTONDOWN), 1u);
}

// The frame along a 10 x 10 square, in each border style and press state
// (rows top to bottom).
TEST_F(FreeButtonTest, TheThreeDFrameFollowsTheRegionsEdges) {
  struct Case {
    UINT border;
    int picture;  // normal or selected
    COLORREF fill;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {1,
       0,
       kNormal,
       {"HHHHHHHHHD", "HFFFFFFFFD", "HFFFFFFFFD", "HFFFFFFFFD", "HFFFFFFFFD", "HFFFFFFFFD", "HFFFFFFFFD", "HFFFFFFFFD",
        "HFFFFFFFFD", "DDDDDDDDDD"}},
      {1,
       1,
       kSelected,
       {"DDDDDDDDDH", "DFFFFFFFFH", "DFFFFFFFFH", "DFFFFFFFFH", "DFFFFFFFFH", "DFFFFFFFFH", "DFFFFFFFFH", "DFFFFFFFFH",
        "DFFFFFFFFH", "HHHHHHHHHH"}},
      {2,
       0,
       kNormal,
       {"LLLLLLLLLD", "LHHHHHHHSD", "LHFFFFFFSD", "LHFFFFFFSD", "LHFFFFFFSD", "LHFFFFFFSD", "LHFFFFFFSD", "LHFFFFFFSD",
        "LSSSSSSSSD", "DDDDDDDDDD"}},
      {2,
       1,
       kSelected,
       {"SSSSSSSSSH", "SDDDDDDDLH", "SDFFFFFFLH", "SDFFFFFFLH", "SDFFFFFFLH", "SDFFFFFFLH", "SDFFFFFFLH", "SDFFFFFFLH",
        "SLLLLLLLLH", "HHHHHHHHHH"}},
  };
  for (const Case& c : cases) {
    Probe b;
    ASSERT_TRUE(Make(b, test::RectRegion(0, 0, 10, 10), CPoint(20, 20), "", c.border));
    EXPECT_EQ(Letters(*b.Picture(c.picture), c.fill, RECT{0, 0, 10, 10}), c.rows)
        << "border " << c.border << ", picture " << c.picture;
  }
  // Outside the region nothing of the picture reaches the screen.
  Probe l;
  ASSERT_TRUE(Make(l, test::PolygonRegion({{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}}), CPoint(60, 60)));
  EXPECT_TRUE(WaitFor([&] { return Shown(l, 15, 15) == kHostColour && Shown(l, 4, 4) == kNormal; }));
  EXPECT_EQ(l.Picture(0)->GetPixel(15, 15), RGB(0, 0, 0)) << "the picture is black off the region";
}

TEST_F(FreeButtonTest, ThePointerPicksThePictureShown) {
  Probe b;
  ASSERT_TRUE(Make(b, test::RectRegion(0, 0, 40, 30), CPoint(100, 100)));
  EXPECT_TRUE(WaitFor([&] { return Shown(b, 20, 15) == kNormal; }));
  ASSERT_TRUE(Xdo(b.At(20, 15)));
  EXPECT_TRUE(WaitFor([&] { return Shown(b, 20, 15) == kHover; }));
  EXPECT_EQ(CWnd::GetCapture(), &b) << "hovering holds the capture, to see the pointer leave";
  ASSERT_TRUE(Xdo("mousedown 1"));
  EXPECT_TRUE(WaitFor([&] { return Shown(b, 20, 15) == kSelected; }));
  EXPECT_EQ(Shown(b, 0, 0), GetSysColor(COLOR_3DDKSHADOW)) << "the pressed frame";
  ASSERT_TRUE(Xdo("mouseup 1"));
  EXPECT_TRUE(WaitFor([&] { return Shown(b, 20, 15) == kHover && host.Clicks(3029) == 1; }));
  EXPECT_EQ(b.m_bCapture, 1);
  ASSERT_TRUE(Xdo(At(390, 290)));
  EXPECT_TRUE(WaitFor([&] { return Shown(b, 20, 15) == kNormal; }));
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  EXPECT_EQ(b.m_bHover, 0);
  b.EnableWindow(FALSE);
  EXPECT_TRUE(WaitFor([&] { return Shown(b, 20, 15) == kDisabled; }));
}

TEST_F(FreeButtonTest, ADoubleClickIsSeenAsAPress) {
  Probe b;
  ASSERT_TRUE(Make(b, test::RectRegion(0, 0, 40, 30), CPoint(100, 100)));
  ASSERT_TRUE(Xdo(b.At(20, 15) + " click --repeat 2 --delay 60 1"));
  ASSERT_TRUE(WaitFor([&] { return host.Clicks(3029) == 2; }));
  EXPECT_EQ(b.Count(WM_LBUTTONDBLCLK), 1u);
  EXPECT_EQ(host.Clicks(3029, BN_DOUBLECLICKED), 0u);
}

TEST_F(FreeButtonTest, TheCaptionIsCentredEtchedWhenDisabledAndShiftedWhenPressed) {
  Probe b;
  ASSERT_TRUE(Make(b, test::RectRegion(0, 0, 60, 40), CPoint(20, 20), "木"));
  // Text is drawn smoothed: the caption is every pixel that is not the fill.
  const RECT inside{3, 3, 57, 37};
  const auto normal = Ink(*b.Picture(0), kNormal, inside);
  ASSERT_FALSE(normal.empty());
  const RECT ink = Box(normal);
  EXPECT_LE(std::abs((ink.left + ink.right) / 2 - 30), 2) << "centred on the box's centre";
  const COLORREF darkest = Darkest(*b.Picture(0), normal);
  EXPECT_LT(Brightness(darkest), 3 * 100) << "in the text colour, black";

  // Pressed: shifted by the border value, for each border command.
  for (auto [command, border] : {std::pair{3037, 3}, std::pair{3038, 5}, std::pair{3036, 1}}) {
    b.SendMessage(WM_COMMAND, command, 0);
    EXPECT_EQ(b.m_nBorder, border);
    const RECT pressed = Box(Ink(*b.Picture(1), kSelected, inside));
    EXPECT_EQ(CRect(pressed), CRect(ink.left + border, ink.top + border, ink.right + border, ink.bottom + border));
  }

  // Disabled: a light copy one pixel right and down, the shadow copy on top
  // where the active caption stands.
  const gdi::Bitmap& disabled = *b.Picture(3);
  const auto etched = Ink(disabled, kDisabled, inside);
  EXPECT_EQ(CRect(Box(etched)), CRect(ink.left, ink.top, ink.right + 1, ink.bottom + 1));
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  for (auto [x, y] : normal)
    if (b.Picture(0)->GetPixel(x, y) == darkest) {
      const COLORREF c = disabled.GetPixel(x, y);
      EXPECT_LT(std::abs(Brightness(c) - Brightness(shadow)), 3 * 30) << x << "," << y << " in the shadow colour";
    }
  bool lit = false;
  for (auto [x, y] : etched) lit = lit || Brightness(disabled.GetPixel(x, y)) > Brightness(kDisabled) + 60;
  EXPECT_TRUE(lit) << "the light copy shows";
}

TEST_F(FreeButtonTest, TheCaptionUsesTheParentsFont) {
  struct FontHost : Host {
    CFont font;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
      if (message == WM_GETFONT) return LRESULT(HFONT(font));
      return Host::WindowProc(message, wParam, lParam);
    }
  } big;
  LOGFONT lf{};
  lf.lfHeight = -28;
  lf.lfCharSet = GB2312_CHARSET;
  strcpy(lf.lfFaceName, "宋体");
  ASSERT_TRUE(big.font.CreateFontIndirect(&lf));
  ASSERT_TRUE(big.Make(300, 200));
  Probe small, large;
  ASSERT_TRUE(Make(small, test::RectRegion(0, 0, 60, 40), CPoint(20, 20), "木"));
  HRGN region = test::RectRegion(0, 0, 60, 40);
  ASSERT_TRUE(large.Create("木", WS_CHILD | WS_VISIBLE, CPoint(20, 20), region, &big, 1));
  ::DeleteObject(region);
  ASSERT_TRUE(WaitFor([&] { return large.Picture(0) != nullptr; }));
  const RECT inside{3, 3, 57, 37};
  const RECT a = Box(Ink(*small.Picture(0), kNormal, inside)),
             b = Box(Ink(*large.Picture(0), GetSysColor(COLOR_BTNFACE), inside));
  EXPECT_GT(b.bottom - b.top, (a.bottom - a.top) * 3 / 2);
}

// Runs while a popup menu is up: records its items (with the command ids
// the layer keeps on them) and then clicks the item `path` names, through
// xdotool.
class MenuDriver {
 public:
  explicit MenuDriver(std::vector<QString> path) : path_(std::move(path)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Step(); });
    timer_.start(20);
  }
  ~MenuDriver() {
    if (worker_.joinable()) worker_.join();
  }
  struct Item {
    QString text;
    qulonglong id;
    bool checked;
    bool operator==(const Item& o) const { return text == o.text && id == o.id && checked == o.checked; }
  };
  std::vector<std::vector<Item>> menus;  // each menu seen, in order
  int shown = 0;                         // how many times a top menu came up

 private:
  void Step() {
    if (busy_) return;
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible() || menu == last_) return;
    if (!menu->parentWidget() || !qobject_cast<QMenu*>(menu->parentWidget())) ++shown;
    last_ = menu;
    std::vector<Item> items;
    for (QAction* a : menu->actions())
      items.push_back({a->isSeparator() ? QStringLiteral("-") : a->text(), a->data().toULongLong(), a->isChecked()});
    menus.push_back(items);
    for (QAction* a : menu->actions())
      if (depth_ < path_.size() && a->text() == path_[depth_]) {
        ++depth_;
        const QPoint c = menu->mapToGlobal(menu->actionGeometry(a).center());
        busy_ = true;
        if (worker_.joinable()) worker_.join();
        worker_ = std::thread([this, c] {
          system(("xdotool " + At(c.x(), c.y()) + " click 1 >/dev/null 2>&1").c_str());
          busy_ = false;
        });
        return;
      }
    if (depth_ == path_.size() && path_.empty()) system("xdotool key Escape");
  }

  std::vector<QString> path_;
  size_t depth_ = 0;
  QPointer<QMenu> last_;
  std::atomic<bool> busy_{false};
  QTimer timer_;
  std::thread worker_;
};

class FreeButtonMenuTest : public FreeButtonTest {
 protected:
  void SetUp() override {
    FreeButtonTest::SetUp();
    const std::string dir = getenv("QUARVEL_TEST_DIR") ? getenv("QUARVEL_TEST_DIR") : ".";
    answers = dir + "/answers";
    setenv("QUARVEL_MSGBOX_ANSWERS", answers.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("QUARVEL_MSGBOX_ANSWERS");
    FreeButtonTest::TearDown();
  }
  void Answer(const char* line) {
    QFile f(QString::fromStdString(answers));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(line);
  }
  std::string answers;
};

TEST_F(FreeButtonMenuTest, TheMenuOffersColoursTipAndMoving) {
  Probe b;
  ASSERT_TRUE(Make(b, test::RectRegion(0, 0, 40, 30), CPoint(100, 100)));
  Answer("COLOR #123456\n");
  {
    MenuDriver driver({QStringLiteral("颜色"), QStringLiteral("正常")});
    ASSERT_TRUE(Xdo(b.At(20, 15) + " click 3"));
    ASSERT_TRUE(WaitFor([&] { return b.m_crNormal == RGB(0x12, 0x34, 0x56); }));
    ASSERT_EQ(driver.menus.size(), 2u);
    using Item = MenuDriver::Item;
    EXPECT_EQ(driver.menus[0], (std::vector<Item>{{QStringLiteral("颜色"), 0, false},
                                                  {QStringLiteral("提示"), 3034, true},
                                                  {QStringLiteral("移动"), 3035, false},
                                                  {QStringLiteral("-"), 0, false}}));
    EXPECT_EQ(driver.menus[1], (std::vector<Item>{{QStringLiteral("正常"), 3032, false},
                                                  {QStringLiteral("经过"), 3031, false},
                                                  {QStringLiteral("选中"), 3030, false},
                                                  {QStringLiteral("禁用"), 3033, false}}));
  }
  EXPECT_EQ(b.Picture(0)->GetPixel(20, 15), RGB(0x12, 0x34, 0x56)) << "the pictures are made again at once";

  // A cancelled chooser changes nothing.
  Answer("CANCEL\n");
  {
    MenuDriver driver({QStringLiteral("颜色"), QStringLiteral("选中")});
    ASSERT_TRUE(Xdo(b.At(20, 15) + " click 3"));
    ASSERT_TRUE(WaitFor([&] { return QFile(QString::fromStdString(answers)).size() == 0; })) << "the chooser came up";
    test::RunFor(200);
  }
  EXPECT_EQ(b.m_crSelected, kSelected);

  // The switches, checked in the next menu.
  {
    MenuDriver driver({QStringLiteral("移动")});
    ASSERT_TRUE(Xdo(b.At(20, 15) + " click 3"));
    ASSERT_TRUE(WaitFor([&] { return b.m_bMoveable; }));
  }
  {
    MenuDriver driver({QStringLiteral("提示")});
    // Movable now: coming from elsewhere (no hover capture), the right
    // button is a non-client one, and the menu still comes up, once.
    ASSERT_TRUE(Xdo(At(390, 290)));
    ASSERT_TRUE(WaitFor([&] { return CWnd::GetCapture() == nullptr; }));
    ASSERT_TRUE(Xdo(b.At(20, 15) + " click 3"));
    ASSERT_TRUE(WaitFor([&] { return !b.m_bToolTip; }));
    EXPECT_EQ(driver.menus[0][2], (MenuDriver::Item{QStringLiteral("移动"), 3035, true}));
    test::RunFor(300);
    EXPECT_EQ(driver.shown, 1);
    EXPECT_GE(b.Count(WM_NCRBUTTONUP), 1u);
  }
}

TEST_F(FreeButtonTest, TheTipNamesTheStroke) {
  Probe b;
  b.SetHanzi("木");
  b.SetStrokeNo(3);
  b.SetStrokeName('3');
  b.SetStrokeName(CString("撇"));
  ASSERT_TRUE(Make(b, test::RectRegion(0, 0, 40, 30), CPoint(100, 100)));
  const QString tip = QStringLiteral("木: 第3笔[撇]");
  ASSERT_TRUE(Xdo(b.At(10, 10) + " sleep 0.05 " + b.At(12, 11)));
  EXPECT_TRUE(WaitFor([&] { return QToolTip::isVisible() && QToolTip::text() == tip; }));
  EXPECT_EQ(b.m_strToolTip, "木: 第3笔[撇]");
  b.SetToolTipText("changed");
  b.SetStrokeNo(4);
  ASSERT_TRUE(Xdo(At(390, 290) + " sleep 0.1 " + b.At(14, 12)));
  EXPECT_TRUE(WaitFor([&] { return QToolTip::isVisible() && QToolTip::text() == tip; })) << "fixed when first made";

  b.SetToolTip(false);
  ASSERT_TRUE(Xdo(At(390, 290)));
  EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }));
  ASSERT_TRUE(Xdo(b.At(16, 13)));
  test::RunFor(900);
  EXPECT_FALSE(QToolTip::isVisible());

  Probe own;
  own.SetToolTipText("自己的");
  ASSERT_TRUE(Make(own, test::RectRegion(0, 0, 40, 30), CPoint(200, 100)));
  ASSERT_TRUE(Xdo(own.At(10, 10) + " sleep 0.05 " + own.At(12, 11)));
  EXPECT_TRUE(WaitFor([&] { return QToolTip::isVisible() && QToolTip::text() == QStringLiteral("自己的"); }));
}

TEST_F(FreeButtonTest, StrokeNumbersBelowOneAreZero) {
  Probe b;
  for (auto [given, kept] : {std::pair{5, 5}, std::pair{1, 1}, std::pair{0, 0}, std::pair{-7, 0}}) {
    b.SetStrokeNo(given);
    EXPECT_EQ(b.GetStrokeNo(), kept);
  }
}

}  // namespace
