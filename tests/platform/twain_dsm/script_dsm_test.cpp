// The scripted source manager: its control, reached by loading the same
// file, describes the sources and changes answers; the calls are logged.
// Also the broken libraries that TWAIN applications must survive.
#include "platform/twain_dsm/script.h"
#include "tests/platform/twain_dsm/dsm_client.h"
#include "tests/platform/twain_dsm/script_sources.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>

#include <gtest/gtest.h>

using dsmtest::Client;
using dsmtest::Dib;

namespace {

std::string ScriptLibrary() { return dsmtest::BinFolder() + "../twain_script/libtwain_32.so"; }

using scripttest::Answer;
using scripttest::Grey;

class ScriptDsm : public ::testing::Test {
 protected:
  void SetUp() override {
    client_ = std::make_unique<Client>(ScriptLibrary());
    ASSERT_TRUE(client_->Loaded());
    // The control of the very instance the client loaded.
    module_ = LoadLibrary(ScriptLibrary().c_str());
    auto control = reinterpret_cast<TwainScriptControlProc>(GetProcAddress(module_, "TwainScriptControl"));
    ASSERT_NE(control, nullptr);
    script_ = control();
    script_->Reset();
    script_->SetSources(scripttest::ScannerAndCamera());
  }
  void TearDown() override {
    client_.reset();
    script_->Reset();
    FreeLibrary(module_);
  }
  std::vector<TW_IDENTITY> OpenAndList() {
    EXPECT_TRUE(client_->OpenManager());
    return client_->Sources();
  }
  const twain_script::Call* Last(TW_UINT16 dat, TW_UINT16 msg) {
    calls_ = script_->Calls();
    for (auto it = calls_.rbegin(); it != calls_.rend(); ++it)
      if (it->dat == dat && it->msg == msg) return &*it;
    return nullptr;
  }

  std::unique_ptr<Client> client_;
  HMODULE module_ = nullptr;
  twain_script::Control* script_ = nullptr;
  std::vector<twain_script::Call> calls_;
};

}  // namespace

