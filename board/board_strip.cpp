// The page strip Panel5: the lower half of the screen (or the area below the
// toolbar) showing one page, or two neighbouring pages side by side at half
// size, with a scroll bar through the pages; a release on a page makes it
// the current page. Scrolling redraws with plain stretching; the pages are
// resampled through GDI+ only when the strip opens and when a scroll ends.
#include "board/board.h"
#include "board/glyphs.h"
#include "board/toolbar.h"

namespace {

constexpr int kRowShown = 18, kRowCollapsed = 1;
constexpr int kOnePage = 1, kTwoPages = 2;
constexpr int kStripAtToolbar = 41;

int HalfScreenH() { return Screen->Height / 2; }

TCanvas* Area(TForm3* b) { return b->Image3->Canvas; }
int AreaW(TForm3* b) { return b->Panel5->Width; }
int AreaH(TForm3* b) { return b->Image3->Height; }

TRect LeftHalf(TForm3* b) { return Rect(0, 0, AreaW(b) / 2, AreaH(b)); }
TRect RightHalf(TForm3* b) { return Rect(AreaW(b) / 2, 0, AreaW(b), AreaH(b)); }
TRect Whole(const TBitmap* bitmap) { return Rect(0, 0, bitmap->Width, bitmap->Height); }

// The lower half of the page over the whole picture area.
void OnePageView(TForm3* b, int page) {
  TBitmap* p = b->Pages[page].get();
  if (!p) return;
  Area(b)->CopyRect(Rect(0, 0, AreaW(b), AreaH(b)), p->Canvas, Rect(0, p->Height / 2, p->Width, p->Height));
}

// Pages stretched into the halves; beside the last page, its background.
void FastTwoPageView(TForm3* b, int page) {
  if (TBitmap* p = b->Pages[page].get()) Area(b)->CopyRect(LeftHalf(b), p->Canvas, Whole(p));
  if (page < b->PageCount && b->Pages[page + 1]) {
    TBitmap* next = b->Pages[page + 1].get();
    Area(b)->CopyRect(RightHalf(b), next->Canvas, Whole(next));
  } else {
    Area(b)->Brush->Color = b->ProbeColour(page);
    Area(b)->FillRect(RightHalf(b));
  }
}

// The halves again from the resampled half-size pictures; beside the last
// page the right half stays as the fast view left it.
void FineTwoPageView(TForm3* b, int page) {
  if (b->HalfSizePage(page, b->StripLeftBitmap.get()))
    Area(b)->CopyRect(LeftHalf(b), b->StripLeftBitmap->Canvas, Whole(b->StripLeftBitmap.get()));
  if (page < b->PageCount && b->HalfSizePage(page + 1, b->StripRightBitmap.get()))
    Area(b)->CopyRect(RightHalf(b), b->StripRightBitmap->Canvas, Whole(b->StripRightBitmap.get()));
}

// The line between the halves: white on a black background, else black.
void Separator(TForm3* b, TColor background) {
  TCanvas* c = Area(b);
  c->Pen->Width = 1;
  c->Pen->Style = psSolid;
  c->Pen->Color = background == clBlack ? clWhite : clBlack;
  c->MoveTo(AreaW(b) / 2, 0);
  c->LineTo(AreaW(b) / 2, AreaH(b));
}

void ShowPosition(TForm3* b) { b->Edit3->Text = " " + IntToStr(b->ScrollBar1->Position); }

}  // namespace

