// The board's page store, its paint and the commands of the tool strip that
// lead away from drawing: settings, curtain, back to the desktop.
#include "board/board.h"

#include "board/curtain.h"
#include "board/lessons.h"
#include "board/toolbar.h"
#include "board/writing_panel.h"
#include "platform/fs/folders.h"
#include "platform/win/cursor.h"
#include "platform/win/input.h"

TForm3* Form3 = nullptr;

int DrawMode = kPen;
int StartX = 0, StartY = 0;
int StrokeLeft = 10, StrokeTop = 10, StrokeRight = -10, StrokeBottom = -10;
int SelectionEndX = 0, SelectionEndY = 0;
float ZoomFactor = 1.0f;
int ZoomImageCached = 0;

namespace {
// The column beside the tool strip always shows the page; row 38 lies
// below every stroke's reach into the strip.
constexpr int kProbeY = 38;
}  // namespace

TForm3::TForm3(TComponent* owner) : TForm(owner) { BuildForm(); }

// ---- the page store ----

std::unique_ptr<TBitmap> TForm3::NewPageBitmap() {
  auto page = std::make_unique<TBitmap>();
  page->SetSize(Screen->Width, Screen->Height);
  return page;
}

int TForm3::PanelKind(int page) const {
  if (page < 1 || page > kMaxPages || !Pages[page]) return 0;
  return Pages[page]->Canvas->TextFlags;
}

void TForm3::SetPanelKind(int page, int kind) {
  if (page >= 1 && page <= kMaxPages && Pages[page]) Pages[page]->Canvas->TextFlags = kind;
}

void TForm3::InvalidateUndo() {
  StrokeLeft = 10, StrokeTop = 10, StrokeRight = -10, StrokeBottom = -10;
}

void TForm3::SetScratchBitmap(std::unique_ptr<TBitmap> bitmap) {
  ScratchBitmap = std::move(bitmap);
  InvalidateUndo();
}

TColor TForm3::ProbeColour() const { return Canvas->Pixels[Screen->Width - 1][kProbeY]; }

TColor TForm3::ProbeColour(int page) const {
  if (page < 0 || page > kMaxPages || !Pages[page]) return ProbeColour();
  return Pages[page]->Canvas->Pixels[Screen->Width - 1][kProbeY];
}

void TForm3::SavePanel(int page) {
  PanelLeft[page] = Panel4->Left;
  PanelTop[page] = Panel4->Top;
  PanelWidth[page] = Panel4->Width;
  PanelHeight[page] = Panel4->Height;
}

void TForm3::FillPage(int page, TColor colour) {
  TCanvas* c = Pages[page]->Canvas;
  c->Brush->Color = colour;
  c->FillRect(Rect(0, 0, Screen->Width, Screen->Height));
}

// ---- creation, size and paint ----

void TForm3::FormCreate(TObject*) {
  ProgramFolder = GetProgramFolder();
  Screen->Cursors[2] = LoadCursorFromFile("Text_Hnd.cut");
  Cursor = 2;
  Panel4->Height = Screen->Height - 45;
  BorderStyle = bsNone;
  WindowState = wsMaximized;
  DrawMode = kPen;
  Canvas->Brush->Style = bsClear;
  ZoomImageCached = 0;
  LayerActive = 0;
  CurrentPage = 1;
  PageCount = 1;
  FloatBitmap = std::make_unique<TBitmap>();
  PageBackup = std::make_unique<TBitmap>();
  LayerBitmap = std::make_unique<TBitmap>();
  StampJpeg = std::make_unique<TJPEGImage>();
  StripLeftBitmap = std::make_unique<TBitmap>();
  StripRightBitmap = std::make_unique<TBitmap>();
  Pages[1] = NewPageBitmap();
  ScratchBitmap = NewPageBitmap();
  Panel6->Height = 1;
  PanelLeft[1] = 0;
  PanelTop[1] = 41;
  PanelWidth[1] = Panel4->Width;
  PanelHeight[1] = Panel4->Height;
  Panel2->Width = Screen->Width - 2;
}

void TForm3::FormResize(TObject*) { Panel2->Width = Screen->Width - 1; }

void TForm3::FormPaint(TObject*) {
  if (Form1->PaintSource >= 2) {
    const int page = Form6->LoadingPage;
    Form1->PaintSource = 0;
    // Only a lesson image set up for an existing page is captured; anything
    // else paints the current page.
    if (Form6->LessonImage && Form6->LessonGraphics && page >= 1 && page <= kMaxPages && Pages[page]) {
      Form6->LessonGraphics->DrawImage(Form6->LessonImage.get(), 0, 0);
      // The page takes the picture itself, never what lies over the board.
      Gdiplus::Graphics(Pages[page]->Canvas->Handle).DrawImage(Form6->LessonImage.get(), 0, 0);
      if (page == CurrentPage) InvalidateUndo();
      return;
    }
  }
  // Only what the paint is to renew: the rest of the screen shows the page
  // already.
  const TRect r = Canvas->ClipRect;
  Canvas->CopyRect(r, Pages[CurrentPage]->Canvas, r);
}

// ---- commands ----

void TForm3::SpeedButton6Click(TObject*) {
  SavePanelNote(CurrentPage);
  SavePanel(CurrentPage);
  Form6->TeacherUnlocked = 0;
  Form6->ShowModal();
}

void TForm3::SpeedButton2Click(TObject*) {
  Form5->Show();
  SetCursorPos(Screen->Width, 50);
}

void TForm3::SpeedButton40Click(TObject*) {
  if (Form14->Tag == 1) Form14->Show();
  Panel3->Caption = "";
  Close();
  Form1->Show();
  Form1->Timer1->Enabled = true;
}
