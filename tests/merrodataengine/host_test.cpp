// A host as an outside program drives the engine: it loads
// libMerroDataEngine.so with dlopen, finds the exports by their plain names
// and calls them with its own context and parameter block.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine_data.h"
#include "host_library.h"
#include "picture.h"
#include "pixels.h"

using namespace engine_test;

namespace {

// The exports that validate the context and need nothing beyond it.
const char* const kValidated[] = {
    "On_Set_Exit",     "On_Get_OutLine_Count", "On_Set_Delay",   "On_Get_Hanzi_PL", "On_Add_Index",        "On_Export",
    "On_Export_Index", "On_Get_Pinyin",        "On_Get_English", "On_Get_Ppbs",     "On_Delete_Stroke_wnd"};
// The exports that work on a character's strokes.
const char* const kStrokeExports[] = {
    "On_Get_Strokes",    "On_Get_Stroke_Name", "On_Get_Scale",    "On_Get_Rect",          "On_Draw_Stroke",
    "On_Get_Stroke_Rgn", "On_Fill_Stroke",     "On_Stroke_Order", "On_Create_Stroke_wnd", "On_Delete_Stroke_wnd"};

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Host any;
    Call("On_Exit", &any.context);  // whatever an earlier test left running
  }
  void TearDown() override { Call("On_Exit", &host.context); }

  DataFolder data{kFixtures};
  Host host;
};

}  // namespace

TEST(HostLibrary, ExportsResolveByTheirPlainNames) {
  for (const char* name :
       {"On_Init", "On_Exit", "On_Init_Search", "On_UnInit_Search", "On_Set_Exit", "On_Get_OutLine_Count",
        "On_RePaint", "On_Set_Delay", "On_Get_Hanzi_PL", "On_Get_Pinyin", "On_Get_English", "On_Get_Ppbs",
        "On_Sound_Pinyin", "On_Add_Index", "On_Export", "On_Export_Index", "On_Get_Strokes", "On_Get_Stroke_Name",
        "On_Get_Scale", "On_Get_Rect", "On_Draw_Stroke", "On_Get_Stroke_Rgn", "On_Fill_Stroke", "On_Stroke_Order",
        "On_Create_Stroke_wnd", "On_Delete_Stroke_wnd"})
    EXPECT_NE(dlsym(Library(), name), nullptr) << name;
  EXPECT_EQ(dlsym(Library(), "On_Export"), dlsym(Library(), "On_Add_Index")) << "one function, three names";
  EXPECT_EQ(dlsym(Library(), "On_Export_Index"), dlsym(Library(), "On_Add_Index"));
  EXPECT_EQ(dlsym(Library(), "_Z7On_InitP13EngineContext"), nullptr) << "no decorated name";
}

TEST_F(HostTest, StartAndEnd) {
  EXPECT_EQ(Call("On_Add_Index", &host.context), 0) << "before On_Init";
  ASSERT_EQ(Call("On_Init", &host.context), 1);
  EXPECT_EQ(host.context.nState, 1);
  EXPECT_NE(host.context.nToken, -1);
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(host.context.strCurrentDir, cwd);
  host.params.strSlot34 = data.Char(kRect);
  for (const char* name : kValidated) EXPECT_EQ(Call(name, &host.context), 1) << name;

  EXPECT_EQ(Call("On_Exit", &host.context), 1);
  EXPECT_EQ(host.context.nState, 0);
  EXPECT_EQ(host.context.nToken, -1);
  EXPECT_EQ(host.context.strRequired3, "");
  EXPECT_EQ(host.context.strCurrentDir, "");
  EXPECT_EQ(host.context.strRequired1, "one");
  EXPECT_EQ(host.context.strReserved, "kept");
  for (const char* name : kValidated) EXPECT_EQ(Call(name, &host.context), 0) << name << " after On_Exit";
  for (const char* name : kStrokeExports) EXPECT_EQ(Call(name, &host.context), 0) << name << " after On_Exit";
  EXPECT_EQ(Call("On_Exit", &host.context), 1) << "twice";
  EXPECT_EQ(Call("On_Exit", nullptr), 0);
  EXPECT_EQ(Call("On_Init", nullptr), 0);
}

