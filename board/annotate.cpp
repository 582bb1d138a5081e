// The overlay's showing, strokes, selection, zoom, captures into the board
// and the ways back.
#include "board/annotate.h"

#include <algorithm>

#include "board/board.h"
#include "board/curtain.h"
#include "board/help.h"
#include "board/toolbar.h"
#include "board/writing_panel.h"
#include "board/zoom_limit.h"
#include "platform/win/cursor.h"
#include "platform/win/input.h"
#include "platform/win/screen.h"
#include "platform/win/timing.h"
#include "platform/win/window_pos.h"

TForm2* Form2 = nullptr;

namespace {

// The screen cursor slot the overlay shares with the board.
constexpr int kCursorSlot = 2;
// What was under the toolbar, which has just been unmapped, gets a moment
// to be drawn again before the desktop is read.
constexpr DWORD kSettleMs = 50;

TRect Widened(const TRect& r, int by) { return Rect(r.Left - by, r.Top - by, r.Right + by, r.Bottom + by); }

TRect WholeScreen() { return Rect(0, 0, Screen->Width, Screen->Height); }

// The overlay's own pixels as a surface to copy from: its form surface read
// under the surface's guard by an operation that changes nothing. A read
// through the canvas would add the tool bars and the selection lying over
// them, and put them into the annotated picture and the board's pages.
class OwnPixels : public gdi::Surface {
 public:
  explicit OwnPixels(vcl::FormSurface* surface) : surface_(surface) {}
  QSize Size() const override { return surface_->Size(); }
  void Draw(const std::function<QRect(QImage&)>&) override {}
  QImage Read(const QRect& area) const override {
    QImage out;
    surface_->Draw([&](QImage& pixels) {
      out = pixels.copy(area);
      return QRect();
    });
    return out;
  }

 private:
  vcl::FormSurface* surface_;
};

// A floating picture at (l, t) without its outermost pixels into a page; a
// picture too small to have an inside copies nothing.
void CopyInside(TCanvas* page, int l, int t, int w, int h, TCanvas* picture) {
  if (w < 3 || h < 3) return;
  page->CopyRect(Rect(l + 1, t + 1, l + w - 1, t + h - 1), picture, Rect(1, 1, w - 1, h - 1));
}

TBitmap* Scratch() { return Form3->ScratchBitmap.get(); }
TBitmap* CurrentPage() { return Form3->Pages[Form3->CurrentPage].get(); }

}  // namespace

TForm2::TForm2(TComponent* owner) : TForm(owner) { BuildForm(); }

// ---- creation, showing, painting ----

void TForm2::FormCreate(TObject*) {
  Panel2->Top = 0;
  Panel2->Left = Screen->Width - 436;
  // The full bar reaches 2 pixels beyond the screen's right edge.
  Panel1->Top = 0;
  Panel1->Left = Screen->Width + 2 - Panel1->Width;
  Screen->Cursors[kCursorSlot] = LoadCursorFromFile("Text_Hnd.cut");
  Cursor = kCursorSlot;
  AnnotMode = kAnnotPen;
  Brush->Style = bsClear;
  Canvas->Brush->Style = bsClear;
  BorderStyle = bsNone;
  WindowState = wsMaximized;
  Canvas->Pen->Color = LCP->Color;
  Canvas->Pen->Width = 3;
  SelectionBitmap = std::make_unique<TBitmap>();
}

void TForm2::FormShow(TObject*) {
  if (!AnnotReady) {
    Form3->SetScratchBitmap(TForm3::NewPageBitmap());
    AnnotUndo = TForm3::NewPageBitmap();
    DesktopSnapshot = TForm3::NewPageBitmap();
    AnnotReady = 1;
  }
  // The overlay is not mapped yet: the capture holds the desktop alone.
  Sleep(kSettleMs);
  const QImage desktop = win::CaptureScreen(RECT{0, 0, Screen->Width, Screen->Height});
  if (!desktop.isNull()) Scratch()->SetImage(desktop);
  AnnotUndo->Assign(Scratch());
  DesktopSnapshot->Assign(Scratch());
  // The board's undo must not bring the desktop into one of its pages.
  Form3->InvalidateUndo();
  // A selection still floating from the last showing belongs to another
  // desktop.
  Image1->Hide();
  AnnotSelected = 0;
}

