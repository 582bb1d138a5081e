// A host with a real window (under Xvfb) drives the engine through its
// exports, loaded with dlopen: the stroke buttons the engine makes on the
// host's window (found as the X server's child windows of it), what they
// show and what real clicks on them do, their replacement and end; and the
// animated fill started through the export.
#include <gtest/gtest.h>

#include <QToolTip>
#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>

#include "engine_data.h"
#include "host_library.h"
#include "pixels.h"
#include "platform/win/appearance.h"
#include "platform/win/window_walk.h"
#include "tests/merrobase/free_button_support.h"

using engine_test::Call;
using engine_test::DataFolder;
using engine_test::kCharacters;
using engine_test::kFixtures;
using engine_test::PixelSet;
using test::WaitFor;
using test::Xdo;

namespace {

// The data folder holds the fixtures, then the real characters.
constexpr size_t kReal = engine_test::kShortCurve + 1;

constexpr UINT kFillMessage = WM_USER + 2000;

// The host's window, with the progress codes of the fills it is told of.
struct Window : test::Host {
  // The codes other than 9, with the lParam of 4, 8 and 3: "0 4(3) 8(1) ...".
  std::string Codes() const {
    std::ostringstream s;
    for (const Got& g : got) {
      if (g.message != kFillMessage || g.wParam == 9) continue;
      if (s.tellp() > 0) s << " ";
      s << g.wParam;
      if (g.wParam == 4 || g.wParam == 8 || g.wParam == 3) s << "(" << g.lParam << ")";
    }
    return s.str();
  }
  size_t Copies() const {
    return size_t(
        std::count_if(got.begin(), got.end(), [](const Got& g) { return g.message == kFillMessage && g.wParam == 9; }));
  }
  // The last progress code other than 9; -1 before any.
  int LastCode() const {
    for (auto it = got.rbegin(); it != got.rend(); ++it)
      if (it->message == kFillMessage && it->wParam != 9) return int(it->wParam);
    return -1;
  }
  size_t Commands() const { return Count(WM_COMMAND); }
  POINT Screen(int x, int y) const { return test::OnScreen(*this, x, y); }
  std::string At(int x, int y) const { return test::At(*this, x, y); }
  COLORREF Shown(int x, int y) const {
    const POINT p = Screen(x, y);
    return test::ScreenPixel(p.x, p.y);
  }
};

// What the engine made of one stroke button.
struct Button {
  HWND hwnd;
  UINT id;
  int stroke;
  CRect place;  // in the parent's client area
  bool operator==(const Button& o) const {
    return hwnd == o.hwnd && id == o.id && stroke == o.stroke && place == o.place;
  }
};

std::ostream& operator<<(std::ostream& os, const Button& b) {
  return os << "{id " << b.id << ", stroke " << b.stroke << ", (" << b.place.left << "," << b.place.top << ")-("
            << b.place.right << "," << b.place.bottom << ")}";
}

class StrokeWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    engine_test::Host any;
    Call("On_Exit", &any.context);
    ASSERT_TRUE(parent.Make(400, 300));
    ASSERT_EQ(Call("On_Init", &host.context), 1);
    p.pSlot28 = reinterpret_cast<intptr_t>(&parent);
    p.dSlot10 = 1.0;
  }
  void TearDown() override {
    Call("On_Exit", &host.context);
    Xdo("mousemove 900 700");
  }

  int Run(const char* name) { return Call(name, &host.context); }
  int Create(size_t character, int first, int last) {
    p.strSlot34 = data.Char(character);
    p.nSlot2C = first;
    p.nSlot30 = last;
    return Run("On_Create_Stroke_wnd");
  }
  // The child windows of the parent that the X server has, as the stroke
  // buttons they belong to, in id order.
  std::vector<Button> Buttons(const CWnd& of) const {
    std::vector<Button> out;
    for (HWND h = GetWindow(of.m_hWnd, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      auto* b = dynamic_cast<CFreeButton*>(CWnd::FromHandle(h));
      if (!b) continue;
      RECT r;
      b->GetWindowRect(&r);
      of.ScreenToClient(&r);
      out.push_back(Button{h, b->GetDlgCtrlID(), b->GetStrokeNo(), CRect(r)});
    }
    std::sort(out.begin(), out.end(), [](const Button& a, const Button& b) { return a.id < b.id; });
    return out;
  }
  std::vector<Button> Buttons() const { return Buttons(parent); }
  // The pointer off every button (a button under it holds the capture to
  // see it leave), and the button it left told so.
  void AwayFromTheButtons() {
    ASSERT_TRUE(Xdo(parent.At(390, 290)));
    ASSERT_TRUE(WaitFor([] { return CWnd::GetCapture() == nullptr; }));
  }
  // The ids and stroke numbers of the buttons, "3029:1 3030:2".
  std::string Strokes() const {
    std::ostringstream s;
    for (const Button& b : Buttons()) s << (s.tellp() > 0 ? " " : "") << b.id << ":" << b.stroke;
    return s.str();
  }

  DataFolder data{std::string(kFixtures) + kCharacters};
  engine_test::Host host;
  EngineParams& p = host.params;
  Window parent;
};

