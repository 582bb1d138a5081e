#include "board/scan.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "board/board.h"
#include "board/glyphs.h"
#include "platform/fs/files.h"
#include "platform/gdiplus/gdiplus.h"
#include "platform/vcl/dialogs.h"

TForm11* Form11 = nullptr;

namespace {

// Sources are asked for this resolution, across and down.
constexpr double kScanDpi = 150;
// The picture is this much wider than the screen and starts 5 pixels left
// of it, so that no column of the page is left without it.
constexpr int kExtraWidth = 50;
constexpr int kPictureLeft = -5, kPictureTop = 35;

// Round to the nearest integer, halves to even (the default rounding mode).
int RoundEven(double v) { return int(std::nearbyint(v)); }

template <class T>
T* Make(TForm11* form, int left, int top, int width, int height) {
  T* c = new T(form);
  c->Parent = form;
  c->SetBounds(left, top, width, height);
  return c;
}

}  // namespace

TForm11::TForm11(TComponent* owner) : TForm(owner) { BuildForm(); }

void TForm11::BuildForm() {
  Caption = "Form11";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  Position = poDesktopCenter;
  ClientWidth = 335;
  ClientHeight = 208;
  Font->Name = "宋体";
  Font->Height = -12;

  Label1 = Make<TLabel>(this, 6, 6, 60, 12);
  Label1->Caption = "选择来源：";
  ListBox1 = Make<TListBox>(this, 2, 26, 225, 175);
  ListBox1->ItemHeight = 12;
  RadioButton1 = Make<TRadioButton>(this, 244, 34, 79, 29);
  RadioButton1->Caption = "单页";
  RadioButton1->Checked = true;
  RadioButton2 = Make<TRadioButton>(this, 244, 70, 79, 29);
  RadioButton2->Caption = "双页";

  // Both buttons close the dialog after their click. Both are default
  // buttons; Enter goes to the first, 确定.
  BitBtn1 = Make<TBitBtn>(this, 244, 114, 81, 31);
  BitBtn1->Caption = "确定";
  LoadGlyph(BitBtn1, "sc_ok");
  BitBtn1->Default = true;
  BitBtn1->ModalResult = mrOk;
  BitBtn1->Font->Name = "宋体";
  BitBtn1->Font->Height = -13;
  BitBtn1->Font->Color = clBlack;
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn2 = Make<TBitBtn>(this, 245, 162, 80, 31);
  BitBtn2->Caption = "取消";
  LoadGlyph(BitBtn2, "sc_cancel");
  BitBtn2->Default = true;
  BitBtn2->ModalResult = mrOk;
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };

  // The component as the form description stores it; the library is not
  // loaded until the scan button asks for it.
  TwainLink1 = new TTwainLink(this);
  TwainLink1->OnTwainAcquire = [this](TObject* s, const int i, TBitmap* image, bool& cancel) {
    TwainLink1TwainAcquire(s, i, image, cancel);
  };
  TwainLink1->TransferMode = ttmNative;
  TwainLink1->SourceCount = 0;
  TTwainIdentity* info = TwainLink1->Info;
  info->MajorVersion = 1;
  info->MinorVersion = 0;
  info->Language = tlDanish;
  info->CountryCode = 1;
  info->Groups = TTwainGroups{tgControl, tgImage};
  info->VersionInfo = "Application name";
  info->Manufacturer = "Application manufacturer";
  info->ProductFamily = "App product family";
  info->ProductName = "App product name";
  TwainLink1->LibraryLoaded = false;
  TwainLink1->SourceManagerLoaded = false;
}

// ---- the board's scan button ----

void TForm3::SpeedButton34Click(TObject*) {
  TTwainLink* link = Form11->TwainLink1;
  // Every scan starts from a fresh load: a source left open by the last
  // scan, the manager and the library are closed first.
  link->CloseTwainLibrary();
  if (!link->OpenTwainLibrary()) {
    ShowMessage("扫描驱动程序出错！");
    return;
  }
  link->SourceManagerLoaded = true;
  TListBox* list = Form11->ListBox1;
  list->Items->Clear();
  // Row i must name source i: the list ends where the component can hand
  // out no more sources.
  for (int i = 0; i < link->SourceCount; ++i) {
    TTwainSource* source = link->GetSource(i);
    if (!source) break;
    list->Items->Add(source->ProductName);
  }
  list->ItemIndex = 0;
  Form11->ShowModal();
}