// Each condition failing alone refuses every validated export, and the
// refusal changes neither the records nor the engine.
TEST_F(HostTest, ValidationTable) {
  Host other;
  struct Condition {
    const char* name;
    std::function<void(EngineContext&)> fail;
  } conditions[] = {
      {"engine not started", [&](EngineContext&) { Call("On_Exit", &other.context); }},
      {"nZero not 0", [](EngineContext& c) { c.nZero = 1; }},
      {"another token", [](EngineContext& c) { c.nToken += 1; }},
      {"nActive 0", [](EngineContext& c) { c.nActive = 0; }},
      {"strRequired2 empty", [](EngineContext& c) { c.strRequired2 = ""; }},
      {"strRequired3 empty", [](EngineContext& c) { c.strRequired3 = ""; }},
      {"nState not 1", [](EngineContext& c) { c.nState = 2; }},
      {"strRequired1 empty", [](EngineContext& c) { c.strRequired1 = ""; }},
      {"strCurrentDir empty", [](EngineContext& c) { c.strCurrentDir = ""; }},
      {"nPoolSize 0", [](EngineContext& c) { c.nPoolSize = 0; }},
      {"nPoolSize negative", [](EngineContext& c) { c.nPoolSize = -3; }},
      {"nPoolSize above the bound", [](EngineContext& c) { c.nPoolSize = kMaxPoolSize + 1; }},
  };
  for (const Condition& condition : conditions) {
    SCOPED_TRACE(condition.name);
    Host h;
    ASSERT_EQ(Call("On_Init", &h.context), 1);
    ASSERT_EQ(Call("On_Add_Index", &h.context), 1) << "valid before";
    h.params.nSlot0C = 1;
    h.params.pSlot28 = 55;  // no pointer: an export that used it before validating would crash
    h.params.nSlot04 = 99;
    h.params.strSlot34 = data.Char(kBend);
    EngineContext valid = h.context;
    condition.fail(h.context);
    const std::string before = Snapshot(h.context, h.params);
    for (const char* name : kValidated) EXPECT_EQ(Call(name, &h.context), 0) << name;
    for (const char* name : kStrokeExports) EXPECT_EQ(Call(name, &h.context), 0) << name;
    EXPECT_EQ(Snapshot(h.context, h.params), before);
    // No outline was made on the way (On_Set_Delay would have made two).
    if (Call("On_Add_Index", &valid) == 1) {
      ASSERT_EQ(Call("On_Get_OutLine_Count", &valid), 1);
      EXPECT_EQ(h.params.nSlot04, 0);
    }
  }
}

// The start itself takes contexts that later fail validation; it refuses
// only nZero, and then leaves the context as it was.
TEST_F(HostTest, StartChecksOnlyNZero) {
  host.context.nPoolSize = 0;
  host.context.strRequired1 = "";
  host.context.nActive = 0;
  EXPECT_EQ(Call("On_Init", &host.context), 1);
  EXPECT_EQ(Call("On_Add_Index", &host.context), 0);
  Host zero;
  zero.context.nZero = 5;
  const std::string before = Snapshot(zero.context, zero.params);
  EXPECT_EQ(Call("On_Init", &zero.context), 0);
  EXPECT_EQ(Snapshot(zero.context, zero.params), before);
}

// Fault mended: a second On_Init stops the running engine first and keeps
// the host's required texts, so the context works afterwards.
TEST_F(HostTest, StartingTwice) {
  ASSERT_EQ(Call("On_Init", &host.context), 1);
  host.params.nSlot0C = 1;
  ASSERT_EQ(Call("On_Set_Delay", &host.context), 1);
  ASSERT_EQ(Call("On_Get_OutLine_Count", &host.context), 1);
  EXPECT_EQ(host.params.nSlot04, 2);
  ASSERT_EQ(Call("On_Init", &host.context), 1);
  EXPECT_EQ(host.context.strRequired3, "three");
  ASSERT_EQ(Call("On_Get_OutLine_Count", &host.context), 1);
  EXPECT_EQ(host.params.nSlot04, 0) << "the first start's outlines are gone";
  host.params.strSlot34 = data.Char(kRect);
  for (const char* name : kValidated) EXPECT_EQ(Call(name, &host.context), 1) << name;
}