const COLORREF kFace = GetSysColor(COLOR_BTNFACE);

PixelSet Minus(const PixelSet& a, const PixelSet& b) {
  PixelSet out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
  return out;
}

}  // namespace

// One button per stroke, shaped and placed as the stroke's region, ids from
// 3029 in stroke order; a real click reaches the button of the stroke under
// the pointer, whose parent hears of it by the button's id.
TEST_F(StrokeWindowTest, OneButtonPerStroke) {
  ASSERT_EQ(Create(engine_test::kBars, 0, 0), 1);
  const std::vector<Button> buttons = Buttons();
  ASSERT_EQ(buttons.size(), 3u);
  const CRect places[] = {{0, 0, 100, 20}, {0, 90, 100, 110}, {0, 180, 100, 200}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(buttons[i].id, 3029 + i);
    EXPECT_EQ(buttons[i].stroke, int(i + 1));
    EXPECT_EQ(buttons[i].place, places[i]);
  }
  EXPECT_TRUE(WaitFor([&] {
    return parent.Shown(50, 10) == kFace && parent.Shown(50, 100) == kFace && parent.Shown(50, 190) == kFace &&
           parent.Shown(50, 50) == test::kHostColour;
  })) << "the buttons show on the parent, the parent between them";

  ASSERT_TRUE(Xdo(parent.At(60, 100) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return parent.Clicks(3030) == 1; }));
  AwayFromTheButtons();
  ASSERT_TRUE(Xdo(parent.At(60, 150) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return parent.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(CPoint(parent.Last(WM_LBUTTONDOWN)->lParam), CPoint(60, 150)) << "between the strokes";
  ASSERT_TRUE(Xdo(parent.At(5, 195) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return parent.Clicks(3031) == 1; }));
  EXPECT_EQ(parent.Commands(), 2u);
}

// The button takes the stroke's shape: inside the box of a bend stroke but
// off its region, clicks go to the parent. Its tip names character, stroke
// number and stroke.
TEST_F(StrokeWindowTest, ABendStrokesButtonAndItsTip) {
  ASSERT_EQ(Create(engine_test::kBend, 0, 0), 1);
  const std::vector<Button> buttons = Buttons();
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0].place, CRect(20, 20, 200, 200));
  ASSERT_TRUE(WaitFor([&] { return parent.Shown(100, 30) == kFace && parent.Shown(190, 100) == kFace; }));
  EXPECT_EQ(parent.Shown(100, 100), test::kHostColour);
  ASSERT_TRUE(Xdo(parent.At(100, 100) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return parent.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(parent.Commands(), 0u);

  ASSERT_TRUE(Xdo(parent.At(100, 30) + " sleep 0.05 " + parent.At(102, 31)));
  EXPECT_TRUE(WaitFor([&] { return QToolTip::isVisible() && QToolTip::text() == QStringLiteral("阿: 第1笔[折]"); }))
      << QToolTip::text().toStdString();
  ASSERT_TRUE(Xdo(parent.At(190, 100) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return parent.Clicks(3029) == 1; }));
}

