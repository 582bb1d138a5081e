// The animated fill on its worker thread: the progress messages a real
// window (under Xvfb) receives, the pixels swept into the memory bitmap and
// shown in the window, their order, stops, and the outline's end while a
// fill runs; the engine's repaint of idle outlines.
#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <functional>
#include <mutex>
#include <sstream>

#include "engine_data.h"
#include "pixels.h"
#include "merrodataengine/outline/out_line.h"
#include "platform/mfc/wnd.h"
#include "started.h"
#include "tests/platform/mfc/wnd_support.h"

using namespace engine_test;

namespace {

using test::App;

// A fill on a loaded machine may take a while.
bool WaitFor(const std::function<bool()>& done) { return test::WaitFor(done, 20000); }

// A host window that keeps the progress messages it gets.
class HostWindow : public CWnd {
 public:
  struct Message {
    WPARAM code;
    LPARAM lParam;
    COutLine::CopyRecord record;  // code 9: the record as it was on arrival
  };
  std::vector<Message> messages;

  // The codes other than 9, with the lParam of 4, 8 and 3: "0 4(3) 8(1) ...".
  std::string Codes() const {
    std::ostringstream s;
    for (const Message& m : messages) {
      if (m.code == 9) continue;
      if (s.tellp() > 0) s << " ";
      s << m.code;
      if (m.code == 4 || m.code == 8 || m.code == 3) s << "(" << m.lParam << ")";
    }
    return s.str();
  }
  size_t Count(WPARAM code) const {
    return size_t(std::count_if(messages.begin(), messages.end(), [&](const Message& m) { return m.code == code; }));
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM w, LPARAM l) override {
    if (message == COutLine::kFillMessage) {
      Message m{w, l, {}};
      if (w == 9 && l) m.record = *reinterpret_cast<COutLine::CopyRecord*>(l);
      messages.push_back(m);
    }
    return CWnd::WindowProc(message, w, l);
  }
};

// Waits until the outline's fill has ended and its messages have arrived.
void Settle(COutLine& o) {
  ASSERT_TRUE(WaitFor([&] { return o.On_Get_Doing() == 0; }));
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

EngineParams FillParams(HostWindow& wnd, int first, int last, double scale = 0.5) {
  EngineParams p{};
  p.pSlot28 = reinterpret_cast<intptr_t>(&wnd);
  p.nSlot04 = first;
  p.nSlot08 = last;
  p.dSlot10 = scale;
  p.dSlot18 = 0;  // no pause per line
  p.dSlot20 = 0;  // nor per stroke
  p.nSlot2C = int(RGB(255, 0, 0));
  p.strSlot38 = "16777215";
  return p;
}

// Records, on the fill thread, every pixel the sweep sets in `colour`.
class SweepRecorder {
 public:
  SweepRecorder(COutLine& o, COLORREF colour) : bitmap_(dynamic_cast<gdi::Bitmap*>(o.GetMemDC()->m_hDC->GetSurface())) {
    bitmap_->SetChangeHandler([this, colour](const QRect& r) {
      if (r.width() != 1 || r.height() != 1 || bitmap_->GetPixel(r.x(), r.y()) != colour) return;
      std::lock_guard<std::mutex> lock(mutex_);
      pixels_.push_back({r.x(), r.y()});
    });
  }
  ~SweepRecorder() { bitmap_->SetChangeHandler(nullptr); }
  std::vector<std::pair<int, int>> Pixels() {
    std::lock_guard<std::mutex> lock(mutex_);
    return pixels_;
  }

 private:
  gdi::Bitmap* bitmap_;
  std::mutex mutex_;
  std::vector<std::pair<int, int>> pixels_;
};

enum class Order { kColumnsRight, kColumnsLeft, kRowsDown, kRowsUp };

// The pixels of the region in sweep order.
std::vector<std::pair<int, int>> Swept(const CRgn& rgn, Order order) {
  RECT b;
  rgn.GetRgnBox(&b);
  std::vector<std::pair<int, int>> out;
  const bool columns = order == Order::kColumnsRight || order == Order::kColumnsLeft;
  const bool forward = order == Order::kColumnsRight || order == Order::kRowsDown;
  const int lines = columns ? b.right - b.left : b.bottom - b.top;
  for (int i = 0; i < lines; ++i) {
    const int line = columns ? (forward ? b.left + i : b.right - 1 - i) : (forward ? b.top + i : b.bottom - 1 - i);
    if (columns) {
      for (int y = b.top; y < b.bottom; ++y)
        if (rgn.PtInRegion(line, y)) out.push_back({line, y});
    } else {
      for (int x = b.left; x < b.right; ++x)
        if (rgn.PtInRegion(x, line)) out.push_back({x, line});
    }
  }
  return out;
}

class FillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(host.Create(nullptr, "host", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300}, nullptr, 0));
    data.Load(outline, kBars);
    outline.On_Get_Scale(RECT{0, 0, 100, 200});
  }
  void Fill(COutLine& o, const EngineParams& p) {
    o.m_FillParams = p;
    ASSERT_EQ(o.On_Fill(), 1);
    Settle(o);
  }
  DataFolder data{kFixtures};
  COutLine outline;
  HostWindow host;
};

}  // namespace