void TForm2::FormPaint(TObject*) { Canvas->Draw(0, 0, Scratch()); }

void TForm2::RedrawPicture() { Canvas->Draw(0, 0, Scratch()); }

void TForm2::ReadCanvas(TBitmap* target, const TRect& targetRect, const TRect& source) {
  OwnPixels own(Surface());
  TCanvas canvas(&own);
  target->Canvas->CopyRect(targetRect, &canvas, source);
}

void TForm2::DropSelection() {
  if (AnnotMode != kAnnotSelect) return;
  Image1->Hide();
  const TRect r = Widened(Image1->BoundsRect, 10);
  Canvas->CopyRect(r, Scratch()->Canvas, r);
}

// ---- strokes ----

void TForm2::FormMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  if (AnnotMode == kAnnotSelect) {
    Canvas->Pen->Width = 1;
    Canvas->Pen->Style = psDot;
    if (Image1->Visible) {
      AnnotUndo->Assign(Scratch());
      CopyInside(Scratch()->Canvas, Image1->Left, Image1->Top, Image1->Width, Image1->Height,
                 Image1->Picture->Bitmap->Canvas);
      DropSelection();
    }
  }
  AnnotBoxLeft = AnnotBoxRight = X;
  AnnotBoxTop = AnnotBoxBottom = Y;
  AnnotStartX = X;
  AnnotStartY = Y;
  Canvas->MoveTo(X, Y);
}

void TForm2::FormMouseMove(TObject*, TShiftState Shift, int X, int Y) {
  if (!Shift.Contains(ssLeft)) return;
  AnnotBoxLeft = std::min(AnnotBoxLeft, X);
  AnnotBoxTop = std::min(AnnotBoxTop, Y);
  AnnotBoxRight = std::max(AnnotBoxRight, X);
  AnnotBoxBottom = std::max(AnnotBoxBottom, Y);
  if (AnnotMode == kAnnotPen) {
    Canvas->LineTo(X, Y);
    return;
  }
  // Rubber band: only the stroke's box is restored.
  const TRect box = Widened(Rect(AnnotBoxLeft, AnnotBoxTop, AnnotBoxRight, AnnotBoxBottom), 10);
  Canvas->CopyRect(box, Scratch()->Canvas, box);
  if (AnnotMode == kAnnotLine) {
    Canvas->MoveTo(AnnotStartX, AnnotStartY);
    Canvas->LineTo(X, Y);
  } else {
    Canvas->Rectangle(AnnotStartX, AnnotStartY, X, Y);
  }
}

void TForm2::FormMouseUp(TObject*, TMouseButton, TShiftState, int X, int Y) {
  if (AnnotMode == kAnnotSelect) {
    AnnotZoomImage.reset();
    AnnotZoomFactor = 1.0f;
    AnnotZoomCached = 0;
    const int w = std::max(0, X - AnnotStartX), h = std::max(0, Y - AnnotStartY);
    if (w == 0 || h == 0) {
      // A click or a drag up or left selects nothing: the captures then take
      // the whole picture rather than an empty one.
      RedrawPicture();
      AnnotSelected = 0;
      Image1->Hide();
    } else {
      AnnotSelected = 1;
      SelectionRect = Rect(AnnotStartX, AnnotStartY, X, Y);
      Image1->SetBounds(AnnotStartX, AnnotStartY, w, h);
      // The dotted frame of the rubber band comes along on the edges; every
      // commit leaves the outermost pixels out.
      SelectionBitmap = std::make_unique<TBitmap>();
      SelectionBitmap->SetSize(w, h);
      ReadCanvas(SelectionBitmap.get(), Rect(0, 0, w, h), SelectionRect);
      Image1->Picture->Assign(SelectionBitmap.get());
      Image1->Show();
    }
    AnnotUndo->Assign(Scratch());
  } else {
    const TRect box = Widened(Rect(AnnotBoxLeft, AnnotBoxTop, AnnotBoxRight, AnnotBoxBottom), 10);
    if (AnnotMode == kAnnotErase) Canvas->CopyRect(box, DesktopSnapshot->Canvas, box);
    AnnotUndo->Assign(Scratch());
    ReadCanvas(Scratch(), box, box);
  }
  AnnotEndX = X;
  AnnotEndY = Y;
}