// Real characters at a scale above 1 (curves, bend strokes with cuts, boxes
// well inside the design square): one button per stroke whose shape is
// exactly the pixels On_Draw_Stroke paints for that stroke, the parent
// showing wherever no stroke is, and a real click on a pixel of that stroke
// alone reaching its button.
TEST_F(StrokeWindowTest, RealCharactersButtonsAreTheirStrokes) {
  p.dSlot10 = 1.2;
  for (size_t c : {engine_test::kJing, engine_test::kSen, engine_test::kKou}) {
    SCOPED_TRACE(c);
    parent.got.clear();
    p.pSlot28 = reinterpret_cast<intptr_t>(&parent);
    ASSERT_EQ(Create(kReal + c, 0, 0), 1);
    const std::vector<Button> buttons = Buttons();
    ASSERT_EQ(buttons.size(), c == engine_test::kKou ? 3u : 12u);
    std::vector<PixelSet> strokes;
    PixelSet all;
    for (size_t i = 0; i < buttons.size(); ++i) {
      SCOPED_TRACE("stroke " + std::to_string(i + 1));
      EXPECT_EQ(buttons[i].id, 3029 + i);
      EXPECT_EQ(buttons[i].stroke, int(i + 1));
      engine_test::MemoryDC m(400, 300);
      p.pSlot28 = reinterpret_cast<intptr_t>(&m.dc);
      p.nSlot2C = int(i + 1);
      ASSERT_EQ(Run("On_Draw_Stroke"), 1);
      strokes.push_back(m.Of(RGB(0, 0, 0)));
      all.insert(strokes.back().begin(), strokes.back().end());

      CRgn shape;
      ASSERT_TRUE(shape.CreateRectRgn(0, 0, 0, 0));
      ASSERT_NE(CWnd::FromHandle(buttons[i].hwnd)->GetWindowRgn(shape), ERROR);
      shape.OffsetRgn(buttons[i].place.left, buttons[i].place.top);
      EXPECT_EQ(engine_test::RegionPixels(shape, 400, 300), strokes.back());
      CRect box;
      shape.GetRgnBox(&box);
      EXPECT_EQ(buttons[i].place, box);
    }

    const RECT screen{parent.Screen(0, 0).x, parent.Screen(0, 0).y, parent.Screen(400, 300).x,
                      parent.Screen(400, 300).y};
    PixelSet shown;
    EXPECT_TRUE(WaitFor([&] {
      const std::vector<COLORREF> pixels = test::ScreenPixels(screen);
      shown.clear();
      for (size_t k = 0; k < pixels.size(); ++k)
        if (pixels[k] != test::kHostColour) shown.insert({int(k % 400), int(k / 400)});
      return shown == all;
    })) << "shown only: " << engine_test::Describe(Minus(shown, all))
        << "; strokes only: " << engine_test::Describe(Minus(all, shown));

    for (size_t i = 0; i < strokes.size(); ++i) {
      PixelSet alone = strokes[i];
      for (size_t j = 0; j < strokes.size(); ++j)
        if (j != i) alone = Minus(alone, strokes[j]);
      ASSERT_FALSE(alone.empty()) << "stroke " << i + 1;
      const auto at = *std::next(alone.begin(), alone.size() / 2);
      ASSERT_TRUE(Xdo(parent.At(at.first, at.second) + " click 1"));
      EXPECT_TRUE(WaitFor([&] { return parent.Clicks(UINT(3029 + i)) == 1; })) << "stroke " << i + 1;
      AwayFromTheButtons();
    }
    EXPECT_EQ(parent.Commands(), strokes.size());
  }
}

// Each call replaces the buttons there are, unless its range is refused.
TEST_F(StrokeWindowTest, RangesReplaceTheButtons) {
  struct Case {
    int first, last;
    int result;
    const char* strokes;  // id:stroke of the buttons afterwards
  } cases[] = {
      {0, 0, 1, "3029:1 3030:2 3031:3"},
      {2, 3, 1, "3029:2 3030:3"},
      {2, 0, 0, "3029:2 3030:3"},  // last 0 is below first: refused, the buttons stay
      {3, 3, 1, "3029:3"},
      {0, -1, 1, "3029:1 3030:2 3031:3"},  // as unsigned, -1 is beyond every stroke
      {2, 9, 1, "3029:2 3030:3"},
      {5, 6, 1, ""},  // no stroke there: the old buttons go all the same
      {1, 1, 1, "3029:1"},
  };
  std::vector<Button> before;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
    const std::string snapshot = engine_test::Snapshot(host.context, p);
    ASSERT_EQ(Create(engine_test::kBars, c.first, c.last), c.result);
    EXPECT_EQ(Strokes(), c.strokes);
    const std::vector<Button> now = Buttons();
    if (c.result == 0) {
      EXPECT_EQ(now, before);
    } else {
      for (const Button& b : before) EXPECT_EQ(CWnd::FromHandle(b.hwnd), nullptr) << "an old button is gone";
    }
    before = now;
  }
}

