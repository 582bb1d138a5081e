// The scan dialog end to end: the real source manager (libtwain_32.so in the
// current folder, where the component finds it) over SANE's test backend,
// inside the test program with the forms the program's own start-up makes.
// The dialog is worked with real X input while it is modal; the picture that
// arrives is compared with the one scanimage reads from the same device.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "board/scan.h"
#include "platform/text/gbk.h"
#include "tests/board/board_test.h"
#include "tests/board/modal_script.h"
#include "tests/ppm.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

const int W = 1024, H = 768;

std::string Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

std::string Here() { return std::filesystem::current_path().string() + "/"; }

// The message boxes shown, "caption<TAB>text" a line (the log is UTF-8).
std::string Boxes() { return gbk::FromUtf8(Read("boxes.log")); }

// The source manager where the component looks for it (put in place by a
// rename: a copy still loaded is never overwritten), or none.
void InstallManager() {
  std::filesystem::copy_file(std::string(getenv("QUARVEL_BIN")) + "/libtwain_32.so", Here() + "libtwain_32.so.new",
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::rename(Here() + "libtwain_32.so.new", Here() + "libtwain_32.so");
}
void RemoveManager() { std::filesystem::remove(Here() + "libtwain_32.so"); }

// SANE's test backend with this many virtual scanners (none: no backend at
// all), in colour, showing its grid of 10 mm squares. The manager reads the
// configuration each time it opens.
void Scanners(int count) {
  const std::string dir = getenv("SANE_CONFIG_DIR");
  std::ofstream(dir + "/dll.conf") << (count > 0 ? "test\n" : "");
  std::ofstream(dir + "/test.conf") << "number_of_devices " << count << "\nmode Color\ntest-picture \"Grid\"\n";
}

using test::Ppm;

// What the test scanner gives at 150 dpi.
const Ppm& Reference() {
  static const Ppm p = Ppm::Parse(
      test::Scanimage("-d test:0 --resolution 150 --mode Color --test-picture Grid"));
  return p;
}

bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) < 40 && std::abs(GetGValue(a) - GetGValue(b)) < 40 &&
         std::abs(GetBValue(a) - GetBValue(b)) < 40;
}

bool Up(TForm* f) { return f->isVisible() && f->windowHandle() && f->windowHandle()->isExposed(); }

int RoundEven(double v) { return int(std::nearbyint(v)); }

class Scan : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QUARVEL_MSGBOX_LOG", "boxes.log", 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
    InstallManager();
    ASSERT_TRUE(BoardUp());
    // The scratch files go to a program folder of this test's own.
    std::filesystem::create_directories(Here() + "prog");
    Form3->ProgramFolder = Here() + "prog/";
    // Every picture that arrives, as the component hands it over.
    auto handler = Form11->TwainLink1->OnTwainAcquire;
    Form11->TwainLink1->OnTwainAcquire = [handler](TObject* s, const int i, TBitmap* image, bool& cancel) {
      Acquired().push_back(image->Pixels());
      handler(s, i, image, cancel);
    };
  }
  void SetUp() override {
    Scanners(2);
    InstallManager();
    std::ofstream("answers") << "OK\nOK\n";
    std::filesystem::remove("boxes.log");
    Form3->PlainCommit();
    Form11->RadioButton1->Checked = true;
    Acquired().clear();
  }

  static std::vector<gdi::Bitmap>& Acquired() {
    static std::vector<gdi::Bitmap> images;
    return images;
  }

  // The board's scan button, with the dialog worked by `steps` while it is
  // modal; the press returns once the dialog has closed.
  static void PressScan(std::vector<ModalScript::Step> steps, ModalScript** script = nullptr) {
    ModalScript s({Form11}, std::move(steps));
    if (script) *script = &s;
    Form3->SpeedButton34Click(Form3->SpeedButton34);
    ASSERT_TRUE(WaitFor([&] { return s.Finished() || !s.Stuck().empty(); })) << "script";
    ASSERT_EQ(s.Stuck(), "");
  }

  static std::vector<std::string> Rows() {
    std::vector<std::string> out;
    for (int i = 0; i < Form11->ListBox1->Items->Count; ++i) out.push_back((*Form11->ListBox1->Items)[i]);
    return out;
  }
};

