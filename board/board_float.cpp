// The floating picture Image2: made by a cut of the range selection or by an
// armed stamp, committed back into the current page by the next press or by
// a tool button.
#include <algorithm>

#include "board/board.h"
#include "board/toolbar.h"

namespace {

// Selections and pictures smaller than this float nothing: their commits
// would have no inside to copy.
constexpr int kSmallestFloat = 3;

// A picture's rectangle into the page at the same size; an empty or
// inverted rectangle copies nothing.
void CopyPart(TCanvas* page, const TRect& dest, TCanvas* picture, const TRect& part) {
  if (part.Right <= part.Left || part.Bottom <= part.Top) return;
  page->CopyRect(dest, picture, part);
}

}  // namespace

void TForm3::FloatInsideToPage() {
  const int w = Image2->Width, h = Image2->Height, l = Image2->Left, t = Image2->Top;
  CopyPart(Pages[CurrentPage]->Canvas, Rect(l + 1, t + 1, l + w - 1, t + h - 1), Image2->Picture->Bitmap->Canvas,
           Rect(1, 1, w - 1, h - 1));
}

void TForm3::PlainCommit() {
  if (!Image2->Visible) return;
  FloatInsideToPage();
  Form1->PaintSource = 1;
  Image2->Visible = false;
}

void TForm3::PressCommit() {
  const int w = Image2->Width, h = Image2->Height, l = Image2->Left, t = Image2->Top;
  TCanvas* page = Pages[CurrentPage]->Canvas;
  TCanvas* picture = Image2->Picture->Bitmap->Canvas;
  if (FloatIsPicture != 0) {
    CopyPart(page, Rect(l, t, l + w, t + h), picture, Rect(0, 0, w, h));
  } else {
    // A cut leaves out its selection frame; a reduced one loses a pixel more.
    const int a = ZoomFactor >= 1.0f ? 1 : 2;
    CopyPart(page, Rect(l + a, t + a, l + w - 2, t + h - 2), picture, Rect(a, a, w - 2, h - 2));
  }
  FloatIsPicture = 0;
  Form1->PaintSource = 1;
  Image2->Visible = false;
  ZoomImageCached = 0;
  ZoomImage.reset();
}

bool TForm3::CutSelection(int x, int y) {
  ZoomImage.reset();
  ZoomImageCached = 0;
  ZoomFactor = 1.0f;
  SelectionEndX = x, SelectionEndY = y;
  const int w = std::max(0, x - StartX), h = std::max(0, y - StartY);
  if (w < kSmallestFloat || h < kSmallestFloat) return false;
  // The picture is another now: no rest of a tall scan is owed any more.
  Image2->Tag = 0;
  Image2->SetBounds(StartX, StartY, w, h);
  FloatBitmap->SetSize(w, h);
  FloatBitmap->Canvas->CopyRect(Rect(0, 0, w, h), Canvas, Rect(StartX, StartY, x, y));
  Image2->Picture->Bitmap = FloatBitmap.get();
  Image2->Visible = true;
  TCanvas* page = Pages[CurrentPage]->Canvas;
  if (LayerActive == 1) {
    const TRect box(StrokeLeft, StrokeTop, StrokeRight, StrokeBottom);
    Canvas->CopyRect(box, LayerBitmap->Canvas, box);
    page->CopyRect(box, LayerBitmap->Canvas, box);
  } else {
    page->Brush->Color = ProbeColour();
    page->FillRect(Rect(StartX, StartY, StartX + w, StartY + h));
  }
  Form1->PaintSource = 1;
  return true;
}

void TForm3::PlaceStamp() {
  ZoomImage.reset();
  ZoomImageCached = 0;
  ZoomFactor = 1.0f;
  const int armed = PendingStamp;
  PendingStamp = 0;
  if (armed == 1) {
    const int w = StampJpeg->Width, h = StampJpeg->Height;
    if (w < kSmallestFloat || h < kSmallestFloat) return;
    Image2->Tag = 0;
    Image2->SetBounds(StartX, StartY, w, h);
    FloatBitmap->SetSize(w, h);
    Image2->Visible = true;
    FloatBitmap->Assign(StampJpeg.get());
    Image2->Picture->Bitmap = FloatBitmap.get();
    Form1->PaintSource = 1;
  } else {
    const int w = FloatBitmap->Width, h = FloatBitmap->Height;
    if (w < kSmallestFloat || h < kSmallestFloat) return;
    Image2->Tag = 0;
    if (armed == 2)
      Image2->SetBounds(StartX, StartY, w, h);
    else
      Image2->SetBounds(0, 35, w, h);
    Image2->Picture->Bitmap = FloatBitmap.get();
    Image2->Visible = true;
  }
  FloatIsPicture = 1;
}

void TForm3::SpeedButton25Click(TObject*) {
  PlainCommit();
  FloatIsPicture = 0;
  ZoomImageCached = 0;
  ZoomImage.reset();
  DrawMode = kRangeSelect;
  Canvas->Pen->Width = PenWidthShown();
  Canvas->Pen->Color = LCP->Color;
  ToolCursor("prcs_mox2.cut");
  Canvas->Brush->Style = bsClear;
  Canvas->Pen->Width = 1;
  Canvas->Pen->Style = psDot;
}
