// The board's drawing tools and the three mouse handlers that turn a press,
// moves and a release into a change of the current page. Strokes are drawn
// on the screen; only the release copies the stroke's box, widened by 10,
// from the screen into the page, so a move never touches the whole page.
#include <algorithm>

#include "board/board.h"
#include "board/toolbar.h"
#include "platform/win/cursor.h"
#include "platform/win/msgbox.h"

namespace {

// How a tool button sets the pen.
enum class Width { kShown, kEraser, kOne };
enum class Style { kSolid, kDotted, kKept };
enum class Ink { kPenSwatch, kBackground };

struct ToolSpec {
  int mode;
  Width width;
  Style style;
  Ink ink;
  bool clearBrush;
  bool clearsReadout;
  const char* cursor;
};

const ToolSpec kTools[] = {
    {kPen, Width::kShown, Style::kSolid, Ink::kPenSwatch, false, true, "Text_Hnd.cut"},
    {kLine, Width::kShown, Style::kSolid, Ink::kPenSwatch, false, false, "Sonic cross2.cut"},
    {kRectangle, Width::kShown, Style::kSolid, Ink::kPenSwatch, true, false, "Sonic cross3.cut"},
    {kEllipse, Width::kShown, Style::kSolid, Ink::kPenSwatch, true, false, "prcs_mox1.cut"},
    {kEraser, Width::kEraser, Style::kKept, Ink::kBackground, false, true, "Altr_Fsh.cut"},
    {kAreaErase, Width::kOne, Style::kDotted, Ink::kPenSwatch, true, false, "prcs_mox2.cut"},
};

// The strokes stay below the tool strip.
constexpr int kStripBottom = 40;
// What a release commits around the stroke box, what a move restores.
constexpr int kCommitMargin = 10;
constexpr int kRubberMargin = 5;

int EraserWidth(int shown) { return shown == 1 ? 15 : shown * 10; }

// "宽，高" of a line, rectangle or ellipse: half the distance in tenths.
AnsiString SizeText(int dx, int dy) { return FloatToStr((dx / 2) / 10.0) + "，" + FloatToStr((dy / 2) / 10.0); }

void Grow(int x, int y) {
  StrokeLeft = std::min(StrokeLeft, x);
  StrokeRight = std::max(StrokeRight, x);
  StrokeTop = std::min(StrokeTop, y);
  StrokeBottom = std::max(StrokeBottom, y);
}

TRect StrokeBox(int margin) {
  return TRect(StrokeLeft - margin, StrokeTop - margin, StrokeRight + margin, StrokeBottom + margin);
}

bool Empty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

}  // namespace

// ---- pens and cursors ----

void TForm3::ToolCursor(const char* file) {
  Screen->Cursors[2] = LoadCursorFromFile(file);
  Cursor = 2;
}

int TForm3::PenWidthShown() const { return std::clamp(StrToIntDef(Edit1->Text, 2), 1, 9); }

void TForm3::SetPenWidthForTool() {
  Canvas->Pen->Width = DrawMode == kEraser ? EraserWidth(PenWidthShown()) : PenWidthShown();
}

void TForm3::ArmTool(int mode) {
  PlainCommit();
  const ToolSpec* tool =
      std::find_if(std::begin(kTools), std::end(kTools), [mode](const ToolSpec& t) { return t.mode == mode; });
  DrawMode = mode;
  TPen* pen = Canvas->Pen;
  switch (tool->width) {
    case Width::kShown: pen->Width = PenWidthShown(); break;
    case Width::kEraser: pen->Width = EraserWidth(PenWidthShown()); break;
    case Width::kOne: pen->Width = 1; break;
  }
  if (tool->style != Style::kKept) pen->Style = tool->style == Style::kSolid ? psSolid : psDot;
  pen->Color = tool->ink == Ink::kPenSwatch ? LCP->Color() : ProbeColour();
  if (tool->clearBrush) Canvas->Brush->Style = bsClear;
  if (tool->clearsReadout) Panel3->Caption = "";
  ToolCursor(tool->cursor);
}

void TForm3::SpeedButton3Click(TObject*) { ArmTool(kPen); }
void TForm3::SpeedButton14Click(TObject*) { ArmTool(kLine); }
void TForm3::SpeedButton15Click(TObject*) { ArmTool(kRectangle); }
void TForm3::SpeedButton17Click(TObject*) { ArmTool(kEllipse); }
void TForm3::SpeedButton10Click(TObject*) { ArmTool(kEraser); }
void TForm3::SpeedButton13Click(TObject*) { ArmTool(kAreaErase); }