TEST_F(ScriptDsm, ListsTheDescribedSourcesAndGivesTheirPictures) {
  std::vector<TW_IDENTITY> s = OpenAndList();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_STREQ(s[0].ProductName, "Scanner A");
  EXPECT_STREQ(s[1].ProductName, "Camera B");
  EXPECT_STREQ(s[0].Manufacturer, "Quarvel tests");
  ASSERT_TRUE(client_->OpenSource(&s[0]));
  ASSERT_EQ(client_->SetOne(&s[0], CAP_XFERCOUNT, TWTY_INT16, 3), TWRC_SUCCESS);
  ASSERT_EQ(client_->Enable(&s[0], false), TWRC_SUCCESS);
  ASSERT_EQ(client_->NextEvent(&s[0]), MSG_XFERREADY);
  // In turn, then the last one again.
  for (uint8_t first : {10, 100, 100}) {
    TW_HANDLE h = nullptr;
    ASSERT_EQ(client_->Call(&s[0], DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_XFERDONE);
    Dib d = Dib::From(h);
    GlobalFree(h);
    EXPECT_EQ(d.Row(0)[0], first);
    TW_PENDINGXFERS p{};
    client_->Call(&s[0], DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &p);
  }
  TW_USERINTERFACE ui{};
  EXPECT_EQ(client_->Call(&s[0], DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
}

TEST_F(ScriptDsm, TheDefaultSourceIsTheScriptsChoice) {
  std::vector<TW_IDENTITY> s = OpenAndList();
  TW_IDENTITY def{};
  script_->SetDefaultSource(1);
  ASSERT_EQ(client_->Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &def), TWRC_SUCCESS);
  EXPECT_EQ(memcmp(&def, &s[1], sizeof def), 0);
  script_->SetDefaultSource(-1);
  EXPECT_EQ(client_->Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &def), TWRC_FAILURE);
  EXPECT_EQ(client_->Condition(), TWCC_NODS);
}

TEST_F(ScriptDsm, AnOverrideAnswersInsteadOfTheManager) {
  twain_script::Override o;
  o.dat = DAT_PARENT;
  o.msg = MSG_OPENDSM;
  o.times = 1;
  o.condition = TWCC_LOWMEMORY;
  script_->AddOverride(o);
  EXPECT_FALSE(client_->OpenManager());
  EXPECT_EQ(client_->app.Id, 0u);
  EXPECT_EQ(client_->Condition(), TWCC_LOWMEMORY);
  // Spent after one call: the next one reaches the manager.
  EXPECT_TRUE(client_->OpenManager());
  EXPECT_NE(client_->app.Id, 0u);

  // The second opening of "Camera B" is refused, with the source's name matched.
  twain_script::Override open;
  open.dat = DAT_IDENTITY;
  open.msg = MSG_OPENDS;
  open.product = "Camera B";
  open.skip = 1;
  open.condition = TWCC_MAXCONNECTIONS;
  script_->AddOverride(open);
  std::vector<TW_IDENTITY> s = client_->Sources();
  ASSERT_TRUE(client_->OpenSource(&s[1]));
  ASSERT_TRUE(client_->CloseSource(&s[1]));
  EXPECT_FALSE(client_->OpenSource(&s[1]));
  EXPECT_EQ(client_->Condition(), TWCC_MAXCONNECTIONS);
  EXPECT_TRUE(client_->OpenSource(&s[0]));
}

TEST_F(ScriptDsm, PassedOnCallsCanBeChangedAfterwards) {
  std::vector<TW_IDENTITY> s = OpenAndList();
  ASSERT_TRUE(client_->OpenSource(&s[0]));
  // A pending count the source cannot know, and units in a one-value.
  twain_script::Override end = Answer(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, std::nullopt, true);
  end.patches = {{0, {0xFF, 0xFF}}};
  script_->AddOverride(end);
  twain_script::Override units = Answer(DG_CONTROL, DAT_CAPABILITY, MSG_GET, TWRC_SUCCESS, true);
  units.container = std::make_pair(TW_UINT16(TWON_ONEVALUE), std::vector<uint8_t>{4, 0, 1, 0, 0, 0});
  script_->AddOverride(units);

  TW_UINT16 type = 0;
  HGLOBAL h = client_->Get(&s[0], ICAP_UNITS, MSG_GET, &type);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(type, TWON_ONEVALUE);
  EXPECT_EQ(GlobalSize(h), 6u);
  // "+" compares a copy: a field of a packed structure may be misaligned for a reference.
  EXPECT_EQ(+static_cast<TW_ONEVALUE*>(h)->Item, TWUN_CENTIMETERS);
  GlobalFree(h);

  ASSERT_EQ(client_->Enable(&s[0], false), TWRC_SUCCESS);
  ASSERT_EQ(client_->NextEvent(&s[0]), MSG_XFERREADY);
  TW_PENDINGXFERS p{};
  EXPECT_EQ(client_->Call(&s[0], DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &p), TWRC_SUCCESS);
  EXPECT_EQ(p.Count, 0xFFFF);
}

TEST_F(ScriptDsm, TransfersCanBeGivenAnyBytes) {
  std::vector<TW_IDENTITY> s = OpenAndList();
  ASSERT_TRUE(client_->OpenSource(&s[0]));
  twain_script::Override native = Answer(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, TWRC_XFERDONE, true);
  native.block = std::vector<uint8_t>{1, 2, 3};
  script_->AddOverride(native);
  twain_script::Override strip = Answer(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, TWRC_SUCCESS);
  strip.strip = std::vector<uint8_t>(20, 0xAB);
  strip.bytesWritten = 4000;
  script_->AddOverride(strip);

  ASSERT_EQ(client_->Enable(&s[0], false), TWRC_SUCCESS);
  ASSERT_EQ(client_->NextEvent(&s[0]), MSG_XFERREADY);
  TW_HANDLE h = nullptr;
  ASSERT_EQ(client_->Call(&s[0], DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_XFERDONE);
  ASSERT_EQ(GlobalSize(h), 3u);
  EXPECT_EQ(static_cast<uint8_t*>(h)[2], 3);
  GlobalFree(h);

  std::vector<uint8_t> buffer(16, 0);
  TW_IMAGEMEMXFER m{};
  m.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, 16, buffer.data()};
  EXPECT_EQ(client_->Call(&s[0], DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &m), TWRC_SUCCESS);
  EXPECT_EQ(+m.BytesWritten, 4000u);
  EXPECT_EQ(buffer, std::vector<uint8_t>(16, 0xAB));  // never beyond the buffer's Length
}

TEST_F(ScriptDsm, EveryCallIsLoggedAsItArrived) {
  std::vector<TW_IDENTITY> s = OpenAndList();
  const twain_script::Call* open = Last(DAT_PARENT, MSG_OPENDSM);
  ASSERT_NE(open, nullptr);
  HWND sent;
  memcpy(&sent, open->sent.data(), sizeof sent);
  EXPECT_EQ(sent, client_->window);
  EXPECT_EQ(open->data, reinterpret_cast<uintptr_t>(&client_->window));
  EXPECT_EQ(open->rc, TWRC_SUCCESS);

  ASSERT_TRUE(client_->OpenSource(&s[0]));
  ASSERT_EQ(client_->SetOne(&s[0], ICAP_XRESOLUTION, TWTY_FIX32, 150), TWRC_SUCCESS);
  const twain_script::Call* set = Last(DAT_CAPABILITY, MSG_SET);
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->destId, s[0].Id);
  EXPECT_EQ(set->product, "Scanner A");
  EXPECT_EQ(set->originId, client_->app.Id);
  EXPECT_EQ(set->pointeeSize, 6u);
  EXPECT_EQ(set->pointee, (std::vector<uint8_t>{7, 0, 150, 0, 0, 0}));
  TW_CAPABILITY cap;
  memcpy(&cap, set->sent.data(), sizeof cap);
  EXPECT_EQ(cap.Cap, ICAP_XRESOLUTION);
  EXPECT_EQ(cap.ConType, TWON_ONEVALUE);
}