TEST_F(FillTest, ProgressMessages) {
  struct Case {
    const char* what;
    int first, last;
    double scale;
    const char* codes;
  } cases[] = {
      {"strokes 2..3", 2, 3, 0.5, "0 4(3) 1 8(2) 3(2) 8(3) 3(3) 2"},
      {"0..0 is every stroke", 0, 0, 0.5, "0 4(3) 8(1) 3(1) 1 8(2) 3(2) 8(3) 3(3) 2"},
      {"one stroke", 3, 3, 0.5, "0 4(3) 1 8(3) 3(3) 2"},
      {"beyond the strokes", 5, 6, 0.5, "0 5"},
      {"scale 0", 1, 3, 0, "0 5"},
      {"first after the default last", 5, 0, 0.5, ""},
      {"reversed", 3, 2, 0.5, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.messages.clear();
    Fill(outline, FillParams(host, c.first, c.last, c.scale));
    EXPECT_EQ(host.Codes(), c.codes);
    EXPECT_EQ(outline.On_Get_Doing(), 0);
  }
  // Every line swept is copied and reported, with the record of the copy.
  host.messages.clear();
  Fill(outline, FillParams(host, 1, 3));
  EXPECT_GE(host.Count(9), 3u * 10u) << "each bar is 10 rows high at scale 0.5";
  for (const HostWindow::Message& m : host.messages)
    if (m.code == 9) {
      EXPECT_EQ(m.record.pMemDC, outline.GetMemDC());
      EXPECT_EQ(m.record.rcFrame, (RECT{0, 0, 100, 200}));
    }
  // No window, or one that is gone: nothing at all.
  EngineParams none = FillParams(host, 1, 3);
  none.pSlot28 = 0;
  host.messages.clear();
  Fill(outline, none);
  HostWindow gone;
  Fill(outline, FillParams(gone, 1, 3));
  EXPECT_EQ(host.Codes(), "");
  // Negative delays are refused when given to the fill itself.
  EXPECT_EQ(outline.On_Fill_Stroke(&host, 0, 1, 3, 0, 0, 0, 0, 1.0, -1, 0), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(host.Codes(), "0 5");
}

TEST_F(FillTest, PixelsInTheMemoryBitmapAndTheWindow) {
  Fill(outline, FillParams(host, 0, 0));
  CDC* window = host.GetDC();
  ASSERT_NE(window, nullptr);
  struct Pixel {
    int x, y;
    COLORREF colour;
  } pixels[] = {{25, 5, RGB(255, 0, 0)},       {49, 9, RGB(255, 0, 0)},       {0, 45, RGB(255, 0, 0)},
                {25, 95, RGB(255, 0, 0)},      {55, 5, RGB(255, 255, 255)},   {75, 30, RGB(255, 255, 255)},
                {25, 10, RGB(255, 255, 255)},  {150, 150, RGB(255, 255, 255)}};
  for (const Pixel& p : pixels) {
    EXPECT_EQ(window->GetPixel(p.x, p.y), p.colour) << p.x << "," << p.y;
    if (p.x < 100) {
      EXPECT_EQ(outline.GetMemDC()->GetPixel(p.x, p.y), p.colour) << p.x << "," << p.y;
    }
  }
  host.ReleaseDC(window);
}

// The outline drawn first, and the swept pixels, share one placement:
// scaled points plus the drawing offset.
TEST_F(FillTest, OutlineAndOffset) {
  EngineParams p = FillParams(host, 0, 0);
  p.nSlot00 = 1;
  p.nSlot0C = 10;
  p.nSlot30 = 20;
  Fill(outline, p);
  CDC* mem = outline.GetMemDC();
  EXPECT_EQ(mem->GetPixel(35, 25), RGB(255, 0, 0)) << "swept";
  EXPECT_EQ(mem->GetPixel(35, 30), RGB(255, 0, 0)) << "the bar's lower outline, just below its region";
  EXPECT_EQ(mem->GetPixel(61, 25), RGB(255, 255, 255));
  EXPECT_EQ(mem->GetPixel(35, 31), RGB(255, 255, 255));
  EXPECT_EQ(outline.GetOffset(), (POINT{10, 20}));
  EXPECT_EQ(outline.GetXScale(), 0.5);
  EXPECT_EQ(outline.GetBoxArea(), (RECT{10, 20, 60, 120}));
}

// A fill from a later stroke on draws over the picture there is.
TEST_F(FillTest, LaterStrokesKeepThePicture) {
  Fill(outline, FillParams(host, 1, 1));
  outline.GetMemDC()->SetPixel(70, 150, RGB(0, 0, 255));
  Fill(outline, FillParams(host, 2, 3));
  EXPECT_EQ(outline.GetMemDC()->GetPixel(70, 150), RGB(0, 0, 255));
  EXPECT_EQ(outline.GetMemDC()->GetPixel(25, 95), RGB(255, 0, 0));
  Fill(outline, FillParams(host, 1, 1));
  EXPECT_EQ(outline.GetMemDC()->GetPixel(70, 150), RGB(255, 255, 255)) << "stroke 1 starts afresh";
}

TEST_F(FillTest, GuideGrid) {
  EngineParams p = FillParams(host, 1, 1);
  p.strSlot38 = "16744512";  // 0x00FF8040
  Fill(outline, p);
  CDC* mem = outline.GetMemDC();
  EXPECT_EQ(mem->GetPixel(75, 30), COLORREF(0x00FF8040));
  const COLORREF inverse = 0x00007FBF;
  auto onColumn = [&](int x) {
    int n = 0;
    for (int y = 20; y < 200; ++y) n += mem->GetPixel(x, y) == inverse;
    return n;
  };
  auto onRow = [&](int y) {
    int n = 0;
    for (int x = 0; x < 100; ++x) n += mem->GetPixel(x, y) == inverse;
    return n;
  };
  // Dash-dot lines: most of each line, not all of it.
  for (int n : {onColumn(50), onColumn(0), onColumn(99), onRow(100), onRow(199)}) {
    EXPECT_GT(n, 0);
    EXPECT_LT(n, 180);
  }
  int between = 0;  // a patch that no line of the grid crosses
  for (int y = 150; y < 160; ++y)
    for (int x = 60; x < 70; ++x) between += mem->GetPixel(x, y) == COLORREF(0x00FF8040);
  EXPECT_EQ(between, 100);
}

// Each sweep in its order, pixel by pixel.
TEST_F(FillTest, SweepOrder) {
  DataFolder sweeps(R"(
char 啊            # a 撇 in a 40 x 40 box
stroke 3 0 0
line 40 0 40 40 0 40
char 阿            # a 撇 in a 41 x 40 box
stroke 3 0 0
line 41 0 41 40 0 40
char 埃            # a 捺 in a 41 x 40 box
stroke Z 0 0
line 41 0 41 40 0 40
char 挨            # 横折, first piece in columns
stroke 5 20 20 flag 1
cut 0 3
cut 1 4
line 200 20 200 200 180 200 180 40 20 40
char 哎            # the same with code M
stroke M 20 20 flag 1
cut 0 3
cut 1 4
line 200 20 200 200 180 200 180 40 20 40
char 唉            # the same starting in rows
stroke 5 20 20 flag 0
cut 0 3
cut 1 4
line 200 20 200 200 180 200 180 40 20 40
)",
                     "sweeps");
  const COLORREF ink = RGB(0x12, 0x34, 0x56);
  struct Case {
    const char* what;
    std::vector<Order> orders;  // per piece
  } cases[] = {
      {"撇 40 x 40: rows from the top", {Order::kRowsDown}},
      {"撇 41 x 40: columns from the right", {Order::kColumnsLeft}},
      {"捺 41 x 40: columns from the left", {Order::kColumnsRight}},
      {"bend: columns to the right, then rows down", {Order::kColumnsRight, Order::kRowsDown}},
      {"M: rows down, then rows up", {Order::kRowsDown, Order::kRowsUp}},
      // The first piece does not advance downwards, so its rows go up.
      {"bend from rows: rows up, then columns to the left", {Order::kRowsUp, Order::kColumnsLeft}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].what);
    COutLine o;
    sweeps.Load(o, i);
    o.On_Get_Scale(RECT{0, 0, 250, 250});
    SweepRecorder recorder(o, ink);
    EngineParams p = FillParams(host, 1, 1, 1.0);
    p.nSlot2C = int(ink);
    Fill(o, p);
    std::vector<COutLine::StrokePiece> pieces;
    o.GetStrokePieces(1, pieces);
    ASSERT_EQ(pieces.size(), cases[i].orders.size());
    std::vector<std::pair<int, int>> expected;
    for (size_t k = 0; k < pieces.size(); ++k) {
      CRgn rgn;
      ASSERT_EQ(o.GetPieceRgn(1, pieces[k], &rgn), 1);
      for (auto& px : Swept(rgn, cases[i].orders[k])) expected.push_back(px);
    }
    const auto got = recorder.Pixels();
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected) << "first pixel (" << (got.empty() ? -1 : got[0].first) << ","
                                 << (got.empty() ? -1 : got[0].second) << ")";
  }
}

