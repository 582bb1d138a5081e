// The component over the scripted source manager: loading the library,
// opening the manager, listing the sources, the hidden window.
#include "tests/twain/twain_test.h"

#include "platform/win/hidden_window.h"
#include "platform/win/messages.h"
#include "platform/win/window_walk.h"

using twaintest::Answer;
using twaintest::TwainTest;

namespace {

using LinkTest = TwainTest;

HWND HwndOf(const twain_script::Call& c) {
  HWND h = 0;
  if (c.sent.size() >= sizeof h) memcpy(&h, c.sent.data(), sizeof h);
  return h;
}

}  // namespace

TEST_F(LinkTest, AFreshComponentHasNothingLoaded) {
  EXPECT_FALSE(link_->LibraryLoaded);
  EXPECT_FALSE(link_->SourceManagerLoaded);
  EXPECT_EQ(link_->TransferMode, ttmMemory);
  EXPECT_EQ(link_->SourceCount, 0);
  EXPECT_EQ(link_->GetSource(0), nullptr);
  EXPECT_EQ(link_->Info()->Language, tlDanish);
  EXPECT_EQ(link_->AppIdentity(), link_->Info()->Record());
  // Info takes a whole record, Id and protocol included.
  TTwainIdentity other(nullptr);
  other.Record()->Id = 9;
  other.Record()->ProtocolMinor = 8;
  other.ProductName = "Scan dialog";
  link_->Info = &other;
  EXPECT_EQ(memcmp(link_->AppIdentity(), other.Record(), sizeof(TW_IDENTITY)), 0);
  EXPECT_NE(link_->Info(), &other);
  EXPECT_EQ(link_->Info()->GetOwner(), link_.get());
  link_->Info()->Record()->Id = 0;
  // The manager cannot be opened without the library.
  link_->SourceManagerLoaded = true;
  EXPECT_FALSE(link_->SourceManagerLoaded);
  EXPECT_FALSE(link_->OpenSourceManager());
  EXPECT_TRUE(script_->Calls().empty());
}

TEST_F(LinkTest, TheScanButtonsOrderListsTheSourcesOnTheHiddenWindow) {
  ASSERT_TRUE(link_->CloseTwainLibrary());  // nothing loaded yet: done
  Load();
  ASSERT_EQ(link_->SourceCount, 2);
  EXPECT_EQ(link_->SourceCount, 2);  // listed once
  EXPECT_EQ(Calls(), (std::vector<std::string>{"PARENT/OPENDSM", "IDENTITY/GETFIRST", "IDENTITY/GETNEXT",
                                               "IDENTITY/GETNEXT"}));
  const auto open = CallsOf(DAT_PARENT, MSG_OPENDSM);
  EXPECT_EQ(HwndOf(open[0]), link_->GetVirtualWindow());
  EXPECT_NE(link_->AppIdentity()->Id, 0u);  // given by the manager
  EXPECT_EQ(open[0].originId, 0u);
  for (int i = 0; i < 2; ++i) {
    TTwainSource* s = link_->GetSource(i);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Index, i);
    EXPECT_EQ(s->TransferMode, ttmMemory);
    EXPECT_EQ(s->GetOwner(), link_.get());
    EXPECT_FALSE(s->Loaded);
  }
  EXPECT_EQ(link_->GetSource(0)->ProductName(), "Scanner A");
  EXPECT_EQ(link_->GetSource(1)->ProductName(), "Camera B");
  EXPECT_EQ(link_->GetSource(1)->Manufacturer(), "Quarvel tests");
  EXPECT_EQ(link_->GetSource(2), nullptr);
  EXPECT_EQ(link_->GetSource(-2), nullptr);
  link_->SourceCount = 7;  // stored by form resources, read by nobody
  EXPECT_EQ(link_->SourceCount, 2);

  // The next press starts from a fresh load.
  script_->ClearCalls();
  ASSERT_TRUE(link_->CloseTwainLibrary());
  EXPECT_EQ(Calls(), (std::vector<std::string>{"PARENT/CLOSEDSM"}));
  EXPECT_FALSE(link_->LibraryLoaded);
  EXPECT_FALSE(link_->SourceManagerLoaded);
  EXPECT_EQ(link_->GetLibraryHandle(), nullptr);
  EXPECT_EQ(link_->SourceCount, 0);
  Load();
  EXPECT_EQ(link_->SourceCount, 2);
}