void TForm3::SpeedButton7Click(TObject*) {
  const AnsiString wider = IntToStr(std::min(PenWidthShown() + 1, 9));
  if (wider == Edit1->Text) return;
  Edit1->Text = wider;
  SetPenWidthForTool();
}

void TForm3::SpeedButton8Click(TObject*) {
  const AnsiString thinner = IntToStr(std::max(PenWidthShown() - 1, 1));
  if (thinner == Edit1->Text) return;
  Edit1->Text = thinner;
  SetPenWidthForTool();
}

// ---- colours ----

void TForm3::LCPClick(TObject*) {
  if (LCD->Execute()) {
    LCP->Color = LCD->Color;
    if (DrawMode != kEraser) Canvas->Pen->Color = LCD->Color;
  }
  Form1->PaintSource = 1;
}

void TForm3::SpeedButton9Click(TObject* Sender) { LCPClick(Sender); }

void TForm3::RCPClick(TObject*) {
  TBitmap* page = Pages[CurrentPage].get();
  if (!RCD->Execute()) {
    Canvas->Draw(0, 0, page);
    return;
  }
  const TColor chosen = RCD->Color;
  const int x = Screen->Width - 1;
  // The colour as the screen shows it, beside the probe pixel.
  Canvas->Pixels[x][37] = chosen;
  const TColor shown = Canvas->Pixels[x][37];
  if (shown == ProbeColour() && chosen == RCP->Color()) {
    Canvas->Draw(0, 0, page);
    return;
  }
  if (PageState[CurrentPage] > 1) {
    if (::MessageBox(Handle, "是否清除本页内容？", "提示信息", MB_YESNO) != IDYES) {
      // This page keeps its look; new and cleared pages take the colour.
      RCP->Color = chosen;
      Canvas->CopyRect(Rect(x, 37, x + 1, 38), page->Canvas, Rect(x, 37, x + 1, 38));
      return;
    }
  }
  Image2->Visible = false;
  Form1->PaintSource = 0;
  RCP->Color = chosen;
  Color = chosen;
  Invalidate();
  if (DrawMode == kEraser) Canvas->Pen->Color = chosen;
  Canvas->Brush->Style = bsClear;
  FillPage(CurrentPage, chosen);
  PageState[CurrentPage] = 1;
  LayerActive = 0;
  InvalidateUndo();
  NoteColour = TForm3::NoteColourFor(chosen);
}

// ---- clear and undo ----

void TForm3::SpeedButton5Click(TObject*) {
  Panel3->Caption = "";
  if (Image2->Visible && SelectionEndX > StartX) {
    // Clearing deletes the floating picture, not the page.
    const TRect place = Image2->BoundsRect;
    TCanvas* picture = Image2->Picture->Bitmap->Canvas;
    picture->Brush->Color = RCP->Color;
    picture->FillRect(Rect(0, 0, place.Width(), place.Height()));
    TCanvas* c = Pages[CurrentPage]->Canvas;
    c->Brush->Color = RCP->Color;
    c->FillRect(place);
    FloatIsPicture = 0;
    SelectionEndX = StartX;
    Image2->Visible = false;
    ZoomImageCached = 0;
    ZoomImage.reset();
    return;
  }
  Color = RCP->Color;
  Invalidate();
  Canvas->Brush->Style = bsClear;
  FillPage(CurrentPage, RCP->Color);
  PageState[CurrentPage] = 1;
  LayerActive = 0;
  InvalidateUndo();
}

// Straight from the snapshot: whatever lies over the box on the screen (a
// panel) stays out of the page.
void TForm3::RestoreFromSnapshot() {
  const TRect r = StrokeBox(kCommitMargin);
  if (Empty(r) || !ScratchBitmap) return;
  TBitmap* page = Pages[CurrentPage].get();
  page->Canvas->CopyRect(r, ScratchBitmap->Canvas, r);
  Canvas->CopyRect(r, page->Canvas, r);
}

void TForm3::SpeedButton4Click(TObject*) {
  Panel3->Caption = "";
  Image2->Visible = false;
  RestoreFromSnapshot();
}

// ---- strokes ----

void TForm3::RestoreFromPage(const TRect& r) { Canvas->CopyRect(r, Pages[CurrentPage]->Canvas, r); }

void TForm3::CopyToPage(const TRect& r) { Pages[CurrentPage]->Canvas->CopyRect(r, Canvas, r); }

void TForm3::FormMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  if (Image2->Visible) PressCommit();
  if (DrawMode == kRangeSelect) {
    Canvas->Pen->Width = 1;
    Canvas->Pen->Style = psDot;
  }
  Canvas->MoveTo(X, Y);
  StartX = X, StartY = Y;
  StrokeLeft = StrokeRight = X;
  StrokeTop = StrokeBottom = Y;
}

