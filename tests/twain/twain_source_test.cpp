// Sources over the scripted manager: opening, switching on and off, the
// driver's condition, capabilities.
#include "tests/twain/twain_test.h"

#include <clocale>

using twaintest::Answer;
using twaintest::TwainTest;

namespace {

class SourceTest : public TwainTest {
 protected:
  void SetUp() override {
    TwainTest::SetUp();
    Load();
    source_ = link_->GetSource(0);
    ASSERT_NE(source_, nullptr);
  }
  // A capability container the driver answers with, once.
  void AnswerContainer(TW_UINT16 msg, TW_UINT16 conType, const std::vector<uint8_t>& bytes) {
    twain_script::Override o = Answer(DG_CONTROL, DAT_CAPABILITY, msg, TWRC_SUCCESS);
    o.container = std::make_pair(conType, bytes);
    o.times = 1;
    script_->AddOverride(o);
  }
  void Refuse(TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 rc, std::optional<TW_UINT16> condition = std::nullopt) {
    twain_script::Override o = Answer(DG_CONTROL, dat, msg, rc);
    o.condition = condition;
    o.times = 1;
    script_->AddOverride(o);
  }

  TTwainSource* source_ = nullptr;
};

// A TW_ENUMERATION of 16-bit or 32-bit items.
std::vector<uint8_t> Enumeration(TW_UINT16 itemType, const std::vector<uint32_t>& items, uint32_t current,
                                 uint32_t def, uint32_t count = 0xFFFFFFFF) {
  const size_t size = size_t(TwainItemSize(itemType));
  std::vector<uint8_t> b(14 + items.size() * size);
  const uint32_t n = count == 0xFFFFFFFF ? uint32_t(items.size()) : count;
  memcpy(&b[0], &itemType, 2);
  memcpy(&b[2], &n, 4);
  memcpy(&b[6], &current, 4);
  memcpy(&b[10], &def, 4);
  for (size_t i = 0; i < items.size(); ++i) memcpy(&b[14 + i * size], &items[i], size);
  return b;
}

}  // namespace

TEST_F(SourceTest, TheScanDialogsOrderOpensAt150DpiAndSwitchesOnWithoutTheDriversDialog) {
  script_->ClearCalls();
  source_->ModalUI = true;
  source_->ShowUI = false;
  source_->Loaded = true;
  EXPECT_EQ(source_->SetXResolution(150), CapOk);
  EXPECT_EQ(source_->SetYResolution(150), CapOk);
  source_->SwitchedOn = true;
  EXPECT_TRUE(source_->SwitchedOn);
  EXPECT_EQ(link_->GetOpenSourceCount(), 1);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"IDENTITY/OPENDS", "CAPABILITY/SET", "CAPABILITY/SET",
                                               "USERINTERFACE/ENABLEDS"}));
  const auto calls = script_->Calls();
  EXPECT_EQ(calls[0].destId, 0u);  // to the manager, the source's record as data
  EXPECT_EQ(calls[0].product, "Scanner A");
  const TW_UINT16 caps[] = {ICAP_XRESOLUTION, ICAP_YRESOLUTION};
  for (int i = 0; i < 2; ++i) {
    const auto& set = calls[size_t(1 + i)];
    EXPECT_EQ(set.product, "Scanner A");
    TW_CAPABILITY cap;
    memcpy(&cap, set.sent.data(), sizeof cap);
    EXPECT_EQ(cap.Cap, caps[i]);
    EXPECT_EQ(cap.ConType, TWON_ONEVALUE);
    EXPECT_EQ(set.pointeeSize, 6u);
    EXPECT_EQ(set.pointee, (std::vector<uint8_t>{7, 0, 150, 0, 0, 0}));  // TWTY_FIX32, Whole 150, Frac 0
  }
  TW_USERINTERFACE ui;
  memcpy(&ui, calls[3].sent.data(), sizeof ui);
  EXPECT_EQ(ui.ShowUI, 0);
  EXPECT_EQ(ui.ModalUI, 0xFFFF);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(ui.hParent), link_->GetVirtualWindow());
  // The manager took 150 dpi.
  HGLOBAL h = nullptr;
  TW_UINT16 type = 0;
  ASSERT_EQ(source_->GetCapability(ICAP_XRESOLUTION, CapQueryCurrent, &h, &type), CapOk);
  ASSERT_EQ(type, TWON_ONEVALUE);
  TW_FIX32 dpi;
  memcpy(&dpi, static_cast<BYTE*>(h) + 2, sizeof dpi);
  GlobalFree(h);
  EXPECT_EQ(dpi.Whole, 150);
}