// ---- the dialog ----

void TForm11::BitBtn1Click(TObject*) {
  if (TwainLink1->SourceCount < 1) {
    ShowMessage("未检测到扫描仪和其它视频设备！");
    return;
  }
  // The text panel is closed as its own close button closes it.
  Form3->SpeedButton19Click(Form3->SpeedButton19);
  // The source of the selected row; none selected asks the manager for its
  // default source. A source that cannot be opened, refuses the resolution
  // or cannot be switched on simply sends no picture.
  TTwainSource* source = TwainLink1->GetSource(ListBox1->ItemIndex);
  if (!source) return;
  source->ModalUI = true;
  source->ShowUI = false;
  source->Loaded = true;
  source->SetXResolution(kScanDpi);
  source->SetYResolution(kScanDpi);
  source->SwitchedOn = true;
}

void TForm11::BitBtn2Click(TObject*) { TwainLink1->CloseTwainLibrary(); }

void TForm11::TwainLink1TwainAcquire(TObject*, const int, TBitmap* Image, bool&) {
  if (!Image) return;
  // The component frees Image after this call: what is scaled is a copy,
  // read from the bytes the bitmap saves into a memory stream.
  TMemoryStream stream;
  Image->SaveToStream(&stream);
  Gdiplus::Image picture(stream.Memory(), size_t(stream.Size));
  const int imageWidth = int(picture.GetWidth()), imageHeight = int(picture.GetHeight());
  if (picture.GetLastStatus() != Gdiplus::Ok || imageWidth < 1 || imageHeight < 1) return;

  const int targetWidth = Screen->Width + kExtraWidth;
  const float scale = float(targetWidth) / float(imageWidth);
  const int newWidth = RoundEven(double(imageWidth) * scale);
  const int scaledHeight = RoundEven(double(imageHeight) * scale);
  // One page takes the top of the scan that fills the screen's height; a
  // shorter scan keeps its own height rather than a black band below it.
  const int newHeight = RadioButton1->Checked ? std::min<int>(Screen->Height, scaledHeight) : scaledHeight;

  Gdiplus::Bitmap scaled(newWidth, newHeight, Gdiplus::PixelFormat32bppARGB);
  if (scaled.GetLastStatus() != Gdiplus::Ok) return;
  Gdiplus::Graphics graphics(&scaled);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  DeleteFile(Form3->ProgramFolder + "tmp.bmp");
  graphics.DrawImage(&picture, Gdiplus::RectF(0, 0, float(double(imageWidth) * scale), float(newHeight)), 0, 0,
                     float(imageWidth), float(double(newHeight) / scale), Gdiplus::UnitPixel);
  // Only this scan's own file is loaded: a failed save would leave an older
  // picture in "tmp.bmt".
  Gdiplus::CLSID bmp;
  const std::string file = Form3->ProgramFolder + "tmp.bmt";
  if (!Gdiplus::GetEncoderClsid("image/bmp", &bmp) || scaled.Save(file, &bmp) != Gdiplus::Ok) return;
  auto loaded = std::make_unique<TBitmap>();
  try {
    loaded->LoadFromFile(file);
  } catch (const Exception&) {
    return;
  }
  Form3->PlaceScan(std::move(loaded));
}

// ---- the board's side ----

void TForm3::PlaceScan(std::unique_ptr<TBitmap> scan) {
  // A picture still floating is not lost: it goes into the page as a page
  // turn would put it there. The scan is then a picture of its own, without
  // a zoom source or a stamp's whole-picture commit left over from another.
  PlainCommit();
  ZoomImage.reset();
  ZoomImageCached = 0;
  ZoomFactor = 1.0f;
  FloatIsPicture = 0;

  FloatBitmap = std::move(scan);
  Image2->SetBounds(kPictureLeft, kPictureTop, FloatBitmap->Width, FloatBitmap->Height);
  Image2->Picture->Bitmap = FloatBitmap.get();
  Image2->Visible = true;
  Image2->Tag = 0;
  if (Image2->Height <= Screen->Height) return;
  // A tall scan: this page and the following one have content, and the
  // following one owes the rest. Page 99 has no following page; there the
  // picture floats alone and whatever lies below the screen is left out
  // when it is committed.
  if (CurrentPage >= kMaxPages) return;
  PageState[CurrentPage] = 2;
  Image2->Tag = CurrentPage + 1;
  PageState[CurrentPage + 1] = 2;
}