bool TForm3::HalfSizePage(int page, TBitmap* into) {
  if (page < 1 || page > kMaxPages || !Pages[page] || !into) return false;
  TMemoryStream stream;
  Pages[page]->SaveToStream(&stream);
  stream.Position = 0;
  Gdiplus::Image image(stream.Memory(), size_t(stream.Size()));
  if (image.GetLastStatus() != Gdiplus::Ok) return false;
  const double w = image.GetWidth(), h = image.GetHeight();
  Gdiplus::Bitmap half(int(Round(w / 2)), int(Round(h / 2)), Gdiplus::PixelFormat32bppARGB);
  if (half.GetLastStatus() != Gdiplus::Ok) return false;
  Gdiplus::Graphics g(&half);
  g.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
  Gdiplus::CLSID bmp;
  const AnsiString roundTrip = ProgramFolder + "tmp.bmt";
  if (g.DrawImage(&image, Gdiplus::RectF(0, 0, Gdiplus::REAL(w / 2), Gdiplus::REAL(h / 2)), 0, 0,
                  Gdiplus::REAL(w), Gdiplus::REAL(h), Gdiplus::UnitPixel) != Gdiplus::Ok ||
      !Gdiplus::GetEncoderClsid("image/bmp", &bmp) || half.Save(roundTrip, &bmp) != Gdiplus::Ok)
    return false;
  try {
    into->LoadFromFile(roundTrip);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

void TForm3::SpeedButton1Click(TObject*) {
  const int p = CurrentPage;
  const int h = Screen->Height;
  SpeedButton37->Show();
  SpeedButton38->Hide();
  if (Panel4->Visible && !Panel5->Visible) {
    // The note goes into the page's picture, so the half-size pages show it.
    LeavePanel();
    const TRect panel = Panel4->BoundsRect;
    Pages[p]->Canvas->CopyRect(panel, Canvas, panel);
    PanelOnPage[p] = 1;
  }
  if (!Panel5->Visible) {
    if (LayerActive == 1) Panel4->Show();
    Panel5->Width = Screen->Width;
    Image3->SetBounds(0, Image3->Top, Panel5->Width, h / 2);
    ScrollBar1->Position = p;
    ShowPosition(this);
    Panel5->Show();
  }
  Form1->PaintSource = 1;
  if (Panel6->Height == kRowShown) {
    Panel5->SetBounds(Panel5->Left, h / 2, Panel5->Width, h / 2);
    Image3->Top = 0;
    Panel6->Height = kRowCollapsed;
  } else {
    Panel5->SetBounds(Panel5->Left, h / 2 - kRowShown, Panel5->Width, h / 2 + kRowShown);
    Panel6->Height = kRowShown;
    Image3->Top = kRowShown;
  }
  if (ScrollBar1->SmallChange == kOnePage) {
    OnePageView(this, ScrollBar1->Position);
    return;
  }
  if (TBitmap* page = Pages[p].get()) Area(this)->CopyRect(LeftHalf(this), page->Canvas, Whole(page));
  if (p < PageCount && Pages[p + 1]) Area(this)->CopyRect(RightHalf(this), Pages[p + 1]->Canvas, Whole(Pages[p + 1].get()));
  FineTwoPageView(this, p);
  const TColor background = ProbeColour();
  if (p >= PageCount) {
    Area(this)->Brush->Color = background;
    Area(this)->FillRect(RightHalf(this));
  }
  Separator(this, background);
}

// The scroll row stays up while the position changes: taking it down would
// end a drag of the thumb under the pointer.
void TForm3::ScrollBar1Change(TObject*) {
  const int page = ScrollBar1->Position;
  if (ScrollBar1->SmallChange == kTwoPages) {
    FastTwoPageView(this, page);
    Separator(this, ProbeColour(page));
  } else {
    OnePageView(this, page);
  }
  ShowPosition(this);
}

void TForm3::ScrollBar1Scroll(TObject*, TScrollCode ScrollCode, int&) {
  if (ScrollBar1->SmallChange != kTwoPages || ScrollCode != scEndScroll) return;
  const int page = ScrollBar1->Position;
  FineTwoPageView(this, page);
  Separator(this, ProbeColour(page));
}

void TForm3::Image3MouseUp(TObject*, TMouseButton, TShiftState, int X, int) {
  // The note typed while the strip was open belongs to the page it was
  // typed on.
  if (Panel4->Visible) LeavePanel();
  Panel5->Hide();
  Panel3->Caption = "";
  PlainCommit();
  InvalidateUndo();
  LayerActive = 0;
  const int position = ScrollBar1->Position;
  // Only the two-page view shows the next page on the right.
  const bool right = ScrollBar1->SmallChange == kTwoPages && X > Screen->Width / 2;
  CurrentPage = right && position < PageCount ? position + 1 : position;
  Edit2->Text = IntToStr(CurrentPage);
  Canvas->Draw(0, 0, Pages[CurrentPage].get());
  ArrivePanel(CurrentPage);
  if (DrawMode == kEraser) Canvas->Pen->Color = ProbeColour(CurrentPage);
  NoteFollowsPage();
  Panel6->Height = Panel6->Height == kRowShown ? kRowCollapsed : kRowShown;
}

void TForm3::SpeedButton28Click(TObject*) {
  ScrollBar1->SmallChange = kOnePage;
  OnePageView(this, ScrollBar1->Position);
}

void TForm3::SpeedButton27Click(TObject*) {
  ScrollBar1->SmallChange = kTwoPages;
  const int page = ScrollBar1->Position;
  FastTwoPageView(this, page);
  Separator(this, ProbeColour(page));
}

void TForm3::SpeedButton29Click(TObject*) {
  Form1->PaintSource = 1;
  Panel5->Height = HalfScreenH();
  Image3->Top = 0;
  Panel6->Height = kRowCollapsed;
}

void TForm3::SpeedButton30Click(TObject*) {
  Form1->PaintSource = 1;
  Panel5->Hide();
  Panel5->SetBounds(Panel5->Left, HalfScreenH(), Panel5->Width, HalfScreenH());
  Image3->Top = 0;
  Panel6->Height = kRowCollapsed;
}

void TForm3::SpeedButton37Click(TObject*) {
  Panel5->Top = kStripAtToolbar;
  SpeedButton38->Show();
  SpeedButton37->Hide();
}

void TForm3::SpeedButton38Click(TObject*) {
  Panel5->Top = HalfScreenH() - kRowShown;
  SpeedButton37->Show();
  SpeedButton38->Hide();
}