// ---- the floating selection ----

void TForm2::Image1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  AnnotStartX = X;
  AnnotStartY = Y;
}

void TForm2::Image1MouseMove(TObject*, TShiftState Shift, int X, int Y) {
  if (!Shift.Contains(ssLeft)) return;
  Image1->SetBounds(Image1->Left + X - AnnotStartX, Image1->Top + Y - AnnotStartY, Image1->Width, Image1->Height);
}

void TForm2::Image1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {}

// ---- clear and undo ----

void TForm2::SpeedButton5Click(TObject*) {
  DropSelection();
  if (!AnnotReady) return;
  Canvas->Draw(0, 0, DesktopSnapshot.get());
  AnnotUndo->Assign(DesktopSnapshot.get());
  Scratch()->Assign(DesktopSnapshot.get());
}

void TForm2::SpeedButton20Click(TObject*) {
  if (!AnnotReady) return;
  if (AnnotSelected != 1) {
    Canvas->Draw(0, 0, DesktopSnapshot.get());
    AnnotUndo->Assign(DesktopSnapshot.get());
    Scratch()->Assign(DesktopSnapshot.get());
    return;
  }
  const TRect r = SelectionRect;
  Canvas->CopyRect(r, DesktopSnapshot->Canvas, r);
  AnnotUndo->Canvas->CopyRect(r, DesktopSnapshot->Canvas, r);
  Scratch()->Canvas->CopyRect(r, DesktopSnapshot->Canvas, r);
}

void TForm2::SpeedButton17Click(TObject*) {
  DropSelection();
  if (AnnotReady) Canvas->Draw(0, 0, AnnotUndo.get());
  ReadCanvas(Scratch(), WholeScreen(), WholeScreen());
}

// ---- tools, width and colour ----

void TForm2::ChooseTool(int mode, const char* cursor, bool dotted) {
  Screen->Cursors[kCursorSlot] = LoadCursorFromFile(cursor);
  Cursor = kCursorSlot;
  if (mode != kAnnotSelect) {
    Canvas->Pen->Width = dotted ? 1 : StrToInt(Edit1->Text);
    Canvas->Pen->Style = dotted ? psDot : psSolid;
    DropSelection();
    AnnotSelected = 0;
  }
  AnnotMode = mode;
}

// Each bar has its own radio group; a tool chosen on one bar is shown down
// on the other one too, so the bar that comes up after a collapse or an
// expand shows the tool in use.
void TForm2::SpeedButton4Click(TObject*) {
  ChooseTool(kAnnotPen, "Text_Hnd.cut", false);
  SpeedButton4->Down = true;
  SpeedButton25->Down = true;
}

void TForm2::SpeedButton2Click(TObject*) {
  ChooseTool(kAnnotErase, "prcs_mox2.cut", true);
  SpeedButton2->Down = true;
  SpeedButton21->Down = true;
}

void TForm2::SpeedButton26Click(TObject*) {
  ChooseTool(kAnnotLine, "Sonic cross2.cut", false);
  SpeedButton26->Down = true;
  SpeedButton27->Down = true;
}

void TForm2::SpeedButton15Click(TObject*) { ChooseTool(kAnnotSelect, "prcs_mox2.cut", true); }