TEST_F(HostTest, TokenTiesTheContextToItsStart) {
  ASSERT_EQ(Call("On_Init", &host.context), 1);
  const int token = host.context.nToken;
  host.context.nToken = token ^ 1;
  EXPECT_EQ(Call("On_Add_Index", &host.context), 0);
  host.context.nToken = token;
  EXPECT_EQ(Call("On_Add_Index", &host.context), 1);
  // A second context that never started does not validate, even as a copy.
  Host stranger;
  stranger.context.nState = 1;
  stranger.context.strCurrentDir = "x";
  stranger.context.nToken = -1;
  EXPECT_EQ(Call("On_Add_Index", &stranger.context), 0);
}

TEST_F(HostTest, IndexRecordOfACharacter) {
  ASSERT_EQ(Call("On_Init", &host.context), 1);
  host.params.strSlot34 = data.Char(kBend);
  ASSERT_EQ(Call("On_Get_Hanzi_PL", &host.context), 1);
  EXPECT_EQ(host.params.pSlot28, 13);
  EXPECT_EQ(host.params.nSlot2C, 35);
  for (const char* text : {"ab", "", "\xB0\xA1\xB0\xA1", "\xB1\xA1"}) {
    host.params.strSlot34 = text;
    const std::string before = Snapshot(host.context, host.params);
    EXPECT_EQ(Call("On_Get_Hanzi_PL", &host.context), 0) << text;
    EXPECT_EQ(Snapshot(host.context, host.params), before);
  }
  // The host may swap blocks between calls; without a block nothing that
  // needs one works.
  EngineParams other{};
  other.strSlot34 = data.Char(kRect);
  host.current = &other;
  ASSERT_EQ(Call("On_Get_Hanzi_PL", &host.context), 1);
  EXPECT_EQ(other.pSlot28, 0);
  EXPECT_EQ(other.nSlot2C, 13);
  host.current = nullptr;
  EXPECT_EQ(Call("On_Get_Hanzi_PL", &host.context), 0);
  EXPECT_EQ(Call("On_Get_OutLine_Count", &host.context), 0);
  EXPECT_EQ(Call("On_Add_Index", &host.context), 1);
  host.context.ppParams = nullptr;
  EXPECT_EQ(Call("On_Set_Delay", &host.context), 0);
}

// A data folder with missing files still starts; lookups then fail cleanly.
TEST_F(HostTest, MissingDataFiles) {
  Host empty("nowhere");
  ASSERT_EQ(Call("On_Init", &empty.context), 1);
  empty.params.strSlot34 = data.Char(kRect);
  const std::string before = Snapshot(empty.context, empty.params);
  EXPECT_EQ(Call("On_Get_Hanzi_PL", &empty.context), 0);
  EXPECT_EQ(Snapshot(empty.context, empty.params), before);
  EXPECT_EQ(Call("On_Set_Delay", &empty.context), 1) << "outlines need no data files";
  EXPECT_EQ(Call("On_Exit", &empty.context), 1);
}

TEST_F(HostTest, PoolExports) {
  host.context.nPoolSize = 3;
  ASSERT_EQ(Call("On_Init", &host.context), 1);
  host.params.nSlot0C = 3;
  EXPECT_EQ(Call("On_Set_Delay", &host.context), 0) << "index equal to the pool size";
  host.params.nSlot0C = 1;
  host.params.pSlot28 = -40;
  host.params.nSlot2C = 250;
  EXPECT_EQ(Call("On_Set_Delay", &host.context), 1);
  ASSERT_EQ(Call("On_Get_OutLine_Count", &host.context), 1);
  EXPECT_EQ(host.params.nSlot04, 3);
  host.params.nSlot0C = -1;
  EXPECT_EQ(Call("On_Set_Delay", &host.context), 1);
  EXPECT_EQ(Call("On_Set_Exit", &host.context), 1);
  ASSERT_EQ(Call("On_Get_OutLine_Count", &host.context), 1);
  EXPECT_EQ(host.params.nSlot04, 3);
}