void TForm3::FormMouseMove(TObject*, TShiftState Shift, int X, int Y) {
  if (!Shift.Contains(ssLeft)) return;
  Y = std::max(Y, kStripBottom);
  Grow(X, Y);
  if (DrawMode <= kEllipse && PageState[CurrentPage] < 2) PageState[CurrentPage] = 2;
  if (DrawMode >= kLine && DrawMode <= kEllipse) Panel3->Caption = SizeText(X - StartX, Y - StartY);
  const TRect rubber = StrokeBox(kRubberMargin);
  switch (DrawMode) {
    case kPen: Canvas->LineTo(X, Y); break;
    case kLine:
      RestoreFromPage(rubber);
      Canvas->MoveTo(StartX, StartY);
      Canvas->LineTo(X, Y);
      break;
    case kRectangle:
      RestoreFromPage(rubber);
      Canvas->Rectangle(StartX, StartY, X, Y);
      break;
    case kEllipse:
      RestoreFromPage(rubber);
      Canvas->Ellipse(StartX, StartY, X, Y);
      break;
    case kEraser: {
      // The box takes in all the eraser touches, so that the release
      // commits it and undo restores it, however wide the eraser.
      if (LayerActive == 1) {
        const int side = PenWidthShown() * 10;
        Grow(X + side, Y + side);
        const TRect square(X, Y, X + side, Y + side);
        Canvas->CopyRect(square, LayerBitmap->Canvas, square);
      } else {
        const int reach = Canvas->Pen->Width / 2 + 1;
        const TPoint from = Canvas->PenPos;
        Grow(from.X - reach, from.Y - reach);
        Grow(from.X + reach, from.Y + reach);
        Grow(X - reach, Y - reach);
        Grow(X + reach, Y + reach);
        Canvas->LineTo(X, Y);
      }
      break;
    }
    case kRangeSelect:
    case kAreaErase:
      if (X > StartX && Y > StartY) {
        RestoreFromPage(rubber);
        Canvas->Rectangle(StartX, StartY, X, Y);
      }
      break;
  }
}

// The stroke box widened by the margin goes from the screen into the page,
// except where a panel lies over the board: a panel's picture never becomes
// part of the page.
void TForm3::CommitStroke() {
  const TRect box = StrokeBox(kCommitMargin);
  if (Empty(box)) return;
  QRegion shows(QRect(box.Left, box.Top, box.Width(), box.Height()));
  for (int i = 0; i < ControlCount; ++i)
    if (auto* panel = dynamic_cast<TWinControl*>(Controls(i)); panel && panel->Visible)
      shows -= QRect(panel->Left, panel->Top, panel->Width, panel->Height);
  for (const QRect& r : shows) CopyToPage(Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1));
}

void TForm3::FormMouseUp(TObject*, TMouseButton, TShiftState, int X, int Y) {
  if (Panel5->Visible) {
    const int top = Panel5->Top, bottom = Panel5->Top + Panel5->Height;
    if (top == 41) {
      if (StrokeTop - kCommitMargin < bottom) StrokeTop = bottom + kCommitMargin;
    } else if (top < StrokeBottom + kCommitMargin) {
      StrokeBottom = top - kCommitMargin;
    }
  }
  TBitmap* page = Pages[CurrentPage].get();
  if (!ScratchBitmap) ScratchBitmap = NewPageBitmap();
  ScratchBitmap->Assign(page);
  CommitStroke();
  if (Image2->Visible) FloatInsideToPage();
  if (DrawMode == kAreaErase) {
    const TRect area(StrokeLeft, StrokeTop, StrokeRight, StrokeBottom);
    if (LayerActive == 1) {
      Canvas->CopyRect(area, LayerBitmap->Canvas, area);
      page->Canvas->CopyRect(area, LayerBitmap->Canvas, area);
    } else {
      const TColor background = ProbeColour();
      Canvas->Brush->Color = background;
      Canvas->FillRect(area);
      page->Canvas->Brush->Color = background;
      page->Canvas->FillRect(area);
    }
    ToolCursor("prcs_mox2.cut");
    Canvas->Brush->Style = bsClear;
    Canvas->Pen->Width = 1;
    Canvas->Pen->Style = psDot;
    Canvas->Pen->Color = LCP->Color;
  }
  // A selection too small to float anything leaves the page as it was,
  // without the frame its drag drew.
  if (DrawMode == kRangeSelect && PendingStamp == 0 && !CutSelection(X, Y)) RestoreFromSnapshot();
  if (PendingStamp != 0) PlaceStamp();
}
