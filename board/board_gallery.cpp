// The picture gallery Panel9 at the left of the board: clip art for physics
// and chemistry, and the teacher's own pictures as thumbnails in one tall
// picture (Image26). Picking an item arms a stamp; the next click on the
// board places it as the floating picture.
#include "board/board.h"
#include "board/lessons.h"
#include "board/picture_import.h"
#include "board/teachers.h"
#include "board/toolbar.h"
#include "platform/fs/inifile.h"
#include "platform/win/msgbox.h"

namespace {

constexpr int kGalleryTop = 40;
constexpr int kTabsHeight = 22;

// Which of the scroll box's three contents shows.
enum class Content { kPhysics, kChemistry, kTeacher };

void ShowContent(TForm3* b, Content c) {
  b->Panel8->Visible = c == Content::kPhysics;
  b->Panel10->Visible = c == Content::kChemistry;
  b->Image26->Visible = c == Content::kTeacher;
}

void ClipArtTab(TForm3* b, Content c) {
  Form13->Hide();
  b->SpeedButton33->Left = b->Panel9->Width - 23;
  ShowContent(b, c);
}

// The teacher's pictures again, from the folder of the teacher's settings.
// Without a folder (none set, or gone) there is nothing to show.
void LoadTeacherPictures() {
  const AnsiString folder = TIniFile(Form6->SettingsFile()).ReadString(Form6->TeacherSection(), "dcu", "");
  if (!folder.empty() && DirectoryExists(folder)) {
    Form12->DirectoryListBox1->Directory = folder;
    Form12->BitBtn2Click(nullptr);
    return;
  }
  Form3->Image26->Height = 0;
  Form12->ListBox1->Items->Clear();
  Form13->Canvas->TextOut(3, 23, "已导入0个文件。  ");
}

}  // namespace

void TForm3::SpeedButton32Click(TObject*) {
  Form1->PaintSource = 0;
  Panel9->SetBounds(Panel9->Left, kGalleryTop, Panel9->Width, Screen->Height - kGalleryTop);
  ScrollBox1->SetBounds(ScrollBox1->Left, kTabsHeight, ScrollBox1->Width, Panel9->Height - 65);
  Form13->Left = 3;
  Form13->Top = ScrollBox1->Height + 62;
  SpeedButton33->Left = Panel9->Width - 23;
  ShowContent(this, Content::kPhysics);
  Panel9->Show();
  // The gallery takes the panel's place: the panel closes as its own close
  // button closes it.
  if (Panel4->Visible) SpeedButton19Click(nullptr);
  GalleryFolder = ProgramFolder + "db\\pic\\";
}

void TForm3::SpeedButton33Click(TObject*) {
  Panel9->Hide();
  Form13->Hide();
}

void TForm3::BitBtn1Click(TObject*) { ClipArtTab(this, Content::kPhysics); }

void TForm3::BitBtn2Click(TObject*) { ClipArtTab(this, Content::kChemistry); }

void TForm3::BitBtn3Click(TObject*) {
  ShowContent(this, Content::kTeacher);
  Form13->Show();
  if (Image26->Tag == 0) {
    // The picture is made at its full height the first time.
    Image26->Height = kThumbnailRows * kThumbnailRow;
    TCanvas* c = Image26->Canvas;
    c->Brush->Color = clWindow;
    c->FillRect(Rect(0, 0, kThumbnailSide, kThumbnailRows * kThumbnailRow));
    Image26->Height = ScrollBox1->Height - 5;
  }
  if (Image26->Tag < 1) {
    LoadTeacherPictures();
    Image26->Tag = 1;
  }
}

void TForm3::ArmClipArt(const AnsiString& file) {
  // A missing file raises the open error, shown by the application; the
  // stamp armed before stays armed.
  StampJpeg->LoadFromFile(GalleryFolder + file);
  PendingStamp = 1;
}

void TForm3::Image26MouseUp(TObject*, TMouseButton, TShiftState, int, int Y) {
  // A release in the gap below a thumbnail picks that thumbnail.
  const int row = Y / kThumbnailRow;
  TStrings* paths = Form12->ListBox1->Items;
  if (Y < 0 || row >= paths->Count) return;
  const AnsiString path = paths->Strings[row];
  Gdiplus::Image picture(path);
  if (picture.GetLastStatus() != Gdiplus::Ok) {
    ::MessageBox(Handle, picture.GetLastStatus() == Gdiplus::FileNotFound ? "系统找不到指定的文件！" : "图像文件无法读取！",
                 "提示信息", MB_OK);
    return;
  }
  const int w = int(picture.GetWidth()), h = int(picture.GetHeight());
  const int screenW = Screen->Width;
  Gdiplus::CLSID bmp;
  const AnsiString roundTrip = ProgramFolder + "tmp.bmt";
  if (!Gdiplus::GetEncoderClsid("image/bmp", &bmp)) return;
  int armed = 2;
  if (w >= screenW) {
    // As wide as the page, at the height that keeps its shape.
    const int fittedH = int(Round(double(int64_t(h) * screenW) / w));
    Gdiplus::Bitmap fitted(screenW, fittedH, Gdiplus::PixelFormat32bppARGB);
    Gdiplus::Graphics g(&fitted);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    if (fitted.GetLastStatus() != Gdiplus::Ok ||
        g.DrawImage(&picture, Gdiplus::RectF(0, 0, Gdiplus::REAL(screenW), Gdiplus::REAL(fittedH)), 0, 0,
                    Gdiplus::REAL(w), Gdiplus::REAL(h), Gdiplus::UnitPixel) != Gdiplus::Ok)
      return;
    Form1->PaintSource = 0;
    if (fitted.Save(roundTrip, &bmp) != Gdiplus::Ok) return;
    armed = 3;
  } else if (picture.Save(roundTrip, &bmp) != Gdiplus::Ok) {
    return;
  }
  FloatBitmap->LoadFromFile(roundTrip);
  PendingStamp = armed;
}