TEST_F(SourceTest, OpeningAndClosingAreCountedOnce) {
  source_->Loaded = true;
  source_->Loaded = true;
  EXPECT_TRUE(source_->OpenSource());
  EXPECT_EQ(CallsOf(DAT_IDENTITY, MSG_OPENDS).size(), 1u);
  EXPECT_EQ(link_->GetOpenSourceCount(), 1);
  EXPECT_TRUE(source_->CloseSource());
  EXPECT_TRUE(source_->CloseSource());
  EXPECT_EQ(CallsOf(DAT_IDENTITY, MSG_CLOSEDS).size(), 1u);
  EXPECT_EQ(link_->GetOpenSourceCount(), 0);

  // Opening refused: closed, not counted.
  Refuse(DAT_IDENTITY, MSG_OPENDS, TWRC_FAILURE, TWCC_MAXCONNECTIONS);
  source_->Loaded = true;
  EXPECT_FALSE(source_->Loaded);
  EXPECT_EQ(link_->GetOpenSourceCount(), 0);
  // Closing refused: marked closed, still counted.
  source_->Loaded = true;
  Refuse(DAT_IDENTITY, MSG_CLOSEDS, TWRC_FAILURE);
  EXPECT_FALSE(source_->CloseSource());
  EXPECT_FALSE(source_->Loaded);
  EXPECT_EQ(link_->GetOpenSourceCount(), 1);
}

TEST_F(SourceTest, AClosedSourceIsNeitherSwitchedNorAsked) {
  script_->ClearCalls();
  source_->SwitchedOn = true;
  EXPECT_FALSE(source_->SwitchedOn);
  EXPECT_FALSE(source_->SwitchOn(false, true));
  EXPECT_TRUE(source_->SwitchOff());
  HGLOBAL h = nullptr;
  TW_UINT16 type = 0;
  EXPECT_EQ(source_->GetCapability(ICAP_UNITS, CapQueryAll, &h, &type), CapWrongState);
  EXPECT_EQ(source_->SetXResolution(150), CapWrongState);
  TTwainUnit unit;
  TTwainUnits units;
  EXPECT_EQ(source_->GetUnits(&unit, &units, CapQueryCurrent), CapWrongState);
  EXPECT_EQ(source_->GetConditionCode(), 0);
  EXPECT_TRUE(script_->Calls().empty());
}

TEST_F(SourceTest, SwitchingOnCountsWhatTheDriverAccepts) {
  struct Case {
    TW_UINT16 rc;
    bool result;
  } cases[] = {{TWRC_SUCCESS, true}, {TWRC_CHECKSTATUS, true}, {TWRC_FAILURE, false}, {TWRC_CANCEL, false}};
  source_->Loaded = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rc);
    Refuse(DAT_USERINTERFACE, MSG_ENABLEDS, c.rc);
    EXPECT_EQ(source_->SwitchOn(true, false), c.result);
    EXPECT_EQ(source_->SwitchedOn, c.result);  // a refused request leaves it off
    source_->SwitchedOn = false;
    EXPECT_FALSE(source_->SwitchedOn);
  }
  TW_USERINTERFACE ui;
  memcpy(&ui, CallsOf(DAT_USERINTERFACE, MSG_ENABLEDS)[0].sent.data(), sizeof ui);
  EXPECT_EQ(ui.ShowUI, 0xFFFF);
  EXPECT_EQ(ui.ModalUI, 0);
}

TEST_F(SourceTest, SwitchingOffCountsEveryAnswerBelowCancelAsDone) {
  struct Case {
    TW_UINT16 rc;
    bool off;
  } cases[] = {{TWRC_SUCCESS, true}, {TWRC_FAILURE, true}, {TWRC_CHECKSTATUS, true},
               {TWRC_CANCEL, false}, {TWRC_NOTDSEVENT, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rc);
    source_->Loaded = true;
    source_->SwitchedOn = true;
    ASSERT_TRUE(source_->SwitchedOn);
    events_.clear();
    // The driver switches off, and answers as the case says.
    twain_script::Override o = Answer(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, c.rc, true);
    o.times = 1;
    script_->AddOverride(o);
    EXPECT_EQ(source_->SwitchOff(), c.off);
    EXPECT_EQ(source_->SwitchedOn, !c.off);
    EXPECT_EQ(events_, c.off ? std::vector<std::string>{"disable link 0"} : std::vector<std::string>{});
    source_->Loaded = false;
    EXPECT_FALSE(source_->SwitchedOn);
  }
}