// ---- strokes ----

namespace {

class StrokeTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ASSERT_EQ(Call("On_Init", &host.context), 1);
  }
  int Run(const char* name) { return Call(name, &host.context); }
  // The export refuses and leaves the records as they were.
  void Refuses(const char* name, const std::string& what) {
    const std::string before = Snapshot(host.context, host.params);
    EXPECT_EQ(Run(name), 0) << name << ": " << what;
    EXPECT_EQ(Snapshot(host.context, host.params), before) << name << ": " << what;
  }
  EngineParams& p = host.params;
};

const COLORREF kBlack = RGB(0, 0, 0);

}  // namespace

TEST_F(StrokeTest, CountAndNames) {
  p.strSlot34 = data.Char(kBars);
  p.nSlot04 = 0;
  ASSERT_EQ(Run("On_Get_Strokes"), 1);
  EXPECT_EQ(p.nSlot04, 3);
  p.strSlot34 = data.Char(kShi);
  p.nSlot04 = -1;  // any idle outline; the answer takes the index's place
  ASSERT_EQ(Run("On_Get_Strokes"), 1);
  EXPECT_EQ(p.nSlot04, 2);
  p.nSlot04 = 2;
  Refuses("On_Get_Strokes", "an index as large as the pool");
  p.nSlot04 = 0;
  for (const char* text : {"ab", "", "\xB0\xA1\xB0\xA1"}) {
    p.strSlot34 = text;
    Refuses("On_Get_Strokes", text);
  }

  // The name is worked out and dropped: the host learns whether the stroke
  // exists, and the block stays as it was.
  p.strSlot34 = data.Char(kShi);
  for (auto [stroke, result] : {std::pair{1, 1}, {2, 1}, {0, 0}, {3, 0}, {-1, 0}}) {
    p.pSlot28 = stroke;
    const std::string before = Snapshot(host.context, p);
    EXPECT_EQ(Run("On_Get_Stroke_Name"), result) << stroke;
    EXPECT_EQ(Snapshot(host.context, p), before);
  }
}

TEST_F(StrokeTest, ScaleAndBox) {
  p.strSlot34 = data.Char(kRect);  // box {10, 20, 200, 40}
  RECT target{0, 0, 200, 100};
  p.pSlot28 = reinterpret_cast<intptr_t>(&target);
  ASSERT_EQ(Run("On_Get_Scale"), 1);
  EXPECT_NEAR(p.dSlot10, 200.0 / 190.0 * 0.9, 1e-12);
  p.strSlot34 = data.Char(kBars);  // box {0, 0, 100, 200}
  target = RECT{0, 0, 100, 200};
  ASSERT_EQ(Run("On_Get_Scale"), 1);
  EXPECT_NEAR(p.dSlot10, 0.9, 1e-12);
  p.pSlot28 = 0;
  Refuses("On_Get_Scale", "no RECT");

  // The box lives in the outline: its address stays, its contents follow
  // the character the outline holds.
  p.strSlot34 = data.Char(kRect);
  ASSERT_EQ(Run("On_Get_Rect"), 1);
  const RECT* box = reinterpret_cast<const RECT*>(p.pSlot28);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(*box, (RECT{10, 20, 200, 40}));
  p.strSlot34 = data.Char(kBars);
  ASSERT_EQ(Run("On_Get_Rect"), 1);
  EXPECT_EQ(reinterpret_cast<const RECT*>(p.pSlot28), box);
  EXPECT_EQ(*box, (RECT{0, 0, 100, 200}));
  p.nSlot04 = 1;
  ASSERT_EQ(Run("On_Get_Rect"), 1);
  EXPECT_NE(reinterpret_cast<const RECT*>(p.pSlot28), box) << "another outline";
}