// The scale sizes the buttons (not >= 0: 1.0); the offsets do not move them
// but stay with the outline, which draws there.
TEST_F(StrokeWindowTest, ScaleAndOffsets) {
  p.dSlot10 = 0.5;
  ASSERT_EQ(Create(engine_test::kBars, 0, 0), 1);
  std::vector<Button> b = Buttons();
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(b[0].place, CRect(0, 0, 50, 10));
  EXPECT_EQ(b[1].place, CRect(0, 45, 50, 55));
  EXPECT_EQ(b[2].place, CRect(0, 90, 50, 100));
  for (double scale : {-2.0, std::nan("")}) {
    p.dSlot10 = scale;
    ASSERT_EQ(Create(engine_test::kBars, 1, 1), 1);
    b = Buttons();
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].place, CRect(0, 0, 100, 20)) << scale;
  }

  p.dSlot10 = 1.0;
  p.nSlot04 = 10;
  p.nSlot08 = 20;
  p.nSlot0C = 1;  // pool index
  ASSERT_EQ(Create(engine_test::kBars, 2, 2), 1);
  b = Buttons();
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].place, CRect(0, 90, 100, 110));
  engine_test::MemoryDC m(200, 250);
  p.pSlot28 = reinterpret_cast<intptr_t>(&m.dc);
  p.nSlot04 = 1;  // pool index of the drawing
  p.nSlot2C = 2;
  ASSERT_EQ(Run("On_Draw_Stroke"), 1);
  EXPECT_EQ(m.Of(RGB(0, 0, 0)), engine_test::RectPixels(10, 110, 110, 130));

  // Negative offsets are 0.
  p.pSlot28 = reinterpret_cast<intptr_t>(&parent);
  p.nSlot04 = -10;
  p.nSlot08 = -20;
  ASSERT_EQ(Create(engine_test::kBars, 2, 2), 1);
  engine_test::MemoryDC n(200, 250);
  p.pSlot28 = reinterpret_cast<intptr_t>(&n.dc);
  p.nSlot04 = 1;
  ASSERT_EQ(Run("On_Draw_Stroke"), 1);
  EXPECT_EQ(n.Of(RGB(0, 0, 0)), engine_test::RectPixels(0, 90, 100, 110));
}