TEST_F(ScriptDsm, ASourceThatWaitsForItsSignal) {
  std::vector<TW_IDENTITY> s = OpenAndList();
  ASSERT_TRUE(client_->OpenSource(&s[1]));
  ASSERT_EQ(client_->Enable(&s[1], false), TWRC_SUCCESS);
  EXPECT_EQ(client_->NextEvent(&s[1], 300), MSG_NULL);
  EXPECT_FALSE(script_->Notify("Scanner A", MSG_XFERREADY));  // not open
  ASSERT_TRUE(script_->Notify("Camera B", MSG_CLOSEDSREQ));
  EXPECT_EQ(client_->NextEvent(&s[1]), MSG_CLOSEDSREQ);
  ASSERT_TRUE(script_->Notify("Camera B", MSG_XFERREADY));
  EXPECT_EQ(client_->NextEvent(&s[1]), MSG_XFERREADY);
  TW_HANDLE h = nullptr;
  ASSERT_EQ(client_->Call(&s[1], DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_XFERDONE);
  EXPECT_EQ(Dib::From(h).header.biWidth, 4);
  GlobalFree(h);
  const twain_script::Call* ev = Last(DAT_EVENT, MSG_PROCESSEVENT);
  ASSERT_NE(ev, nullptr);
  MSG m;
  ASSERT_EQ(ev->pointee.size(), sizeof m);
  memcpy(&m, ev->pointee.data(), sizeof m);
  EXPECT_EQ(m.hwnd, client_->window);
}

// A read the device itself cancels (its own cancel button) asks to be
// closed; without it the source would stay enabled and nothing would tell.
TEST_F(ScriptDsm, AReadTheDeviceCancelsAsksToBeClosed) {
  std::vector<twain_script::Source> sources = scripttest::ScannerAndCamera();
  sources[0].read = twain_script::Source::Read::kDeviceCancels;
  script_->SetSources(sources);
  std::vector<TW_IDENTITY> s = OpenAndList();
  ASSERT_TRUE(client_->OpenSource(&s[0]));
  ASSERT_EQ(client_->Enable(&s[0], false), TWRC_SUCCESS);
  EXPECT_EQ(client_->NextEvent(&s[0]), MSG_CLOSEDSREQ);
  EXPECT_EQ(client_->Disable(&s[0]), TWRC_SUCCESS);

  // With its dialog: the dialog is the person's again, to scan anew.
  ASSERT_EQ(client_->Enable(&s[0], true), TWRC_SUCCESS);
  QDialog* dialog = nullptr;
  ASSERT_TRUE(test::WaitFor([&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "twainScanDialog" && w->isVisible()) dialog = qobject_cast<QDialog*>(w);
    return dialog != nullptr;
  }));
  auto* scan = dialog->findChild<QPushButton*>("scan");
  scan->click();
  EXPECT_EQ(client_->NextEvent(&s[0]), MSG_CLOSEDSREQ);
  EXPECT_TRUE(scan->isEnabled());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(client_->Disable(&s[0]), TWRC_SUCCESS);
  EXPECT_TRUE(client_->CloseSource(&s[0]));
}

