// Shared by the component's tests: the scripted source manager put where the
// component finds it (the current folder) with its control, the call log as
// short texts, a component with its events recorded, pictures.
#pragma once
#include "platform/twain_dsm/script.h"
#include "platform/win/module.h"
#include "tests/platform/twain_dsm/script_sources.h"
#include "tests/platform/vcl/vcl_test.h"
#include "twain/twain_link.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace twaintest {

inline std::string BuildFolder() { return std::string(getenv("QUARVEL_BIN")) + "/../"; }
inline std::string ScriptFile() { return BuildFolder() + "twain_script/libtwain_32.so"; }
inline std::string CurrentFolder() { return std::filesystem::current_path().string() + "/"; }

// A copy of `library` as `folder`/`name`, folders made as needed; put in
// place by a rename, so that a copy still loaded is never overwritten.
inline void Install(const std::string& library, const std::string& folder,
                    const std::string& name = "libtwain_32.so") {
  std::filesystem::create_directories(folder);
  const std::string target = folder + "/" + name;
  std::filesystem::copy_file(library, target + ".new", std::filesystem::copy_options::overwrite_existing);
  std::filesystem::rename(target + ".new", target);
}

// "DAT/MSG" of a call, the way the tests read sequences.
inline std::string Name(const twain_script::Call& c) {
  static const std::map<TW_UINT16, const char*> dats = {
      {DAT_CAPABILITY, "CAPABILITY"},   {DAT_EVENT, "EVENT"},
      {DAT_IDENTITY, "IDENTITY"},       {DAT_PARENT, "PARENT"},
      {DAT_PENDINGXFERS, "PENDINGXFERS"}, {DAT_SETUPMEMXFER, "SETUPMEMXFER"},
      {DAT_SETUPFILEXFER, "SETUPFILEXFER"}, {DAT_STATUS, "STATUS"},
      {DAT_USERINTERFACE, "USERINTERFACE"}, {DAT_IMAGEINFO, "IMAGEINFO"},
      {DAT_IMAGEMEMXFER, "IMAGEMEMXFER"}, {DAT_IMAGENATIVEXFER, "IMAGENATIVEXFER"},
      {DAT_IMAGEFILEXFER, "IMAGEFILEXFER"}, {DAT_PALETTE8, "PALETTE8"}};
  static const std::map<TW_UINT16, const char*> msgs = {
      {MSG_GET, "GET"},           {MSG_GETCURRENT, "GETCURRENT"}, {MSG_GETDEFAULT, "GETDEFAULT"},
      {MSG_GETFIRST, "GETFIRST"}, {MSG_GETNEXT, "GETNEXT"},       {MSG_SET, "SET"},
      {MSG_RESET, "RESET"},       {MSG_OPENDSM, "OPENDSM"},       {MSG_CLOSEDSM, "CLOSEDSM"},
      {MSG_OPENDS, "OPENDS"},     {MSG_CLOSEDS, "CLOSEDS"},       {MSG_DISABLEDS, "DISABLEDS"},
      {MSG_ENABLEDS, "ENABLEDS"}, {MSG_PROCESSEVENT, "PROCESSEVENT"}, {MSG_ENDXFER, "ENDXFER"}};
  auto d = dats.find(c.dat);
  auto m = msgs.find(c.msg);
  return std::string(d == dats.end() ? "?" : d->second) + "/" + (m == msgs.end() ? "?" : m->second);
}

// A 24-bit picture whose every pixel tells where it is: red x * 40, green
// y * 40, blue 200.
inline twain_dsm::Picture Rgb(int w, int h) {
  twain_dsm::Picture p;
  p.Allocate(w, h, TWPT_RGB);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* px = p.Row(y) + 3 * x;
      px[0] = uint8_t(x * 40), px[1] = uint8_t(y * 40), px[2] = 200;
    }
  return p;
}

using scripttest::Grey;