// The exit flag stops a fill at its next pixel, pause or stroke: code 6,
// no code 2.
TEST_F(FillTest, Stops) {
  struct Case {
    const char* what;
    int first, last;
    const char* codes;
  } cases[] = {{"during the first stroke", 1, 3, "0 4(3) 8(1) 3(1) 6"},
               {"during the last stroke", 3, 3, "0 4(3) 1 8(3) 3(3) 6"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.messages.clear();
    EngineParams p = FillParams(host, c.first, c.last);
    p.dSlot18 = 60000;  // a long pause after every line
    outline.m_FillParams = p;
    ASSERT_EQ(outline.On_Fill(), 1);
    ASSERT_TRUE(WaitFor([&] { return host.Count(9) > 0; }));
    outline.m_nExit = 1;
    Settle(outline);
    EXPECT_EQ(host.Codes(), c.codes);
    EXPECT_EQ(host.Count(9), 1u);
  }
  // A fill asked for while the exit flag is set: On_Fill clears it.
  host.messages.clear();
  Fill(outline, FillParams(host, 1, 1));
  EXPECT_EQ(host.Codes(), "0 4(3) 1 8(1) 3(1) 2");
  // Called itself with the flag set, the fill refuses.
  outline.m_nExit = 1;
  host.messages.clear();
  EXPECT_EQ(outline.On_Fill_Stroke(&host, 0, 1, 3, 0, 0, 0, 0, 1.0, 0, 0), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(host.Codes(), "0 6");
}

// The outline is busy from On_Fill on, so nothing takes it from under the
// fill; a second fill meanwhile is refused and the first goes on.
TEST_F(FillTest, BusyFromTheStart) {
  EngineParams p = FillParams(host, 1, 3);
  p.dSlot18 = 60000;
  outline.m_FillParams = p;
  ASSERT_EQ(outline.On_Fill(), 1);
  EXPECT_EQ(outline.On_Get_Doing(), 1) << "at once";
  HostWindow second;
  ASSERT_TRUE(second.Create(nullptr, "second", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
  ASSERT_TRUE(WaitFor([&] { return host.Count(9) > 0; }));
  outline.m_FillParams = FillParams(second, 1, 3);
  ASSERT_EQ(outline.On_Fill(), 1);
  ASSERT_TRUE(WaitFor([&] { return second.Count(5) == 1; }));
  EXPECT_EQ(second.Codes(), "0 5");
  EXPECT_EQ(outline.On_Get_Doing(), 1);
  // A region or a new character is refused meanwhile.
  CRgn rgn;
  CRgn* out = &rgn;
  EXPECT_EQ(outline.GetStrokeRgn(1, 0, 0, 1.0, &out), 0);
  EXPECT_EQ(outline.On_Stroke_Order("busy.bmp", 100, 0, 0), 0);
  outline.m_nExit = 1;
  Settle(outline);
  EXPECT_EQ(host.Codes(), "0 4(3) 8(1) 3(1) 6") << "the running fill's window keeps its messages";
  EXPECT_EQ(second.Codes(), "0 5");
}

// An outline that goes while it fills stops its fill first.
TEST_F(FillTest, EndWhileFilling) {
  HostWindow::Message last{};
  {
    COutLine o;
    data.Load(o, kBars);
    o.On_Get_Scale(RECT{0, 0, 100, 200});
    EngineParams p = FillParams(host, 1, 3);
    p.dSlot18 = 60000;
    o.m_FillParams = p;
    ASSERT_EQ(o.On_Fill(), 1);
    ASSERT_TRUE(WaitFor([&] { return host.Count(9) > 0; }));
  }
  // The record of a code 9 that arrives after its outline has gone is still
  // there, with no DC.
  ASSERT_TRUE(WaitFor([&] { return host.Count(6) == 1; }));
  for (const HostWindow::Message& m : host.messages)
    if (m.code == 9) last = m;
  ASSERT_NE(last.lParam, 0);
  EXPECT_EQ(reinterpret_cast<COutLine::CopyRecord*>(last.lParam)->pMemDC, nullptr);
}

// Engine level: the pool's stop waits for the fill, repaint copies idle
// outlines' pictures, and the end stops what still fills.
TEST_F(FillTest, EngineStopsAndRepaints) {
  Started engine("data", 2);
  COutLine* pooled = engine::On_Character_Outline(&engine.context, data.Char(kBars), 0);
  ASSERT_NE(pooled, nullptr);
  pooled->On_Get_Scale(RECT{0, 0, 100, 200});
  EngineParams p = FillParams(host, 1, 3);
  p.dSlot18 = 60000;
  pooled->m_FillParams = p;
  ASSERT_EQ(pooled->On_Fill(), 1);
  EXPECT_EQ(engine::On_Get_Free_OutLine(2, "data", 0), nullptr) << "busy";
  ASSERT_TRUE(WaitFor([&] { return host.Count(9) > 0; }));
  EXPECT_EQ(On_Set_Exit(&engine.context), 1);
  EXPECT_EQ(pooled->On_Get_Doing(), 0) << "returned once the fill had stopped";
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(host.Codes(), "0 4(3) 8(1) 3(1) 6");

  // Repaint: the idle outline's picture goes to the window asked for.
  pooled->m_FillParams = FillParams(host, 0, 0);
  ASSERT_EQ(pooled->On_Fill(), 1);
  Settle(*pooled);
  HostWindow other;
  ASSERT_TRUE(other.Create(nullptr, "other", WS_POPUP | WS_VISIBLE, RECT{0, 0, 120, 220}, nullptr, 0));
  engine.params.pSlot28 = reinterpret_cast<intptr_t>(&other);
  EXPECT_EQ(On_RePaint(&engine.context), 1);
  CDC* dc = other.GetDC();
  EXPECT_EQ(dc->GetPixel(25, 95), RGB(255, 0, 0));
  EXPECT_EQ(dc->GetPixel(75, 30), RGB(255, 255, 255));
  EXPECT_EQ(dc->GetPixel(110, 210), RGB(255, 255, 255)) << "outside the frame: untouched";
  other.ReleaseDC(dc);
  QCoreApplication::processEvents();
  EXPECT_EQ(other.Count(9), 0u) << "no fill runs: no one to tell";
  engine.params.pSlot28 = 0;
  EXPECT_EQ(On_RePaint(&engine.context), 0);

  // The end while a fill runs.
  pooled->m_FillParams = p;
  ASSERT_EQ(pooled->On_Fill(), 1);
  EXPECT_EQ(On_Exit(&engine.context), 1);
  EXPECT_TRUE(engine::State().outlines.empty());
}

// Real characters, at the scale On_Get_Scale gives for a 280 x 280 area and
// an offset of (10, 10): boxes that start 25 to 30 units in reach past 280.
// The fill lands exactly where On_Draw_Stroke paints the strokes at that
// scale and offset, none of it cut off.
TEST_F(FillTest, RealCharactersLandWhereTheirStrokesAreDrawn) {
  DataFolder real(kCharacters, "real");
  HostWindow big;
  ASSERT_TRUE(big.Create(nullptr, "big", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 400}, nullptr, 0));
  for (Character c : {kJing, kSen, kKou}) {
    SCOPED_TRACE(int(c));
    COutLine o;
    real.Load(o, c);
    ASSERT_EQ(o.GetStrokes(), c == kKou ? 3 : 12);
    RECT* box = nullptr;
    ASSERT_TRUE(o.GetRect(&box));
    EXPECT_GE(box->left, 20);
    EXPECT_GE(box->top, 20);
    const double scale = o.On_Get_Scale(RECT{0, 0, 280, 280});
    CDC* clear = big.GetDC();
    clear->FillSolidRect(RECT{0, 0, 400, 400}, RGB(0, 255, 0));
    big.ReleaseDC(clear);
    EngineParams p = FillParams(big, 0, 0, scale);
    p.nSlot0C = p.nSlot30 = 10;
    Fill(o, p);
    EXPECT_NE(big.Codes().find(" 2"), std::string::npos) << big.Codes();
    big.messages.clear();

    MemoryDC drawn(400, 400);
    for (unsigned long k = 1; k <= 12; ++k) o.DrawStrokeRgn(&drawn.dc, k, 0);
    const PixelSet strokes = drawn.Of(RGB(0, 0, 0));
    int far = 0;
    for (const auto& px : strokes) far = std::max({far, px.first, px.second});
    EXPECT_GT(far, 280) << "the character reaches past the area On_Get_Scale was given";
    CDC* window = big.GetDC();
    PixelSet filled;
    for (int y = 0; y < 400; ++y)
      for (int x = 0; x < 400; ++x)
        if (window->GetPixel(x, y) == RGB(255, 0, 0)) filled.insert({x, y});
    big.ReleaseDC(window);
    PixelSet extra, missing;
    std::set_difference(filled.begin(), filled.end(), strokes.begin(), strokes.end(), std::inserter(extra, extra.end()));
    std::set_difference(strokes.begin(), strokes.end(), filled.begin(), filled.end(),
                        std::inserter(missing, missing.end()));
    EXPECT_EQ(filled, strokes) << "filled only: " << Describe(extra) << "; drawn only: " << Describe(missing);
  }
}

// Before any On_Get_Scale there is no area to fill: nothing starts, nothing
// is posted.
TEST_F(FillTest, NoTargetAreaNoFill) {
  COutLine fresh;
  data.Load(fresh, kBars);
  fresh.m_FillParams = FillParams(host, 0, 0);
  EXPECT_EQ(fresh.On_Fill(), 0);
  EXPECT_EQ(fresh.On_Get_Doing(), 0);
  EXPECT_EQ(fresh.On_Fill_Stroke(&host, 0, 1, 3, 0, 0, 0, 0, 1.0, 0, 0), 0);
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(host.Codes(), "");
  EXPECT_EQ(host.Count(9), 0u);
}

// The host deletes its window while the fill runs (closing a practice
// window mid-animation): the fill goes on posting to a handle that is gone,
// which fails quietly, and touches nothing of the deleted object.
TEST_F(FillTest, TheWindowDeletedDuringAFill) {
  auto* wnd = new HostWindow;
  ASSERT_TRUE(wnd->Create(nullptr, "closing", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300}, nullptr, 0));
  EngineParams p = FillParams(*wnd, 0, 0);
  p.dSlot18 = 2;
  outline.m_FillParams = p;
  ASSERT_EQ(outline.On_Fill(), 1);
  ASSERT_TRUE(WaitFor([&] { return wnd->Count(9) > 2; }));
  wnd->DestroyWindow();
  delete wnd;
  Settle(outline);
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(outline.On_Get_Doing(), 0);
}
