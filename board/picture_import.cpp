// The import dialog and the gallery's bar. One thumbnail at a time: each is
// made through GDI+, brought back through "tmp.bmt" in the program folder,
// copied into its row of Image26's picture and freed before the next.
#include "board/picture_import.h"

#include <algorithm>

#include "board/board.h"
#include "board/lessons.h"
#include "board/teachers.h"
#include "platform/fs/inifile.h"
#include "platform/win/msgbox.h"

TForm12* Form12 = nullptr;
TForm13* Form13 = nullptr;

namespace {

const char kPictureMask[] = "*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff;*.gif";
const char kPictureFilter[] =
    "All (*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.ico;*.emf;*.wmf|"
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|GIF(*.gif)|*.gif|"
    "PNG(*.png)|*.png|Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf";

template <class T>
T* Make(TForm* form, int left, int top, int width, int height) {
  T* c = new T(form);
  c->Parent = form;
  c->SetBounds(left, top, width, height);
  return c;
}

TBitBtn* MakeButton(TForm12* form, int top, const char* caption, const char* hint) {
  TBitBtn* b = Make<TBitBtn>(form, 162, top, 80, 35);
  b->Caption = caption;
  if (hint) b->Hint = hint;
  return b;
}

// The rectangle of thumbnail row n in Image26's picture.
TRect Row(int n) { return Rect(0, n * kThumbnailRow, kThumbnailSide, n * kThumbnailRow + kThumbnailSide); }

// The dialog's progress lines, and the bar's.
void DialogLine(TForm* form, int y, const AnsiString& text) { form->Canvas->TextOut(6, y, text); }
void BarLine(const AnsiString& text) { Form13->Canvas->TextOut(3, 23, text); }

}  // namespace

TForm12::TForm12(TComponent* owner) : TForm(owner) { BuildForm(); }