TEST_F(SourceTest, RefusedCapabilityRequestsTellTheDriversCondition) {
  source_->Loaded = true;
  struct Case {
    TW_UINT16 condition;
    CapabilityResult result;
  } cases[] = {{TWCC_CAPUNSUPPORTED, CapNotSupported}, {TWCC_CAPBADOPERATION, CapBadOperation},
               {TWCC_CAPSEQERROR, CapSequenceError},   {TWCC_LOWMEMORY, CapLowMemory},
               {TWCC_SEQERROR, CapWrongState},         {TWCC_BUMMER, CapBadOperation},
               {TWCC_BADVALUE, CapBadOperation}};
  for (const Case& c : cases) {
    Refuse(DAT_CAPABILITY, MSG_SET, TWRC_FAILURE, c.condition);
    EXPECT_EQ(source_->SetXResolution(300), c.result) << c.condition;
  }
  // A status request that fails itself tells nothing.
  Refuse(DAT_CAPABILITY, MSG_SET, TWRC_FAILURE, TWCC_CAPUNSUPPORTED);
  Refuse(DAT_STATUS, MSG_GET, TWRC_FAILURE);
  EXPECT_EQ(source_->SetXResolution(300), CapBadOperation);

  // The kinds of read and their messages.
  script_->ClearCalls();
  for (CapabilityQuery q : {CapQueryAll, CapQueryCurrent, CapQueryDefault, CapQueryReset}) {
    HGLOBAL h = nullptr;
    TW_UINT16 type = 0;
    EXPECT_EQ(source_->GetCapability(ICAP_XRESOLUTION, q, &h, &type), CapOk) << q;
    EXPECT_NE(h, nullptr);
    GlobalFree(h);
  }
  std::vector<TW_UINT16> msgs;
  for (const auto& c : script_->Calls()) {
    msgs.push_back(c.msg);
    TW_CAPABILITY cap;
    memcpy(&cap, c.sent.data(), sizeof cap);
    EXPECT_EQ(cap.ConType, TWON_DONTCARE16);
    // "+" compares a copy: a field of a packed structure may be misaligned for a reference.
    EXPECT_EQ(+cap.hContainer, nullptr);
  }
  EXPECT_EQ(msgs, (std::vector<TW_UINT16>{MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET}));
}

TEST_F(SourceTest, UnitsAndFlavoursComeFromUint16Enumerations) {
  source_->Loaded = true;
  const auto units = Enumeration(TWTY_UINT16, {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS, 9}, 2, 0);
  TTwainUnit unit = tuInches;
  TTwainUnits supported;
  AnswerContainer(MSG_GETCURRENT, TWON_ENUMERATION, units);
  EXPECT_EQ(source_->GetUnits(&unit, &supported, CapQueryCurrent), CapOk);
  EXPECT_EQ(unit, tuPixels);
  EXPECT_TRUE(supported == (TTwainUnits{tuInches, tuCentimeters, tuPixels, tuOther}));
  AnswerContainer(MSG_GETDEFAULT, TWON_ENUMERATION, units);
  EXPECT_EQ(source_->GetUnits(&unit, &supported, CapQueryDefault), CapOk);
  EXPECT_EQ(unit, tuInches);

  TTwainPixelFlavor flavour = tpfChocolate;
  TTwainPixelFlavors flavours;
  AnswerContainer(MSG_GET, TWON_ENUMERATION, Enumeration(TWTY_UINT16, {TWPF_CHOCOLATE, TWPF_VANILLA, 7}, 1, 0));
  EXPECT_EQ(source_->GetPixelFlavor(&flavour, &flavours, CapQueryAll), CapOk);
  EXPECT_EQ(flavour, tpfVanilla);
  EXPECT_TRUE(flavours == (TTwainPixelFlavors{tpfChocolate, tpfVanilla, tpfOther}));

  struct Bad {
    const char* what;
    TW_UINT16 conType;
    std::vector<uint8_t> bytes;
    CapabilityResult result;
  } bad[] = {
      {"32-bit items", TWON_ENUMERATION, Enumeration(TWTY_UINT32, {0, 1}, 0, 0), CapNotSupported},
      {"a one-value", TWON_ONEVALUE, {4, 0, 1, 0, 0, 0}, CapWrongContainer},
      {"current index past the items", TWON_ENUMERATION, Enumeration(TWTY_UINT16, {0, 1}, 2, 0), CapBadOperation},
      {"more items said than held", TWON_ENUMERATION, Enumeration(TWTY_UINT16, {0, 1}, 3, 0, 1000000),
       CapBadOperation},
      {"a container shorter than its head", TWON_ENUMERATION, {4, 0, 1, 0}, CapBadOperation},
  };
  for (const Bad& b : bad) {
    AnswerContainer(MSG_GETCURRENT, b.conType, b.bytes);
    EXPECT_EQ(source_->GetUnits(&unit, &supported, CapQueryCurrent), b.result) << b.what;
  }
  // What the manager itself reports: the current value alone is a one-value.
  EXPECT_EQ(source_->GetUnits(&unit, &supported, CapQueryCurrent), CapWrongContainer);
  ASSERT_EQ(source_->GetUnits(&unit, &supported, CapQueryAll), CapOk);
  EXPECT_EQ(unit, tuInches);
}