void TForm2::SpeedButton7Click(TObject*) {
  if (Edit1->Text == "9") return;
  Edit1->Text = IntToStr(StrToInt(Edit1->Text) + 1);
  Canvas->Pen->Width = StrToInt(Edit1->Text);
}

void TForm2::SpeedButton8Click(TObject*) {
  if (Edit1->Text == "1") return;
  Edit1->Text = IntToStr(StrToInt(Edit1->Text) - 1);
  Canvas->Pen->Width = StrToInt(Edit1->Text);
}

void TForm2::SpeedButton9Click(TObject*) {
  if (LCD->Execute()) {
    LCP->Color = LCD->Color;
    Canvas->Pen->Color = LCD->Color;
  }
  RedrawPicture();
}

void TForm2::LCPClick(TObject* Sender) { SpeedButton9Click(Sender); }

// ---- zoom ----

void TForm2::Zoom(bool in, const char* file) {
  // Only a floating selection zooms.
  if (!Image1->Visible) return;
  {
    const float stepped = in ? AnnotZoomFactor * 1.5f : AnnotZoomFactor / 1.5f;
    const bool cached = AnnotZoomCached && AnnotZoomImage;
    const double fromW = cached ? AnnotZoomImage->GetWidth() : Image1->Picture->Bitmap->Width;
    const double fromH = cached ? AnnotZoomImage->GetHeight() : Image1->Picture->Bitmap->Height;
    if (!ZoomFits(fromW * stepped, fromH * stepped, Screen->Width, Screen->Height)) return;
  }
  if (!AnnotZoomCached) {
    TMemoryStream stream;
    Image1->Picture->Bitmap->SaveToStream(&stream);
    AnnotZoomImage = std::make_unique<Gdiplus::Image>(stream.Memory(), size_t(stream.Size));
    if (AnnotZoomImage->GetLastStatus() != Gdiplus::Ok) {
      AnnotZoomImage.reset();
      return;
    }
    AnnotZoomCached = 1;
  }
  const float factor = in ? AnnotZoomFactor * 1.5f : AnnotZoomFactor / 1.5f;
  const int sw = int(AnnotZoomImage->GetWidth()), sh = int(AnnotZoomImage->GetHeight());
  const float scaledWidth = float(sw) * factor, scaledHeight = float(sh) * factor;
  const int w = int(Round(scaledWidth)), h = int(Round(scaledHeight));
  // A step that leaves no pixel, or whose picture cannot be written, is
  // not taken (the old picture in the file would come back instead).
  if (w < 1 || h < 1) return;
  Gdiplus::Bitmap zoomed(w, h, Gdiplus::PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&zoomed);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.DrawImage(AnnotZoomImage.get(), Gdiplus::RectF(0, 0, scaledWidth, scaledHeight), 2, 2, float(sw - 4),
                     float(sh - 4), Gdiplus::UnitPixel);
  Gdiplus::CLSID bmp;
  const std::string path = Form3->ProgramFolder + file;
  if (!Gdiplus::GetEncoderClsid("image/bmp", &bmp) || zoomed.Save(path, &bmp) != Gdiplus::Ok) return;
  AnnotZoomFactor = factor;

  int left = Image1->Left, top = Image1->Top;
  const int sWidth = Screen->Width, sHeight = Screen->Height;
  if (in) {
    // Back inside the right and bottom edges; a picture larger than the
    // screen is centred on it.
    if (left + w > sWidth) left = sWidth - w;
    if (left < 0) left = left / 2;
    if (top + h > sHeight) top = sHeight - h;
    if (top < 0) top = top / 2;
  } else {
    if (left < 0 && w < sWidth) left = 0;
    if (top < 0 && h < sHeight) top = 0;
  }
  Image1->SetBounds(left, top, w, h);
  Image1->Picture->LoadFromFile(path);
}

void TForm2::SpeedButton11Click(TObject*) { Zoom(true, "tmp.bmt"); }

void TForm2::SpeedButton12Click(TObject*) { Zoom(false, "tmp.bmp"); }

// ---- captures into the board ----