// The region comes to the host's CRgn without the offset; the outline keeps
// scale and offset, and paints with them.
TEST_F(StrokeTest, RegionAndDrawing) {
  p.strSlot34 = data.Char(kRect);
  CRgn rgn;
  CRgn* out = &rgn;
  p.pSlot28 = reinterpret_cast<intptr_t>(&out);
  p.nSlot0C = 0;
  p.nSlot04 = 30;
  p.nSlot08 = 40;
  p.dSlot10 = 1.0;
  p.nSlot2C = 1;
  ASSERT_EQ(Run("On_Get_Stroke_Rgn"), 1);
  EXPECT_EQ(RegionPixels(rgn, 300, 300), RectPixels(10, 20, 200, 40));

  MemoryDC m(300, 300);
  p.pSlot28 = reinterpret_cast<intptr_t>(&m.dc);
  p.nSlot04 = 0;  // pool index here
  ASSERT_EQ(Run("On_Draw_Stroke"), 1);
  EXPECT_EQ(m.Of(kBlack), RectPixels(40, 60, 230, 80)) << Describe(m.Of(kBlack));

  CRgn twice;
  out = &twice;
  p.pSlot28 = reinterpret_cast<intptr_t>(&out);
  p.nSlot04 = p.nSlot08 = 0;
  p.dSlot10 = 2.0;
  ASSERT_EQ(Run("On_Get_Stroke_Rgn"), 1);
  RECT b;
  twice.GetRgnBox(&b);
  EXPECT_EQ(b, (RECT{20, 40, 400, 80}));

  // Refusals leave the host's region alone.
  for (int stroke : {0, 2, -1}) {
    CRgn none;
    out = &none;
    p.nSlot2C = stroke;
    EXPECT_EQ(Run("On_Get_Stroke_Rgn"), 0) << stroke;
    EXPECT_EQ(none.GetSafeHandle(), nullptr);
  }
  p.nSlot2C = 1;
  CRgn held;
  held.CreateRectRgn(0, 0, 5, 5);
  out = &held;
  EXPECT_EQ(Run("On_Get_Stroke_Rgn"), 0) << "the CRgn holds a region";
  held.GetRgnBox(&b);
  EXPECT_EQ(b, (RECT{0, 0, 5, 5}));
  out = nullptr;
  Refuses("On_Get_Stroke_Rgn", "no CRgn");
  p.pSlot28 = 0;
  Refuses("On_Get_Stroke_Rgn", "no pointer to one");

  MemoryDC clean(300, 300);
  p.pSlot28 = reinterpret_cast<intptr_t>(&clean.dc);
  p.nSlot04 = 0;
  p.nSlot2C = 2;
  EXPECT_EQ(Run("On_Draw_Stroke"), 0) << "no stroke 2";
  p.nSlot2C = 1;
  p.nSlot04 = 1;
  EXPECT_EQ(Run("On_Draw_Stroke"), 0) << "an outline that never held a character";
  EXPECT_TRUE(clean.NotWhite().empty());
  p.pSlot28 = 0;
  p.nSlot04 = 0;
  Refuses("On_Draw_Stroke", "no DC");
}

TEST_F(StrokeTest, StrokeOrderFile) {
  const COLORREF background = RGB(250, 240, 230), ink = RGB(0, 0, 255);
  p.strSlot34 = data.Char(kBars);
  p.strSlot38 = "order.bmp";
  p.pSlot28 = 100;  // cell height
  p.nSlot2C = int(background);
  p.nSlot30 = int(ink);
  ASSERT_EQ(Run("On_Stroke_Order"), 1);
  const Picture pic("order.bmp");
  ASSERT_EQ(pic.w, 180);
  ASSERT_EQ(pic.h, 104);
  EXPECT_EQ(pic.At(25, 5), ink) << "stroke 1 of cell 1";
  EXPECT_EQ(pic.At(25, 50), background) << "no stroke 2 in cell 1";
  EXPECT_EQ(pic.At(145, 95), ink) << "stroke 3 of cell 3";
  EXPECT_EQ(pic.At(55, 5), background) << "between the cells";
  p.strSlot38 = "nofolder\\order.bmp";
  EXPECT_EQ(Run("On_Stroke_Order"), 0);
  p.strSlot38 = "order.bmp";
  p.pSlot28 = 0;
  EXPECT_EQ(Run("On_Stroke_Order"), 0) << "no cell height";
}