void TForm12::BuildForm() {
  Caption = "导入图片";
  BorderStyle = bsDialog;
  FormStyle = fsStayOnTop;
  Position = poDesktopCenter;
  ClientWidth = 450;
  ClientHeight = 251;
  Font->Name = "宋体";
  Font->Height = -12;
  Font->Charset = GB2312_CHARSET;
  ShowHint = true;

  DriveComboBox1 = Make<TDriveComboBox>(this, 8, 6, 145, 20);
  DirectoryListBox1 = Make<TDirectoryListBox>(this, 8, 28, 145, 189);
  FileListBox1 = Make<TFileListBox>(this, 249, 4, 196, 211);
  FileListBox1->Mask = kPictureMask;
  FileListBox1->ShowGlyphs = true;
  BitBtn1 = MakeButton(this, 6, "浏览", "导入指定的一个图像文件");
  BitBtn2 = MakeButton(this, 55, "导入", "导入指定文件夹的所有图像文件");
  CheckBox1 = Make<TCheckBox>(this, 162, 106, 85, 17);
  CheckBox1->Caption = "默认文件夹";
  BitBtn3 = MakeButton(this, 166, "确定", nullptr);
  ListBox1 = Make<TListBox>(this, 0, 0, 10, 10);
  ListBox1->Visible = false;
  OpenPictureDialog1 = new TOpenDialog(this);
  OpenPictureDialog1->Filter = kPictureFilter;
  OpenPictureDialog1->Options = TOpenOptions{ofHideReadOnly, ofNoChangeDir, ofEnableSizing};

  // The drive box drives the folder list, the folder list the file list.
  DirectoryListBox1->FileList = FileListBox1;
  DriveComboBox1->OnChange = [this](TObject*) { DirectoryListBox1->Drive = DriveComboBox1->Drive; };
  DirectoryListBox1->OnChange = [this](TObject*) {
    if (const char drive = DirectoryListBox1->Drive) DriveComboBox1->Drive = drive;
  };
  DirectoryListBox1->OnClick = [this](TObject* s) { DirectoryListBox1Click(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
}

bool TForm12::ThumbnailInto(const AnsiString& path, int row) {
  TCanvas* gallery = Form3->Image26->Canvas;
  Gdiplus::Image image(path);
  const Gdiplus::REAL w = Gdiplus::REAL(image.GetWidth()), h = Gdiplus::REAL(image.GetHeight());
  Gdiplus::Bitmap square(kThumbnailSide, kThumbnailSide, Gdiplus::PixelFormat32bppARGB);
  Gdiplus::Graphics g(&square);
  // Fitted keeping the aspect ratio, centred on the other side.
  Gdiplus::RectF dest;
  if (h < w) {
    const float s = 100.0f / w;
    dest = Gdiplus::RectF(0, (w - h) * s / 2, 100, h * s);
  } else {
    const float s = 100.0f / h;
    dest = Gdiplus::RectF((h - w) * s / 2, 0, w * s, 100);
  }
  Gdiplus::CLSID bmp;
  const AnsiString roundTrip = Form3->ProgramFolder + "tmp.bmt";
  TBitmap plain;
  bool made = image.GetLastStatus() == Gdiplus::Ok &&
              g.DrawImage(&image, dest, 0, 0, w, h, Gdiplus::UnitPixel) == Gdiplus::Ok &&
              Gdiplus::GetEncoderClsid("image/bmp", &bmp) && square.Save(roundTrip, &bmp) == Gdiplus::Ok;
  if (made) {
    try {
      plain.LoadFromFile(roundTrip);
    } catch (const Exception&) {
      made = false;
    }
  }
  if (!made) {
    gallery->Brush->Color = clWindow;
    gallery->FillRect(Row(row));
    return false;
  }
  gallery->CopyRect(Row(row), plain.Canvas, Rect(0, 0, kThumbnailSide, kThumbnailSide));
  return true;
}

void TForm12::BitBtn2Click(TObject*) {
  const int files = FileListBox1->Items->Count;
  const int count = std::min(files, kFolderImportLimit);
  // Rows beyond the count keep their old pixels, outside the control.
  Form3->Image26->Height = count * kThumbnailRow;
  ListBox1->Items->Clear();
  DialogLine(this, 220, "总共有" + IntToStr(files) + "个图像文件。  ");
  DialogLine(this, 236, "已导入0个图像文件。  ");
  for (int n = 0; n < count; ++n) {
    const AnsiString path = vcl::JoinPath(DirectoryListBox1->Directory, FileListBox1->Items->Strings[n]);
    ThumbnailInto(path, n);
    ListBox1->Items->Add(path);
    if (Form3->Image26->Tag == 1)
      DialogLine(this, 236, "已导入" + IntToStr(n + 1) + "个图像文件。  ");
    else
      BarLine("已导入" + IntToStr(n + 1) + "个文件。  ");
  }
  BarLine("已导入" + IntToStr(count) + "个文件。  ");
}

void TForm12::BitBtn1Click(TObject*) {
  // The next row is the one after the last path listed, so that row n and
  // path n always name the same picture; the picture has no row beyond its
  // last.
  const int k = ListBox1->Items->Count;
  if (k >= kThumbnailRows) {
    ::MessageBox(Handle, "图片已满，不能再导入！", "提示信息", MB_OK);
    return;
  }
  if (!OpenPictureDialog1->Execute()) return;
  const AnsiString file = OpenPictureDialog1->FileName;
  ThumbnailInto(file, k);
  DialogLine(this, 220, "总共有" + IntToStr(k + 1) + "个图像文件。  ");
  DialogLine(this, 236, "已导入" + IntToStr(k + 1) + "个图像文件。  ");
  Form3->Image26->Height = k * kThumbnailRow + kThumbnailSide;
  ListBox1->Items->Add(file);
}

void TForm12::BitBtn3Click(TObject*) {
  // The folder goes to the teacher the manager has unlocked (or the default
  // teacher), not to whatever name the name box shows now.
  if (CheckBox1->Checked &&
      !TIniFile(Form6->SettingsFile()).WriteString(Form6->TeacherSection(), "dcu", AnsiString(DirectoryListBox1->Directory))) {
    ::MessageBox(Handle, "默认文件夹无法保存！", "提示信息", MB_OK);
    return;
  }
  Close();
}

void TForm12::DirectoryListBox1Click(TObject*) { DirectoryListBox1->OpenCurrent(); }

// ---- the gallery's bar ----

TForm13::TForm13(TComponent* owner) : TForm(owner) {
  Caption = "Form13";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  ClientWidth = 130;
  ClientHeight = 48;
  Color = TColor(0x004080FF);
  Font->Name = "宋体";
  Font->Height = -12;
  SpeedButton1 = Make<TSpeedButton>(this, 92, 0, 39, 23);
  SpeedButton1->Caption = "设置";
  SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
}

void TForm13::SpeedButton1Click(TObject*) { Form12->ShowModal(); }