TEST_F(LinkTest, TheDefaultSourceIsFoundByItsWholeRecord) {
  Load();
  script_->SetDefaultSource(1);
  EXPECT_EQ(link_->GetSource(-1), link_->GetSource(1));
  EXPECT_EQ(link_->GetDefaultSourceIndex(), 1);
  // The manager cannot name one: the first source.
  script_->SetDefaultSource(-1);
  EXPECT_EQ(link_->GetDefaultSourceIndex(), 0);
  EXPECT_EQ(link_->GetSource(-1), link_->GetSource(0));
  // It names one that is not listed.
  twain_script::Override other = Answer(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, TWRC_SUCCESS);
  other.patches = {{offsetof(TW_IDENTITY, ProductName), {'Z', 0}}};
  script_->AddOverride(other);
  EXPECT_EQ(link_->GetSource(-1), nullptr);
  EXPECT_EQ(link_->FindSource(*link_->GetSource(1)->Record()), 1);
}

TEST_F(LinkTest, OnlyTheFirst256OfManySourcesAreReachable) {
  std::vector<twain_script::Source> many(300);
  for (size_t i = 0; i < many.size(); ++i) many[i].product = "Source " + std::to_string(i);
  script_->SetSources(many);
  Load();
  EXPECT_EQ(link_->SourceCount, 300);
  ASSERT_NE(link_->GetSource(255), nullptr);
  EXPECT_EQ(link_->GetSource(255)->ProductName(), "Source 255");
  EXPECT_EQ(link_->GetSource(255)->Index, 255);
  EXPECT_EQ(link_->GetSource(256), nullptr);
  EXPECT_EQ(link_->GetSource(299), nullptr);
  script_->SetDefaultSource(299);
  EXPECT_EQ(link_->GetDefaultSourceIndex(), 299);
  EXPECT_EQ(link_->GetSource(-1), nullptr);
}

TEST_F(LinkTest, AManagerThatNeverEndsItsListIsListedUpToALimit) {
  twain_script::Override endless = Answer(DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, TWRC_SUCCESS);
  script_->AddOverride(endless);
  Load();
  EXPECT_EQ(link_->SourceCount, 1024);
}

TEST_F(LinkTest, RefusedManagerCallsAreResults) {
  // Opening refused: no manager, no sources.
  script_->AddOverride(Answer(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, TWRC_FAILURE));
  ASSERT_TRUE(link_->OpenTwainLibrary());
  link_->SourceManagerLoaded = true;
  EXPECT_FALSE(link_->SourceManagerLoaded);
  EXPECT_EQ(link_->SourceCount, 0);
  EXPECT_EQ(link_->GetSource(0), nullptr);
  script_->Reset();
  script_->SetSources({twain_script::Source{}});

  // Listing refused: an empty list, marked listed.
  twain_script::Override first = Answer(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, TWRC_FAILURE);
  first.times = 1;
  script_->AddOverride(first);
  link_->SourceManagerLoaded = true;
  ASSERT_TRUE(link_->SourceManagerLoaded);
  EXPECT_EQ(link_->SourceCount, 0);
  EXPECT_TRUE(link_->GetSourcesEnumerated());
  EXPECT_TRUE(CallsOf(DAT_IDENTITY, MSG_GETNEXT).empty());
  ASSERT_TRUE(link_->EnumerateSources());
  EXPECT_EQ(link_->SourceCount, 1);

  // Closing refused: the sources are gone all the same, the manager stays.
  script_->AddOverride(Answer(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, TWRC_FAILURE));
  EXPECT_FALSE(link_->CloseSourceManager());
  EXPECT_TRUE(link_->SourceManagerLoaded);
  EXPECT_FALSE(link_->GetSourcesEnumerated());
}

TEST_F(LinkTest, ALibraryFreedAfterARefusedCloseLeavesNoManagerBehind) {
  Load();
  Open(0);
  EXPECT_EQ(link_->GetOpenSourceCount(), 1);
  script_->AddOverride(Answer(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, TWRC_FAILURE));
  script_->AddOverride(Answer(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, TWRC_FAILURE));
  ASSERT_TRUE(link_->CloseTwainLibrary());
  EXPECT_FALSE(link_->LibraryLoaded);
  EXPECT_FALSE(link_->SourceManagerLoaded);
  EXPECT_EQ(link_->GetOpenSourceCount(), 0);
  EXPECT_EQ(link_->AppIdentity()->Id, 0u);

  // The next load opens the manager again, as a new application (the test
  // holds this manager, so it is the same one, still knowing the old).
  script_->ClearCalls();
  Load();
  const auto open = CallsOf(DAT_PARENT, MSG_OPENDSM);
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].rc, TWRC_SUCCESS);
  EXPECT_EQ(link_->SourceCount, 2);
}