// The buttons go with On_Delete_Stroke_wnd, On_Exit and a new start; a
// call without a parent window makes none and keeps those there are.
TEST_F(StrokeWindowTest, TheButtonsEnd) {
  ASSERT_EQ(Create(engine_test::kBars, 0, 0), 1);
  ASSERT_EQ(Buttons().size(), 3u);
  EXPECT_EQ(Run("On_Delete_Stroke_wnd"), 1);
  EXPECT_TRUE(Buttons().empty());
  EXPECT_TRUE(WaitFor([&] { return parent.Shown(50, 10) == test::kHostColour; }));
  ASSERT_TRUE(Xdo(parent.At(50, 10) + " click 1"));
  ASSERT_TRUE(WaitFor([&] { return parent.Count(WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(parent.Commands(), 0u);
  EXPECT_EQ(Run("On_Delete_Stroke_wnd"), 1) << "none there";

  ASSERT_EQ(Create(engine_test::kBars, 0, 0), 1);
  p.pSlot28 = 0;
  EXPECT_EQ(Create(engine_test::kBars, 0, 0), 0) << "no parent";
  CWnd windowless;
  p.pSlot28 = reinterpret_cast<intptr_t>(&windowless);
  EXPECT_EQ(Create(engine_test::kBars, 0, 0), 0) << "a parent without a window";
  EXPECT_EQ(Buttons().size(), 3u);
  EXPECT_EQ(Call("On_Exit", &host.context), 1);
  EXPECT_TRUE(Buttons().empty());

  host.context.strRequired3 = "three";  // which the end emptied
  ASSERT_EQ(Call("On_Init", &host.context), 1);
  p.pSlot28 = reinterpret_cast<intptr_t>(&parent);
  ASSERT_EQ(Create(engine_test::kBars, 0, 0), 1);
  ASSERT_EQ(Call("On_Init", &host.context), 1);
  EXPECT_TRUE(Buttons().empty()) << "a new start ends the old one's buttons";

  // A parent the host destroys first takes its children along; the engine's
  // end of them then finds no windows left.
  {
    Window other;
    ASSERT_TRUE(other.Make(200, 200));
    p.pSlot28 = reinterpret_cast<intptr_t>(&other);
    ASSERT_EQ(Create(engine_test::kBars, 0, 0), 1);
    ASSERT_EQ(Buttons(other).size(), 3u);
  }
  EXPECT_EQ(Run("On_Delete_Stroke_wnd"), 1);
}

// The fill started through the export: its messages and pixels on the
// host's window, the pool's first outline busy meanwhile, and its stops.
TEST_F(StrokeWindowTest, FillThroughTheExport) {
  p.strSlot34 = data.Char(engine_test::kBars);
  RECT area{0, 0, 100, 200};
  p.pSlot28 = reinterpret_cast<intptr_t>(&area);
  p.nSlot04 = 0;
  ASSERT_EQ(Run("On_Get_Scale"), 1);  // the fill's area on the first outline

  p.pSlot28 = reinterpret_cast<intptr_t>(&parent);
  p.nSlot04 = p.nSlot08 = 0;  // every stroke
  p.dSlot10 = 0.5;
  p.dSlot18 = p.dSlot20 = 0;
  p.nSlot2C = int(RGB(255, 0, 0));
  p.strSlot38 = "16777215";
  ASSERT_EQ(Run("On_Fill_Stroke"), 1);
  ASSERT_TRUE(WaitFor([&] { return parent.LastCode() == 2; }));
  EXPECT_EQ(parent.Codes(), "0 4(3) 8(1) 3(1) 1 8(2) 3(2) 8(3) 3(3) 2");
  CDC* dc = parent.GetDC();
  EXPECT_EQ(dc->GetPixel(25, 5), RGB(255, 0, 0));
  EXPECT_EQ(dc->GetPixel(25, 95), RGB(255, 0, 0));
  EXPECT_EQ(dc->GetPixel(75, 30), RGB(255, 255, 255));
  parent.ReleaseDC(dc);

  // A long pause after every line keeps the first outline busy.
  parent.got.clear();
  p.dSlot18 = 60000;
  ASSERT_EQ(Run("On_Fill_Stroke"), 1);
  ASSERT_TRUE(WaitFor([&] { return parent.Copies() > 0; }));
  const EngineParams again = p;
  EXPECT_EQ(Run("On_Fill_Stroke"), 0) << "its outline fills";
  p.strSlot38 = "order.bmp";
  p.pSlot28 = 100;
  EXPECT_EQ(Run("On_Stroke_Order"), 0) << "the same outline";
  p.nSlot04 = 0;
  EXPECT_EQ(Run("On_Get_Strokes"), 0) << "asked for by index";
  p.nSlot04 = -1;
  ASSERT_EQ(Run("On_Get_Strokes"), 1) << "any idle outline";
  EXPECT_EQ(p.nSlot04, 3);
  EXPECT_EQ(Run("On_Set_Exit"), 1);
  ASSERT_TRUE(WaitFor([&] { return parent.LastCode() == 6; }));
  EXPECT_EQ(parent.Codes(), "0 4(3) 8(1) 3(1) 6");

  // The end stops a running fill before it releases the outline.
  p = again;
  parent.got.clear();
  ASSERT_EQ(Run("On_Fill_Stroke"), 1);
  ASSERT_TRUE(WaitFor([&] { return parent.Copies() > 0; }));
  EXPECT_EQ(Call("On_Exit", &host.context), 1);
  test::RunFor(100);
  EXPECT_EQ(parent.Codes(), "0 4(3) 8(1) 3(1) 6");
}
