// The component with the real source manager over SANE's test backend, in
// the order the scan dialog uses it: the picture that arrives is the one
// scanimage reads from the same device.
#include "tests/ppm.h"
#include "tests/twain/twain_test.h"

#include <cstdio>
#include <fstream>

namespace {

using test::Ppm;

class SaneScan : public ::testing::TestWithParam<TTwainTransferMode> {
 protected:
  void SetUp() override {
    test::App();
    std::ofstream(std::string(getenv("SANE_CONFIG_DIR")) + "/test.conf") << "test-picture \"Color pattern\"\nmode Color\n";
    twaintest::Install(std::string(getenv("QUARVEL_BIN")) + "/libtwain_32.so", twaintest::CurrentFolder());
  }
};

}  // namespace

TEST_P(SaneScan, TheScanDialogsOrderBringsTheTestScannersPicture) {
  TTwainLink link(nullptr);
  link.TransferMode = GetParam();
  std::vector<gdi::Bitmap> images;
  int disabled = 0;
  link.OnTwainAcquire = [&](TObject*, int, TBitmap* image, bool&) { images.push_back(image->Pixels()); };
  link.OnSourceDisable = [&](TObject*, int) { ++disabled; };

  ASSERT_TRUE(link.CloseTwainLibrary());
  ASSERT_TRUE(link.OpenTwainLibrary());
  link.SourceManagerLoaded = true;
  ASSERT_GE(link.SourceCount, 1);
  TTwainSource* s = link.GetSource(0);
  EXPECT_EQ(s->ProductName(), "frontend-tester");
  EXPECT_EQ(s->VersionInfo(), "test:0");
  s->ModalUI = true;
  s->ShowUI = false;
  s->Loaded = true;
  EXPECT_EQ(s->SetXResolution(150), CapOk);
  EXPECT_EQ(s->SetYResolution(150), CapOk);
  s->SwitchedOn = true;
  ASSERT_TRUE(test::WaitFor([&] { return disabled == 1; }, 60000));
  ASSERT_EQ(images.size(), 1u);

  const Ppm want = Ppm::Parse(test::Scanimage("-d test:0 --resolution 150 --mode Color"));
  ASSERT_GT(want.width, 0);
  ASSERT_EQ(images[0].Width(), want.width);
  ASSERT_EQ(images[0].Height(), want.height);
  for (int y = 0; y < want.height; y += 7)
    for (int x = 0; x < want.width; x += 5) ASSERT_EQ(images[0].GetPixel(x, y), want.At(x, y)) << x << "," << y;

  // The next scan button press closes it all, and loads again.
  ASSERT_TRUE(link.CloseTwainLibrary());
  EXPECT_EQ(link.GetOpenSourceCount(), 0);
  ASSERT_TRUE(link.OpenTwainLibrary());
  link.SourceManagerLoaded = true;
  EXPECT_GE(link.SourceCount, 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, SaneScan, ::testing::Values(ttmNative, ttmMemory),
                         [](const auto& info) { return info.param == ttmNative ? "Native" : "Memory"; });

// The scanner cancels the scan itself: the component's cancel path runs and
// the source is switched off, in every transfer mode. (Each mode in a
// process of its own: see the CMake file.)
class SaneScannerCancels : public SaneScan {};

TEST_P(SaneScannerCancels, AndTheTransferEndsCancelled) {
  std::ofstream(std::string(getenv("SANE_CONFIG_DIR")) + "/test.conf") << "read-status-code \"SANE_STATUS_CANCELLED\"\n";
  TTwainLink link(nullptr);
  link.TransferMode = GetParam();
  int cancelled = 0, disabled = 0, errors = 0, images = 0;
  link.OnAcquireCancel = [&](TObject*, int) { ++cancelled; };
  link.OnSourceDisable = [&](TObject*, int) { ++disabled; };
  link.OnAcquireError = [&](TObject*, int, int, int) { ++errors; };
  link.OnTwainAcquire = [&](TObject*, int, TBitmap*, bool&) { ++images; };
  ASSERT_TRUE(link.OpenTwainLibrary());
  link.SourceManagerLoaded = true;
  ASSERT_GE(link.SourceCount, 1);
  TTwainSource* s = link.GetSource(0);
  s->ShowUI = false;
  s->Loaded = true;
  s->SwitchedOn = true;
  ASSERT_TRUE(test::WaitFor([&] { return disabled == 1; }, 60000));
  EXPECT_EQ(cancelled, 1);
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(images, 0);
  EXPECT_FALSE(s->SwitchedOn());
  EXPECT_TRUE(link.CloseTwainLibrary());
}

INSTANTIATE_TEST_SUITE_P(Modes, SaneScannerCancels, ::testing::Values(ttmNative, ttmMemory, ttmFile),
                         [](const auto& info) {
                           return info.param == ttmNative ? "Native" : info.param == ttmMemory ? "Memory" : "File";
                         });