TEST_F(Scan, ListsTheTestScannersAndBringsOnePageScaledToTheScreenWidthAnd50) {
  const Ppm& want = Reference();
  ASSERT_GT(want.width, 0) << "scanimage";
  std::vector<std::string> rows;
  int selected = -2;
  TRect place;
  // The text panel open: 确定 closes it as its own close button does.
  Form3->SpeedButton18Click(Form3->SpeedButton18);
  ASSERT_TRUE(Form3->Panel4->Visible());
  ModalScript* script = nullptr;
  PressScan({{[] { return Up(Form11); },
              [&] {
                rows = Rows();
                selected = Form11->ListBox1->ItemIndex;
                place = Rect(Form11->Left, Form11->Top, Form11->Left + Form11->Width, Form11->Top + Form11->Height);
                script->Input(ClickOn(Form11->BitBtn1));
              }}},
            &script);
  EXPECT_EQ(rows, (std::vector<std::string>{"frontend-tester", "frontend-tester"}));
  EXPECT_EQ(selected, 0);
  // Borderless, in the middle of the screen.
  EXPECT_EQ(place, Rect((W - 335) / 2, (H - 208) / 2, (W + 335) / 2, (H + 208) / 2));
  EXPECT_FALSE(Form11->isVisible());
  EXPECT_FALSE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->PanelKind(Form3->CurrentPage), 0);
  ASSERT_TRUE(WaitFor([] { return Form3->Image2->Visible(); }, 60000));

  // At 150 dpi: the picture scanimage reads at that resolution.
  ASSERT_EQ(Acquired().size(), 1u);
  EXPECT_EQ(Acquired()[0].Width(), want.width);
  EXPECT_EQ(Acquired()[0].Height(), want.height);

  // One page: screen width + 50 across, the screen's height down, 5 pixels
  // left of the screen and below the tool strip.
  const float scale = float(W + 50) / float(want.width);
  ASSERT_GT(want.height * scale, H);
  TImage* picture = Form3->Image2;
  EXPECT_EQ(picture->Left, -5);
  EXPECT_EQ(picture->Top, 35);
  EXPECT_EQ(picture->Width, RoundEven(double(want.width) * scale));
  EXPECT_EQ(picture->Height, H);
  EXPECT_EQ(picture->Tag, 0);
  EXPECT_EQ(Form3->PageState[2], 0);
  EXPECT_EQ(Shell("identify -format '%w %h' '" + Form3->ProgramFolder + "tmp.bmt'"),
            std::to_string(picture->Width) + " " + std::to_string(H));

  // The grid where it belongs: points well inside a square of the scan show
  // that square's colour at the scaled place.
  const gdi::Bitmap& shown = picture->Picture->Bitmap->Pixels();
  int checked = 0;
  for (int y = 4; y < H - 4; y += 23)
    for (int x = 4; x < picture->Width - 4; x += 29) {
      const int sx = int(x / scale), sy = int(y / scale);
      if (!want.Flat(sx, sy, 3)) continue;
      ++checked;
      ASSERT_TRUE(Near(shown.GetPixel(x, y), want.At(sx, sy))) << x << "," << y;
    }
  EXPECT_GT(checked, 200);
}

TEST_F(Scan, TwoPagesContinueOnTheFollowingPageAtTheNextTurn) {
  const Ppm& want = Reference();
  ASSERT_GT(want.width, 0) << "scanimage";
  ModalScript* script = nullptr;
  PressScan({{[] { return Up(Form11); }, [&] { script->Input(ClickOn(Form11->RadioButton2)); }},
             // Enter scans as 确定 does.
             {[] { return Form11->RadioButton2->Checked(); }, [&] { script->Input("key Return"); }}},
            &script);
  ASSERT_TRUE(WaitFor([] { return Form3->Image2->Visible(); }, 60000));

  const float scale = float(W + 50) / float(want.width);
  const int page = Form3->CurrentPage;
  TImage* picture = Form3->Image2;
  EXPECT_EQ(picture->Height, RoundEven(double(want.height) * scale));
  ASSERT_GT(picture->Height, H);
  EXPECT_EQ(picture->Tag, page + 1);
  EXPECT_EQ(Form3->PageState[page + 1], 2);
  // The page the scan lies on has content too, so the turn goes ahead.
  EXPECT_EQ(Form3->PageState[page], 2);

  const gdi::Bitmap scan = picture->Picture->Bitmap->Pixels();
  ASSERT_TRUE(Click(Form3->SpeedButton12, [&] { return Form3->CurrentPage == page + 1; }));
  // The top of the scan went into the page left, without its outer pixels;
  // the rest floats over the new page, its top 90 pixels above the
  // screen's height.
  EXPECT_EQ(PagePixel(page, 300, 300), scan.GetPixel(305, 265));
  EXPECT_TRUE(picture->Visible);
  EXPECT_EQ(picture->Top, 90 - H);
  EXPECT_EQ(picture->Left, -5);
  EXPECT_EQ(picture->Tag, 0);
  EXPECT_EQ(Form3->Edit2->Text(), std::to_string(page + 1));
}