// A character whose stroke file is missing leaves its outline empty: no
// strokes, and nothing that needs them works, however many the outline
// held before.
TEST_F(StrokeTest, ACharacterThatDoesNotLoad) {
  DataFolder odd(R"(
char 啊            # a code outside the table
stroke 6 0 0
line 10 0 10 10 0 10
char 阿            # its record lies in a stroke file that is not there
stroke 1 0 0
line 10 0 10 10 0 10
index 0 13 9
)",
                 "odd");
  Host h("odd");
  ASSERT_EQ(Call("On_Init", &h.context), 1);
  EngineParams& q = h.params;
  q.strSlot34 = odd.Char(0);
  q.pSlot28 = 1;
  EXPECT_EQ(Call("On_Get_Stroke_Name", &h.context), 1) << "an unknown name is still a stroke";
  ASSERT_EQ(Call("On_Get_Strokes", &h.context), 1);
  EXPECT_EQ(q.nSlot04, 1);

  q.nSlot04 = 0;
  q.strSlot34 = odd.Char(1);
  ASSERT_EQ(Call("On_Get_Strokes", &h.context), 1);
  EXPECT_EQ(q.nSlot04, 0);
  q.nSlot04 = 0;
  q.pSlot28 = 1;
  EXPECT_EQ(Call("On_Get_Stroke_Name", &h.context), 0);
  CRgn rgn;
  CRgn* out = &rgn;
  q.pSlot28 = reinterpret_cast<intptr_t>(&out);
  q.nSlot2C = 1;
  q.dSlot10 = 1.0;
  EXPECT_EQ(Call("On_Get_Stroke_Rgn", &h.context), 0);
  MemoryDC m(20, 20);
  q.pSlot28 = reinterpret_cast<intptr_t>(&m.dc);
  EXPECT_EQ(Call("On_Draw_Stroke", &h.context), 0);
  q.strSlot38 = "none.bmp";
  q.pSlot28 = 100;
  EXPECT_EQ(Call("On_Stroke_Order", &h.context), 0);
  EXPECT_EQ(Call("On_Exit", &h.context), 1);
}

// Two host threads on one engine (outside the one-thread contract): the
// module lock makes them take turns, and every answer is right.
TEST_F(HostTest, TwoThreadsTakeTurns) {
  host.context.nPoolSize = 3;
  ASSERT_EQ(Call("On_Init", &host.context), 1);
  struct Worker {
    Host h;
    int wrong = 0;
  };
  Worker workers[2];
  for (Worker& w : workers) {
    w.h.context = host.context;
    w.h.context.ppParams = &w.h.current;
  }
  const Export strokes = Get("On_Get_Strokes"), pinyin = Get("On_Get_Pinyin");
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t)
    threads.emplace_back([&, t] {
      Worker& w = workers[t];
      const CString characters[] = {data.Char(kBars), data.Char(kShi)};
      for (int i = 0; i < 2000; ++i) {
        w.h.params.nSlot04 = -1;  // any idle outline: both threads reach for the same one
        w.h.params.strSlot34 = characters[(i + t) % 2];
        if (strokes(&w.h.context) != 1 || w.h.params.nSlot04 != ((i + t) % 2 == 0 ? 3 : 2)) ++w.wrong;
        if (pinyin(&w.h.context) != 1) ++w.wrong;
      }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(workers[0].wrong, 0);
  EXPECT_EQ(workers[1].wrong, 0);
}
