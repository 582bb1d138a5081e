// The scan's acquire handler with pictures of known sizes and colours, as
// the TWAIN component hands them over, inside the test program with the
// forms the program's own start-up makes: where the floating picture lands,
// how large, what it shows, which pages owe the rest of a tall scan, and
// what becomes of a floating picture and zoom state found in its way.
#include <cstdlib>
#include <filesystem>

#include "board/scan.h"
#include "tests/board/board_test.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

const int W = 1024, H = 768;
const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0);

std::string Here() { return std::filesystem::current_path().string() + "/"; }

// A scan in four quarters: red and green above, blue and yellow below.
std::unique_ptr<TBitmap> Quarters(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w, h);
  TCanvas* c = b->Canvas;
  const struct {
    TRect r;
    COLORREF colour;
  } parts[] = {{Rect(0, 0, w / 2, h / 2), kRed},
               {Rect(w / 2, 0, w, h / 2), kGreen},
               {Rect(0, h / 2, w / 2, h), kBlue},
               {Rect(w / 2, h / 2, w, h), kYellow}};
  for (const auto& p : parts) {
    c->Brush->Color = TColor(p.colour);
    c->FillRect(p.r);
  }
  return b;
}

// The component's call: the picture lives only during it.
void Arrives(std::unique_ptr<TBitmap> image, bool onePage) {
  Form11->RadioButton1->Checked = onePage;
  Form11->RadioButton2->Checked = !onePage;
  bool cancel = false;
  Form11->TwainLink1TwainAcquire(Form11->TwainLink1, 0, image.get(), cancel);
  EXPECT_FALSE(cancel);
}

COLORREF Shown(int x, int y) { return Form3->Image2->Picture->Bitmap->Pixels().GetPixel(x, y); }

class ScanPicture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartUp();
    std::filesystem::create_directories(Here() + "prog");
    Form3->ProgramFolder = Here() + "prog/";
  }
  void SetUp() override {
    Form3->Image2->Visible = false;
    Form3->Image2->Tag = 0;
    Form3->CurrentPage = 1;
    for (int& s : Form3->PageState) s = 0;
    std::filesystem::remove_all(Here() + "prog/tmp.bmt");
  }
};

TEST_F(ScanPicture, TheComponentSpeaksAsTheFormDescriptionSays) {
  TTwainLink* link = Form11->TwainLink1;
  EXPECT_EQ(link->TransferMode, ttmNative);
  EXPECT_FALSE(link->LibraryLoaded);
  const TW_IDENTITY* id = link->AppIdentity();
  EXPECT_EQ(id->Version.MajorNum, 1);
  EXPECT_EQ(id->Version.MinorNum, 0);
  EXPECT_EQ(id->Version.Language, 0);
  EXPECT_EQ(id->Version.Country, 1);
  EXPECT_STREQ(id->Version.Info, "Application name");
  EXPECT_EQ(id->ProtocolMajor, 1);
  EXPECT_EQ(id->ProtocolMinor, 9);
  // "+" compares a copy: a field of a packed structure may be misaligned for a reference.
  EXPECT_EQ(+id->SupportedGroups, TW_UINT32(DG_CONTROL | DG_IMAGE));
  EXPECT_STREQ(id->Manufacturer, "Application manufacturer");
  EXPECT_STREQ(id->ProductFamily, "App product family");
  EXPECT_STREQ(id->ProductName, "App product name");
  // The dialog as it comes up: one page chosen.
  EXPECT_TRUE(Form11->RadioButton1->Checked);
  EXPECT_FALSE(Form11->RadioButton2->Checked);
  EXPECT_EQ(Form11->FormStyle(), fsStayOnTop);
  EXPECT_EQ(Form11->ClientWidth, 335);
  EXPECT_EQ(Form11->ClientHeight, 208);
  EXPECT_EQ(Form11->ListBox1->ItemHeight, 12);
  // Both buttons close the dialog whatever their click did.
  for (TBitBtn* b : {Form11->BitBtn1, Form11->BitBtn2}) {
    EXPECT_EQ(b->ModalResult, mrOk);
    EXPECT_TRUE(b->Default);
  }
}