using scripttest::Answer;

// The scripted manager in the current folder, loaded by the test as well so
// that it is the instance the component loads, with "Scanner A" (two grey
// pictures, ready when enabled) and "Camera B" (ready when told).
class TwainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    Install(ScriptFile(), CurrentFolder());
    module_ = LoadLibrary((CurrentFolder() + "libtwain_32.so").c_str());
    ASSERT_NE(module_, nullptr);
    auto control = reinterpret_cast<TwainScriptControlProc>(GetProcAddress(module_, "TwainScriptControl"));
    ASSERT_NE(control, nullptr);
    script_ = control();
    script_->Reset();
    script_->SetSources(scripttest::ScannerAndCamera());
    link_ = std::make_unique<TTwainLink>(nullptr);
    Record();
  }
  void TearDown() override {
    link_.reset();
    if (script_) script_->Reset();
    if (module_) FreeLibrary(module_);
  }

  // Library and manager, as the scan button loads them.
  void Load() {
    ASSERT_TRUE(link_->OpenTwainLibrary());
    link_->SourceManagerLoaded = true;
    ASSERT_TRUE(link_->SourceManagerLoaded);
  }
  // Source i open, as the scan dialog opens it (not yet switched on).
  TTwainSource* Open(int i) {
    TTwainSource* s = link_->GetSource(i);
    EXPECT_NE(s, nullptr);
    if (!s) return nullptr;
    s->ModalUI = true;
    s->ShowUI = false;
    s->Loaded = true;
    EXPECT_TRUE(s->Loaded);
    return s;
  }

  // Every event of the component as "Name Sender Index ...".
  void Record() {
    auto who = [this](TObject* sender) {
      return sender == link_.get() ? std::string("link") : dynamic_cast<TTwainSource*>(sender) ? "source" : "?";
    };
    link_->OnSourceDisable = [=](TObject* s, int i) { events_.push_back("disable " + who(s) + " " + std::to_string(i)); };
    link_->OnAcquireCancel = [=](TObject* s, int i) { events_.push_back("cancel " + who(s) + " " + std::to_string(i)); };
    link_->OnSourceSetupFileXfer = [=](TObject* s, int i) {
      events_.push_back("setupfile " + who(s) + " " + std::to_string(i));
    };
    link_->OnAcquireError = [=](TObject* s, int i, int code, int more) {
      events_.push_back("error " + who(s) + " " + std::to_string(i) + " " + std::to_string(code) + " " +
                        std::to_string(more));
    };
    link_->OnTwainAcquire = [=](TObject* s, int i, TBitmap* image, bool& cancel) {
      events_.push_back("acquire " + who(s) + " " + std::to_string(i));
      images_.push_back(image->Pixels());
      if (cancelAt_ == int(images_.size())) cancel = true;
    };
  }
  // Calls of the log as names, without the status requests the component
  // makes to learn a condition.
  std::vector<std::string> Calls() const {
    std::vector<std::string> out;
    for (const auto& c : script_->Calls())
      if (c.dat != DAT_STATUS) out.push_back(Name(c));
    return out;
  }
  std::vector<twain_script::Call> CallsOf(TW_UINT16 dat, TW_UINT16 msg) const {
    std::vector<twain_script::Call> out;
    for (const auto& c : script_->Calls())
      if (c.dat == dat && c.msg == msg) out.push_back(c);
    return out;
  }
  // Lets posted messages reach the hidden window until `done` holds.
  static bool Until(const std::function<bool()>& done) { return test::WaitFor(done, 20000); }

  HMODULE module_ = nullptr;
  twain_script::Control* script_ = nullptr;
  std::unique_ptr<TTwainLink> link_;
  std::vector<std::string> events_;
  std::vector<gdi::Bitmap> images_;
  int cancelAt_ = 0;  // the acquire handler sets Cancel on this image (1 = the first)
};

}  // namespace twaintest
