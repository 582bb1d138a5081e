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
#include <vector>

#include "engine_data.h"
#include "merrodataengine/api/engine_context.h"

using namespace engine_test;

namespace {

using Export = int (*)(EngineContext*);

void* Library() {
  static void* lib = [] {
    const std::string path = std::string(getenv("QUARVEL_BIN")) + "/libMerroDataEngine.so";
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(h, nullptr) << dlerror();
    return h;
  }();
  return lib;
}

Export Get(const char* name) {
  Export f = reinterpret_cast<Export>(dlsym(Library(), name));
  EXPECT_NE(f, nullptr) << name;
  return f;
}

// The exports that validate the context and need nothing beyond it.
const char* const kValidated[] = {"On_Set_Exit",     "On_Get_OutLine_Count", "On_Set_Delay", "On_Get_Hanzi_PL",
                                  "On_Add_Index",    "On_Export",            "On_Export_Index", "On_Get_Pinyin",
                                  "On_Get_English",  "On_Get_Ppbs"};

int Call(const char* name, EngineContext* c) { return Get(name)(c); }

// The host's records: a valid context (before On_Init) and one block.
struct Host {
  EngineParams params{};
  EngineParams* current = &params;
  EngineContext context{};
  explicit Host(const char* folder = "data") {
    context.strDataFolder = folder;
    context.strRequired1 = "one";
    context.strRequired2 = "two";
    context.strRequired3 = "three";
    context.strReserved = "kept";
    context.nActive = 1;
    context.nPoolSize = 2;
    context.ppParams = &current;
  }
};

std::string Snapshot(const EngineContext& c, const EngineParams& p) {
  std::ostringstream s;
  s << c.strDataFolder << "|" << c.nState << "|" << c.strRequired1 << "|" << c.strRequired2 << "|"
    << c.strRequired3 << "|" << c.nZero << "|" << c.strCurrentDir << "|" << c.strReserved << "|" << c.nActive << "|"
    << c.nToken << "|" << c.nPoolSize << "|" << c.ppParams << "||" << p.nSlot00 << "|" << p.nSlot04 << "|"
    << p.nSlot08 << "|" << p.nSlot0C << "|" << p.dSlot10 << "|" << p.dSlot18 << "|" << p.dSlot20 << "|"
    << p.pSlot28 << "|" << p.nSlot2C << "|" << p.nSlot30 << "|" << p.strSlot34 << "|" << p.strSlot38 << "|"
    << p.strSlot3C;
  return s.str();
}

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
        "On_Sound_Pinyin", "On_Add_Index", "On_Export", "On_Export_Index"})
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
  };
  for (const Condition& condition : conditions) {
    SCOPED_TRACE(condition.name);
    Host h;
    ASSERT_EQ(Call("On_Init", &h.context), 1);
    ASSERT_EQ(Call("On_Add_Index", &h.context), 1) << "valid before";
    h.params.nSlot0C = 1;
    h.params.pSlot28 = 55;
    h.params.nSlot04 = 99;
    h.params.strSlot34 = data.Char(kBend);
    EngineContext valid = h.context;
    condition.fail(h.context);
    const std::string before = Snapshot(h.context, h.params);
    for (const char* name : kValidated) EXPECT_EQ(Call(name, &h.context), 0) << name;
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