TEST_F(ScanPicture, ScaledToTheScreenWidthAnd50OnePageOrTheWholeScan) {
  const struct {
    int w, h;
    bool onePage;
    int shownWidth, shownHeight;
    bool tall;
  } cases[] = {
      // Scale 1074 / 2000: one page is the top of the scan that fills the
      // screen, two pages the whole of it, taller than the screen.
      {2000, 3000, true, 1074, 768, false},
      {2000, 3000, false, 1074, 1611, true},
      // A scan shorter than the screen keeps its own height (1074 x 716)
      // rather than a black band below it.
      {3000, 2000, true, 1074, 716, false},
      {3000, 2000, false, 1074, 716, false},
      // A narrow scan is enlarged: 1074 / 500 = 2.148.
      {500, 300, true, 1074, 644, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + (c.onePage ? " one page" : " two pages"));
    SetUp();
    Arrives(Quarters(c.w, c.h), c.onePage);
    TImage* picture = Form3->Image2;
    ASSERT_TRUE(picture->Visible);
    EXPECT_EQ(picture->Left, -5);
    EXPECT_EQ(picture->Top, 35);
    EXPECT_EQ(picture->Width, c.shownWidth);
    EXPECT_EQ(picture->Height, c.shownHeight);
    EXPECT_EQ(Form3->FloatBitmap->Width, c.shownWidth);
    EXPECT_EQ(Form3->FloatBitmap->Height, c.shownHeight);
    EXPECT_EQ(Form3->FloatIsPicture, 0);

    // The quarters where the scale puts them; one page of a tall scan
    // shows only its upper half.
    const double scale = double(float(W + 50) / float(c.w));
    const int middleX = int(c.w / 2 * scale), middleY = int(c.h / 2 * scale);
    EXPECT_EQ(Shown(3, 3), kRed);
    EXPECT_EQ(Shown(middleX - 4, 3), kRed);
    EXPECT_EQ(Shown(middleX + 4, 3), kGreen);
    EXPECT_EQ(Shown(c.shownWidth - 4, 3), kGreen);
    if (middleY + 4 < c.shownHeight) {
      EXPECT_EQ(Shown(3, middleY - 4), kRed);
      EXPECT_EQ(Shown(3, middleY + 4), kBlue);
      EXPECT_EQ(Shown(middleX - 4, c.shownHeight - 4), kBlue);
      EXPECT_EQ(Shown(middleX + 4, c.shownHeight - 4), kYellow);
    } else {
      EXPECT_EQ(Shown(3, c.shownHeight - 1), kRed);
      EXPECT_EQ(Shown(c.shownWidth - 4, c.shownHeight - 1), kGreen);
    }

    // A tall scan owes its rest to the following page; both pages have
    // content.
    EXPECT_EQ(picture->Tag, c.tall ? 2 : 0);
    EXPECT_EQ(Form3->PageState[1], c.tall ? 2 : 0);
    EXPECT_EQ(Form3->PageState[2], c.tall ? 2 : 0);
    EXPECT_EQ(Shell("identify -format '%m %w %h' '" + Form3->ProgramFolder + "tmp.bmt'"),
              "BMP3 " + std::to_string(c.shownWidth) + " " + std::to_string(c.shownHeight));
  }
}

TEST_F(ScanPicture, AFloatingPictureInTheWayGoesIntoThePageAndLeftoversAreCleared) {
  ASSERT_TRUE(BoardUp());
  // A cut floating at (100, 100): its area on the page is background now.
  TCanvas* screen = Form3->Canvas;
  screen->Brush->Color = TColor(kBlue);
  screen->FillRect(Rect(100, 100, 200, 180));
  StartX = 100, StartY = 100;
  ASSERT_TRUE(Form3->CutSelection(200, 180));
  ASSERT_NE(PagePixel(1, 150, 140), kBlue);
  // Zoom state and a stamp's commit left over from earlier pictures.
  ZoomFactor = 2.25f;
  ZoomImageCached = 1;
  Form3->FloatIsPicture = 1;

  Arrives(Quarters(2000, 3000), true);
  EXPECT_EQ(PagePixel(1, 150, 140), kBlue);
  EXPECT_EQ(Form3->Image2->Left, -5);
  EXPECT_EQ(Form3->Image2->Width, 1074);
  EXPECT_EQ(ZoomFactor, 1.0f);
  EXPECT_EQ(ZoomImageCached, 0);
  EXPECT_EQ(Form3->ZoomImage, nullptr);
  EXPECT_EQ(Form3->FloatIsPicture, 0);
}

TEST_F(ScanPicture, OnlyTheScanJustSavedIsLoaded) {
  // "tmp.bmt" cannot be written (a folder is in its place): the board stays
  // as it was rather than showing an older picture.
  std::filesystem::create_directories(Here() + "prog/tmp.bmt/inside");
  TBitmap* before = Form3->FloatBitmap.get();
  Arrives(Quarters(2000, 3000), false);
  EXPECT_FALSE(Form3->Image2->Visible);
  EXPECT_EQ(Form3->FloatBitmap.get(), before);
  EXPECT_EQ(Form3->Image2->Tag, 0);
  EXPECT_EQ(Form3->PageState[2], 0);

  // And a picture the component could not describe changes nothing either.
  TBitmap empty;
  bool cancel = false;
  std::filesystem::remove_all(Here() + "prog/tmp.bmt");
  Form11->TwainLink1TwainAcquire(Form11->TwainLink1, 0, &empty, cancel);
  Form11->TwainLink1TwainAcquire(Form11->TwainLink1, 0, nullptr, cancel);
  EXPECT_FALSE(Form3->Image2->Visible);
  EXPECT_FALSE(std::filesystem::exists(Here() + "prog/tmp.bmt"));
}

TEST_F(ScanPicture, TheRestOfATallScanIsOwedOnlyWhileItsPictureFloats) {
  // Page 99 has no following page: nothing is marked beyond it.
  Form3->Pages[99] = TForm3::NewPageBitmap();
  Form3->CurrentPage = 99;
  Arrives(Quarters(2000, 3000), false);
  EXPECT_TRUE(Form3->Image2->Visible);
  EXPECT_EQ(Form3->Image2->Height, 1611);
  EXPECT_EQ(Form3->Image2->Tag, 0);
  EXPECT_EQ(Form3->PageState[99], 0);
  Form3->PlainCommit();
  Form3->Pages[99].reset();
  Form3->CurrentPage = 1;

  // A later scan of one page replaces the tall one: no page owes it any
  // more.
  Arrives(Quarters(2000, 3000), false);
  ASSERT_EQ(Form3->Image2->Tag, 2);
  Arrives(Quarters(2000, 3000), true);
  EXPECT_EQ(Form3->Image2->Tag, 0);

  // Nor does a cut that takes the floating picture's place.
  ASSERT_TRUE(BoardUp());
  Arrives(Quarters(2000, 3000), false);
  ASSERT_EQ(Form3->Image2->Tag, 2);
  Form3->PressCommit();
  StartX = 300, StartY = 300;
  ASSERT_TRUE(Form3->CutSelection(360, 350));
  EXPECT_EQ(Form3->Image2->Tag, 0);
  Form3->PressCommit();
}

}  // namespace