TEST_F(Scan, NoScannerAndNoSourceManagerAreSaidSo) {
  // No device: the dialog comes up with an empty list, and 确定 says so and
  // closes it.
  Scanners(0);
  int rows = -1;
  ModalScript* script = nullptr;
  PressScan({{[] { return Up(Form11); },
              [&] {
                rows = Form11->ListBox1->Items->Count;
                script->Input(ClickOn(Form11->BitBtn1));
              }}},
            &script);
  EXPECT_EQ(rows, 0);
  EXPECT_FALSE(Form11->isVisible());
  EXPECT_NE(Boxes().find("\t未检测到扫描仪和其它视频设备！"), std::string::npos) << Boxes();
  EXPECT_FALSE(Form3->Image2->Visible);

  // No manager: the scan button says so and shows no dialog (one that came
  // up all the same is closed, so that the test goes on).
  RemoveManager();
  ASSERT_FALSE(std::filesystem::exists(std::filesystem::read_symlink("/proc/self/exe").parent_path() /
                                       "libtwain_32.so"))
      << "a manager beside the test program is found there";
  ModalScript guard({Form11}, {{[] { return Up(Form11); }, [] { Form11->ModalResult = mrCancel; }}});
  Form3->SpeedButton34Click(Form3->SpeedButton34);
  EXPECT_FALSE(guard.Finished()) << "the dialog came up";
  EXPECT_FALSE(Form11->TwainLink1->LibraryLoaded);
  EXPECT_NE(Boxes().find("\t扫描驱动程序出错！"), std::string::npos) << Boxes();
}

TEST_F(Scan, EveryPressLoadsTheManagerAfreshAndCancelUnloadsIt) {
  // 确定 without a source leaves the library loaded; the next press still
  // opens the manager anew, which reads the configuration again: three
  // scanners now. 取消 unloads it, and the press after that loads it again.
  Scanners(0);
  ModalScript* script = nullptr;
  PressScan({{[] { return Up(Form11); }, [&] { script->Input(ClickOn(Form11->BitBtn1)); }}}, &script);
  EXPECT_TRUE(Form11->TwainLink1->LibraryLoaded);

  Scanners(3);
  // The first press comes after 确定, the second after 取消.
  for (int press = 1; press <= 2; ++press) {
    SCOPED_TRACE(press);
    std::vector<std::string> rows;
    bool loadedInDialog = false;
    PressScan({{[] { return Up(Form11); },
                [&] {
                  rows = Rows();
                  loadedInDialog = Form11->TwainLink1->LibraryLoaded && Form11->TwainLink1->SourceManagerLoaded;
                  script->Input(ClickOn(Form11->BitBtn2));
                }}},
              &script);
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_TRUE(loadedInDialog);
    EXPECT_FALSE(Form11->TwainLink1->LibraryLoaded);
    EXPECT_FALSE(Form11->isVisible());
  }
  EXPECT_FALSE(Form3->Image2->Visible);
  EXPECT_TRUE(Acquired().empty());
  // The one box is the first dialog's.
  const std::string boxes = Boxes();
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), '\n'), 1) << boxes;
  EXPECT_NE(boxes.find("\t未检测到扫描仪和其它视频设备！\n"), std::string::npos) << boxes;
}

}  // namespace