TEST_F(LinkTest, LibrariesThatCannotServeAreNotLoaded) {
  // Each in a folder of its own: a library once loaded stays known by its path.
  const std::string drives = std::string(getenv("QUARVEL_DRIVES"));
  std::filesystem::remove(twaintest::CurrentFolder() + "libtwain_32.so");
  struct Case {
    const char* what;
    std::string file;  // empty: none anywhere
    std::string folder;
  } cases[] = {
      {"no entry point", twaintest::BuildFolder() + "twain_variants/no_entry/libtwain_32.so", drives + "/C/WINDOWS"},
      {"no library", twaintest::BuildFolder() + "twain_variants/broken/libtwain_32.so",
       drives + "/C/WINDOWS/system32"},
      {"no file", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(drives + "/C/WINDOWS");
    if (!c.file.empty()) twaintest::Install(c.file, c.folder);
    TTwainLink link(nullptr);
    EXPECT_FALSE(link.OpenTwainLibrary());
    EXPECT_FALSE(link.LibraryLoaded);
    EXPECT_EQ(link.GetLibraryHandle(), nullptr);
    link.LibraryLoaded = true;
    EXPECT_FALSE(link.LibraryLoaded);
  }
}

TEST_F(LinkTest, TheLibraryInTheWindowsFolderComesFirst) {
  // Another scripted manager there: loading the component's goes to it.
  const std::string windows = std::string(getenv("QUARVEL_DRIVES")) + "/C/WINDOWS";
  twaintest::Install(twaintest::ScriptFile(), windows, "TWAIN_32.DLL");
  ASSERT_TRUE(link_->OpenTwainLibrary());
  link_->SourceManagerLoaded = true;
  EXPECT_EQ(link_->SourceCount, 0);  // that manager has no sources
  EXPECT_TRUE(script_->Calls().empty());
  link_->LibraryLoaded = false;
  std::filesystem::remove(windows + "/TWAIN_32.DLL");
  link_->LibraryLoaded = true;
  link_->SourceManagerLoaded = true;
  EXPECT_EQ(link_->SourceCount, 2);
}

TEST_F(LinkTest, TheHiddenWindowLivesAsLongAsItsComponent) {
  const HWND h = link_->GetVirtualWindow();
  ASSERT_NE(h, 0u);
  EXPECT_EQ(FindWindow("TWAINLINK_VIRTUALWINDOW", nullptr), h);
  // Messages while no source is open get default processing: no call.
  Load();
  EXPECT_EQ(SendMessage(h, WM_USER + 5, 1, 2), 0);
  ASSERT_TRUE(PostMessage(h, WM_USER + 6, 1, 2));
  test::Pump(50);
  EXPECT_TRUE(CallsOf(DAT_EVENT, MSG_PROCESSEVENT).empty());
  link_.reset();
  EXPECT_EQ(FindWindow("TWAINLINK_VIRTUALWINDOW", nullptr), 0u);
  const auto hidden = win::HiddenWindows();
  EXPECT_EQ(std::find(hidden.begin(), hidden.end(), h), hidden.end());
}

TEST_F(LinkTest, DestroyingTheComponentClosesEverything) {
  Load();
  TTwainSource* s = Open(0);
  s->SwitchedOn = true;
  script_->ClearCalls();
  link_.reset();
  EXPECT_EQ(Calls(), (std::vector<std::string>{"USERINTERFACE/DISABLEDS", "IDENTITY/CLOSEDS", "PARENT/CLOSEDSM"}));
}

TEST_F(LinkTest, AComponentIsFreedWithItsOwner) {
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* link = new TTwainLink(owner.get());
  ASSERT_TRUE(link->OpenTwainLibrary());
  link->SourceManagerLoaded = true;
  owner.reset();
  EXPECT_EQ(CallsOf(DAT_PARENT, MSG_CLOSEDSM).size(), 1u);
}