void TForm2::CaptureOntoPage() {
  if (AnnotSelected == 1) {
    // The selection floats over the board's page at the same place, with
    // the board's range-select tool chosen, for the board to place.
    Form3->SpeedButton25->Down = true;
    Form3->SpeedButton25Click(this);
    TImage* f = Form3->Image2;
    f->SetBounds(Image1->Left, Image1->Top, Image1->Width, Image1->Height);
    f->Picture->Assign(Image1->Picture);
    Form3->FloatBitmap->Assign(Image1->Picture->Bitmap);
    // A zoom of the board's last floating picture does not carry over, nor
    // the rest of a tall scan it was.
    ZoomFactor = 1.0f;
    f->Tag = 0;
    f->Show();
  } else {
    ReadCanvas(CurrentPage(), WholeScreen(), WholeScreen());
    Form3->InvalidateUndo();
  }
}

void TForm2::EndCapture() {
  Image1->Hide();
  const TRect r = Widened(Image1->BoundsRect, 10);
  Canvas->CopyRect(r, Scratch()->Canvas, r);
  AnnotSelected = 0;
}

void TForm2::SpeedButton13Click(TObject*) {
  const int page = Form3->CurrentPage;
  if (Form3->PageState[page] == 0) Form3->FillPage(page, Form3->RCP->Color);
  if (AnnotSelected == 1 && Form3->Image2->Visible) {
    Form3->PlainCommit();
    Form3->Canvas->Draw(0, 0, CurrentPage());
  }
  CaptureOntoPage();
  EndCapture();
  Form3->PageState[page] = 2;
}

void TForm2::SpeedButton14Click(TObject*) {
  // A picture committed into the page is content: the page is kept and the
  // capture goes to the next one.
  if (Form3->Image2->Visible) {
    Form3->PlainCommit();
    Form3->PageState[Form3->CurrentPage] = 2;
  }
  const int page = Form3->CurrentPage;
  if (Form3->PageState[page] == 2) {
    if (page < kMaxPages) Form3->PageState[page + 1] = 2;
    Form3->SpeedButton12Click(this);
  } else {
    Form3->FillPage(page, Form3->RCP->Color);
    Form3->PageState[page] = 2;
  }
  CaptureOntoPage();
  EndCapture();
}

// ---- leaving, curtain, help, the bars ----

void TForm2::SpeedButton6Click(TObject*) {
  if (Form14->Visible) Form14->Hide();
  Close();
  const int page = Form3->CurrentPage;
  if (Form3->PageState[page] < 1) {
    Form3->FillPage(page, Form3->RCP->Color);
    Form3->InvalidateUndo();
  } else {
    Form1->PaintSource = 1;
  }
  Form3->Show();
}

void TForm2::SpeedButton3Click(TObject*) {
  DropSelection();
  Close();
  Form1->Show();
  SetForegroundWindow(Form1->ReturnWindow);
  Form1->Timer1->Enabled = true;
}

void TForm2::SpeedButton16Click(TObject* Sender) { SpeedButton3Click(Sender); }

void TForm2::SpeedButton10Click(TObject*) {
  Form1->Timer1->Enabled = false;
  Form5->Show();
  SetCursorPos(Screen->Width, 50);
}

void TForm2::SpeedButton1Click(TObject*) {
  Form4->ShowModal();
  RedrawPicture();
}

void TForm2::SpeedButton19Click(TObject* Sender) { SpeedButton1Click(Sender); }

void TForm2::SpeedButton18Click(TObject*) {
  Panel1->Hide();
  AnnotStartX = Screen->Width - 600;
  AnnotStartY = 0;
  AnnotEndX = Screen->Width;
  AnnotEndY = 40;
  const TRect r = Rect(AnnotStartX, AnnotStartY, AnnotEndX, AnnotEndY);
  Canvas->CopyRect(r, Scratch()->Canvas, r);
  Panel2->Show();
}

void TForm2::SpeedButton23Click(TObject*) {
  Panel2->Hide();
  Panel1->Show();
}