TEST_F(SourceTest, EnumerationsListTheirItemsAsTexts) {
  source_->Loaded = true;
  std::vector<uint8_t> strings(14 + 3 * 34, 0);
  const uint16_t type = TWTY_STR32;
  const uint32_t n = 3, cur = 1, def = 2;
  memcpy(&strings[0], &type, 2);
  memcpy(&strings[2], &n, 4);
  memcpy(&strings[6], &cur, 4);
  memcpy(&strings[10], &def, 4);
  strcpy(reinterpret_cast<char*>(&strings[14]), "Lineart");
  strcpy(reinterpret_cast<char*>(&strings[14 + 34]), "Gray");
  memset(&strings[14 + 68], 'x', 34);  // filled to the end without a zero
  AnswerContainer(MSG_GET, TWON_ENUMERATION, strings);
  TW_UINT16 itemType = 0;
  int current = -1, defaultIndex = -1;
  std::vector<AnsiString> list;
  ASSERT_EQ(source_->GetEnumeration(0x8001, CapQueryAll, &itemType, &current, &defaultIndex, &list), CapOk);
  EXPECT_EQ(itemType, TWTY_STR32);
  EXPECT_EQ(current, 1);
  EXPECT_EQ(defaultIndex, 2);
  EXPECT_EQ(list, (std::vector<AnsiString>{"Lineart", "Gray", std::string(34, 'x')}));
}

TEST_F(SourceTest, ItemsReadAsTheirTypeSays) {
  const char separator = localeconv()->decimal_point[0];
  struct Case {
    TW_UINT16 type;
    std::vector<uint8_t> bytes;
    std::string text;
  } cases[] = {
      {TWTY_INT8, {0xFF}, "-1"},
      {TWTY_UINT8, {0xFF}, "255"},
      {TWTY_INT16, {0x00, 0x80}, "-32768"},
      {TWTY_UINT16, {0xFF, 0xFF}, "65535"},
      {TWTY_BOOL, {0xFF, 0xFF}, "65535"},
      {TWTY_INT32, {0xFF, 0xFF, 0xFF, 0xFF}, "-1"},
      {TWTY_UINT32, {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
      {TWTY_FIX32, {150, 0, 0x00, 0x80}, std::string("150") + separator + "32768"},  // the raw fraction
      {TWTY_STR32, {'a', 'b', 'c', 0, 'd'}, "abc"},
      {TWTY_FRAME, std::vector<uint8_t>(16, 1), ""},
      {TWTY_STR1024, {'a', 0}, ""},
      {99, {1, 2}, ""},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> item = c.bytes;
    item.resize(1100, 0);
    EXPECT_EQ(source_->ItemToString(c.type, item.data()), c.text) << c.type;
  }
  EXPECT_EQ(source_->ItemToString(TWTY_UINT16, nullptr), "");
}

TEST_F(SourceTest, OneValuesAreBlocksOfTheItemsSize) {
  source_->Loaded = true;
  script_->ClearCalls();
  const TW_UINT16 flag = 1;
  EXPECT_EQ(source_->SetOneValue(0x8002, TWTY_BOOL, &flag), CapNotSupported);  // the manager has no such cap
  char name[256] = "C:\\scan.bmp";
  source_->SetOneValue(0x8003, TWTY_STR255, name);
  const auto sets = CallsOf(DAT_CAPABILITY, MSG_SET);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].pointeeSize, 6u);  // at least four item bytes
  EXPECT_EQ(sets[0].pointee, (std::vector<uint8_t>{6, 0, 1, 0, 0, 0}));
  EXPECT_EQ(sets[1].pointeeSize, 258u);
  EXPECT_EQ(memcmp(sets[1].pointee.data() + 2, name, 256), 0);
}