// A device that stops answering in the middle of a read: disabling and
// closing still return (the device is given up), and the other source and
// a new session work on.
TEST_F(ScriptDsm, ADeviceThatStopsAnsweringDoesNotHoldUpTheApplication) {
  std::vector<twain_script::Source> sources = scripttest::ScannerAndCamera();
  sources[0].read = twain_script::Source::Read::kNoAnswer;
  script_->SetSources(sources);
  std::vector<TW_IDENTITY> s = OpenAndList();
  ASSERT_TRUE(client_->OpenSource(&s[0]));
  ASSERT_EQ(client_->Enable(&s[0], false), TWRC_SUCCESS);
  EXPECT_EQ(client_->NextEvent(&s[0], 300), MSG_NULL);
  EXPECT_EQ(client_->Disable(&s[0]), TWRC_SUCCESS);
  // What is left of it fails, it does not hang.
  ASSERT_EQ(client_->Enable(&s[0], false), TWRC_SUCCESS);
  ASSERT_EQ(client_->NextEvent(&s[0]), MSG_XFERREADY);
  TW_HANDLE h = nullptr;
  EXPECT_EQ(client_->Call(&s[0], DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_FAILURE);
  EXPECT_EQ(client_->Condition(&s[0]), TWCC_OPERATIONERROR);
  TW_PENDINGXFERS p{};
  EXPECT_EQ(client_->Call(&s[0], DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &p), TWRC_SUCCESS);
  EXPECT_EQ(client_->Disable(&s[0]), TWRC_SUCCESS);
  EXPECT_TRUE(client_->CloseSource(&s[0]));

  ASSERT_TRUE(client_->OpenSource(&s[1]));
  ASSERT_EQ(client_->Enable(&s[1], false), TWRC_SUCCESS);
  ASSERT_TRUE(script_->Notify("Camera B", MSG_XFERREADY));
  ASSERT_EQ(client_->NextEvent(&s[1]), MSG_XFERREADY);
  ASSERT_EQ(client_->Call(&s[1], DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_XFERDONE);
  EXPECT_EQ(Dib::From(h).header.biWidth, 4);
  GlobalFree(h);
}

// Libraries under the manager's name that are not one.
TEST(BrokenDsm, NoEntryPointAndNoLibraryAreTold) {
  test::App();
  const std::string variants = dsmtest::BinFolder() + "../twain_variants/";
  HMODULE noEntry = LoadLibrary((variants + "no_entry/libtwain_32.so").c_str());
  ASSERT_NE(noEntry, nullptr);
  EXPECT_EQ(GetProcAddress(noEntry, MAKEINTRESOURCE(1)), nullptr);
  EXPECT_TRUE(FreeLibrary(noEntry));
  EXPECT_EQ(LoadLibrary((variants + "broken/libtwain_32.so").c_str()), nullptr);
  EXPECT_EQ(LoadLibrary((variants + "none/libtwain_32.so").c_str()), nullptr);
}
