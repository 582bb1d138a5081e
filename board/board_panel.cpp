// The board's text and web panel: one panel, Panel4, over the page, holding
// a note (RichEdit1) or a web or media view (WebBrowser1). What a page has
// is kept per page: its panel kind (with the page's bitmap), its panel
// rectangle, and its note in the program folder's file named by the page
// number, as rich text.
//
// The panel moves over the board as a window over its parent: where it no
// longer covers, the board shows the page again.
#include <cstdlib>

#include "board/board.h"
#include "board/glyphs.h"
#include "board/toolbar.h"
#include "platform/fs/files.h"
#include "platform/text/gbk.h"
#include "platform/win/process.h"

namespace {

constexpr int kPanelWidth = 368;
constexpr int kStripHeight = 20;

// The note's colour on the page backgrounds where the background itself
// would hide black text; any other background is the note's colour.
struct NoteColourCase {
  TColor background, note;
};
const NoteColourCase kNoteColours[] = {
    {TColor(0x000000), TColor(0x626262)},
    {TColor(0x000040), TColor(0x626262)},
    {TColor(0x400040), TColor(0x626262)},
    {TColor(0x808080), TColor(0xA5A5A5)},
};

// The pictures of the strip's buttons that have them.
const struct {
  TSpeedButton* TForm3::*button;
  const char* glyph;
} kGlyphs[] = {
    {&TForm3::SpeedButton16, "pn_font"},    {&TForm3::SpeedButton26, "pn_media"}, {&TForm3::SpeedButton34, "pn_scan"},
    {&TForm3::SpeedButton32, "pn_gallery"}, {&TForm3::SpeedButton23, "pn_paste"}, {&TForm3::SpeedButton31, "pn_layer"},
    {&TForm3::SpeedButton41, "pn_flatten"},
};

// The input method the note asks for while it has the focus:
// $QUARVEL_IME_NAME (UTF-8), or none (the desktop's own choice).
AnsiString NoteInputMethod() {
  const char* name = getenv("QUARVEL_IME_NAME");
  return name && *name ? gbk::FromUtf8(name) : AnsiString();
}

bool EndsWith(const AnsiString& s, const char* end) {
  const AnsiString e(end);
  return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
}

void Line(TCanvas* c, int x1, int y1, int x2, int y2) {
  c->MoveTo(x1, y1);
  c->LineTo(x2, y2);
}

// The handle strip's picture: the symbols of the buttons that have no
// picture of their own, which lie over it transparent.
void DrawHandleStrip(TBitmap* b) {
  b->SetSize(kPanelWidth, kStripHeight);
  TCanvas* c = b->Canvas;
  c->Brush->Color = TColor(0xF0E6D8);
  c->FillRect(Rect(0, 0, kPanelWidth, kStripHeight));
  c->Brush->Color = TColor(0x404040);
  c->Pen->Color = TColor(0x404040);
  c->Pen->Width = 1;
  // Restore (30..50): two windows.
  c->FrameRect(Rect(34, 8, 44, 16));
  c->FrameRect(Rect(37, 4, 47, 12));
  // Maximise (91..113): one window with its title.
  c->FrameRect(Rect(95, 3, 109, 17));
  c->FillRect(Rect(95, 3, 109, 6));
  // Widen (292..309): a double arrow.
  Line(c, 294, 10, 307, 10);
  Line(c, 294, 10, 298, 6), Line(c, 294, 10, 298, 14);
  Line(c, 306, 10, 302, 6), Line(c, 306, 10, 302, 14);
  c->Pen->Width = 2;
  // Hide the strip (325..343): a bar.
  Line(c, 329, 13, 339, 13);
  // Close (343..362): a cross.
  Line(c, 347, 4, 357, 14);
  Line(c, 357, 4, 347, 14);
}

}  // namespace

void DeleteStalePanelFiles(const std::string& programFolder) {
  for (int page = 1; page <= kMaxPages; ++page) DeleteFile(programFolder + IntToStr(page));
}

// ---- the controls ----

void TForm3::BuildPanel() {
  DrawHandleStrip(Image1->Picture->Bitmap);
  Image1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    Image1MouseDown(s, b, sh, x, y);
  };
  Image1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Image1MouseMove(s, sh, x, y); };

  WebBrowser1 = new TWebBrowser(this);
  WebBrowser1->Parent = Panel4;
  WebBrowser1->Align = alClient;
  WebBrowser1->OnEnter = [this](TObject* s) { WebBrowser1Enter(s); };
  WebBrowser1->OnExit = [this](TObject* s) { WebBrowser1Exit(s); };

  RichEdit1 = new TRichEdit(this);
  RichEdit1->Parent = Panel4;
  RichEdit1->Align = alClient;
  RichEdit1->BorderStyle = bsNone;
  RichEdit1->Color = TColor(0x808080);
  RichEdit1->Cursor = crIBeam;
  RichEdit1->Font->Name = "隶书";
  RichEdit1->Font->Height = -48;
  RichEdit1->Font->Charset = GB2312_CHARSET;
  RichEdit1->Font->Color = clBlack;
  RichEdit1->PlainText = false;
  RichEdit1->ImeName = NoteInputMethod();
  RichEdit1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    RichEdit1MouseDown(s, b, sh, x, y);
  };
  RichEdit1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { RichEdit1MouseMove(s, sh, x, y); };

  FontDialog1 = new TFontDialog(this);
  FontDialog1->OnApply = [this](TObject* s, HWND w) { FontDialog1Apply(s, w); };
  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->Filter = "swf files (*.swf)|*.SWF|htm files(*.htm)|*.HTM|*.pps|*.pps|*.ppt|*.ppt";
  OpenDialog1->FileName = "dream[1].swf";

  for (const auto& g : kGlyphs) LoadGlyph(this->*g.button, g.glyph);
  const struct {
    TSpeedButton* TForm3::*button;
    void (TForm3::*click)(TObject*);
  } clicks[] = {
      {&TForm3::SpeedButton18, &TForm3::SpeedButton18Click}, {&TForm3::SpeedButton16, &TForm3::SpeedButton16Click},
      {&TForm3::SpeedButton19, &TForm3::SpeedButton19Click}, {&TForm3::SpeedButton41, &TForm3::SpeedButton41Click},
      {&TForm3::SpeedButton31, &TForm3::SpeedButton31Click}, {&TForm3::SpeedButton21, &TForm3::SpeedButton21Click},
      {&TForm3::SpeedButton22, &TForm3::SpeedButton22Click}, {&TForm3::SpeedButton20, &TForm3::SpeedButton20Click},
      {&TForm3::SpeedButton23, &TForm3::SpeedButton23Click}, {&TForm3::SpeedButton24, &TForm3::SpeedButton24Click},
      {&TForm3::SpeedButton26, &TForm3::SpeedButton26Click},
  };
  for (const auto& c : clicks) (this->*c.button)->OnClick = [this, f = c.click](TObject* s) { (this->*f)(s); };
}

TColor TForm3::GetNoteColour() const { return RichEdit1->Color; }
void TForm3::SetNoteColour(TColor c) { RichEdit1->Color = c; }

TColor TForm3::NoteColourFor(TColor background) {
  for (const NoteColourCase& k : kNoteColours)
    if (k.background == background) return k.note;
  return background;
}

AnsiString TForm3::PanelFile(int page) const { return ProgramFolder + IntToStr(page); }

// ---- helpers ----

void TForm3::MovePanel(int left, int top, int width, int height) {
  const TRect was = Panel4->BoundsRect;
  Panel4->SetBounds(left, top, width, height);
  if (Panel4->Visible && Pages[CurrentPage]) Canvas->CopyRect(was, Pages[CurrentPage]->Canvas, was);
}

void TForm3::HidePanel() {
  const bool shown = Panel4->Visible;
  Panel4->Hide();
  const TRect was = Panel4->BoundsRect;
  if (shown && Pages[CurrentPage]) Canvas->CopyRect(was, Pages[CurrentPage]->Canvas, was);
}

void TForm3::FillPanelArea(int page) {
  TCanvas* c = Pages[page]->Canvas;
  c->Brush->Color = ProbeColour(page);
  c->FillRect(Panel4->BoundsRect);
}

// ---- opening, moving, resizing ----

void TForm3::SpeedButton18Click(TObject*) {
  const int p = CurrentPage;
  MovePanel(PanelLeft[p], PanelTop[p], PanelWidth[p], PanelHeight[p]);
  Image1->Visible = !Image1->Visible;
  Panel4->Show();
  if (PageState[p] < 2) PageState[p] = 2;
  if (PanelKind(p) != 0) return;
  if (LayerActive != 1) {
    PageBackup->Assign(Pages[p].get());
    PageBackupPage = 0, PageBackupBitmap = nullptr;
  }
  if (FileExists(PanelFile(p)))
    RichEdit1->Lines->LoadFromFile(PanelFile(p));
  else
    RichEdit1->Lines->Clear();
  SetPanelKind(p, 1);
  RichEdit1->Show();
}

void TForm3::Image1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  PanelDragWidth = Panel4->Width;
  PanelDragHeight = Panel4->Height;
  StartX = X;
  StartY = Y;
  if (PanelOnPage[CurrentPage] == 1) FillPanelArea(CurrentPage);
}

void TForm3::Image1MouseMove(TObject*, TShiftState Shift, int X, int Y) {
  if (!Shift.Contains(ssLeft)) {
    Image1->Cursor = X > Image1->Width - 5 ? crSizeWE : crSizeAll;
    return;
  }
  if (Image1->Cursor == crSizeAll)
    MovePanel(Panel4->Left + X - StartX, Panel4->Top + Y - StartY, Panel4->Width, Panel4->Height);
  else
    MovePanel(Panel4->Left, Panel4->Top, PanelDragWidth + X - StartX, Panel4->Height);
  Form1->PaintSource = 1;
}

void TForm3::RichEdit1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  Image1->Show();
  StartX = X;
  StartY = Y;
  PanelDragWidth = Panel4->Width;
  PanelDragHeight = Panel4->Height;
  // Only a copy of the panel stamped into the page goes; what else lies
  // under the panel stays.
  if ((X > PanelDragWidth - 5 || Y > PanelDragHeight - 8) && PanelOnPage[CurrentPage] == 1)
    FillPanelArea(CurrentPage);
}

void TForm3::RichEdit1MouseMove(TObject*, TShiftState Shift, int X, int Y) {
  if (!Shift.Contains(ssLeft)) {
    const int w = RichEdit1->Width, h = RichEdit1->Height;
    if (X > w - 5 && Y > h - 5)
      RichEdit1->Cursor = crSizeNWSE;
    else if (Y > h - 8)
      RichEdit1->Cursor = crSizeNS;
    else if (X > w - 5)
      RichEdit1->Cursor = crSizeWE;
    else
      RichEdit1->Cursor = crIBeam;
    return;
  }
  const int width = PanelDragWidth + X - StartX, height = PanelDragHeight + Y - StartY;
  switch (RichEdit1->Cursor()) {
    case crSizeNWSE: MovePanel(Panel4->Left, Panel4->Top, width, height); break;
    case crSizeNS: MovePanel(Panel4->Left, Panel4->Top, Panel4->Width, height); break;
    case crSizeWE: MovePanel(Panel4->Left, Panel4->Top, width, Panel4->Height); break;
    default: return;  // selecting text
  }
  Form1->PaintSource = 1;
}

// ---- font ----

void TForm3::SpeedButton16Click(TObject*) {
  FontDialog1->Font->Assign(RichEdit1->SelAttributes);
  if (FontDialog1->Execute()) RichEdit1->SelAttributes->Assign(FontDialog1->Font);
  Form1->PaintSource = 1;
}

void TForm3::FontDialog1Apply(TObject*, HWND) {
  RichEdit1->Font->Assign(FontDialog1->Font);
  Pages[CurrentPage]->Canvas->Font->Assign(FontDialog1->Font);
}

// ---- closing and flattening ----

void TForm3::SpeedButton19Click(TObject*) {
  const int p = CurrentPage;
  const TRect r = Panel4->BoundsRect;
  Image1->Hide();
  if (LayerActive == 1) {
    if (PageBackup->Width == Screen->Width && PageBackup->Height == Screen->Height)
      Pages[p]->Canvas->CopyRect(r, PageBackup->Canvas, r);
    LayerActive = 0;
  }
  if (PanelOnPage[p] == 1) {
    FillPanelArea(p);
    PanelOnPage[p] = 0;
  }
  HidePanel();
  WebBrowser1->Navigate("");
  SavePanelNote(p);
  SavePanel(p);
  SetPanelKind(p, 0);
  Form1->PaintSource = 1;
}

void TForm3::SpeedButton41Click(TObject*) {
  const int p = CurrentPage;
  Image1->Hide();
  if (PanelOnPage[p] == 1) {
    FillPanelArea(p);
    PanelOnPage[p] = 0;
  }
  // What the screen shows there: the panel with its note or view.
  const TRect r = Panel4->BoundsRect;
  Pages[p]->Canvas->CopyRect(r, Canvas, r);
  Panel4->Hide();
  Canvas->Draw(0, 0, Pages[p].get());
  WebBrowser1->Navigate("");
  SavePanelNote(p);
  SavePanel(p);
  SetPanelKind(p, 0);
  Form1->PaintSource = 1;
}

void TForm3::SpeedButton31Click(TObject*) {
  const int p = CurrentPage;
  const int w = Screen->Width, h = Screen->Height;
  Image1->Hide();
  const TRect r = Panel4->BoundsRect;
  Pages[p]->Canvas->CopyRect(r, Canvas, r);
  LayerBitmap->SetSize(w, h);
  LayerBitmap->Canvas->Brush->Color = ProbeColour();
  LayerBitmap->Canvas->FillRect(Rect(0, 0, w, h));
  LayerBitmap->Canvas->CopyRect(r, Canvas, r);
  LayerActive = 1;
  Panel4->Hide();
  Canvas->Draw(0, 0, Pages[p].get());
  // The note stays the page's: the panel opens with it again.
  SavePanelNote(p);
  SavePanel(p);
}

// ---- size ----

void TForm3::SpeedButton21Click(TObject*) {
  const int p = CurrentPage;
  PageBackup->Assign(Pages[p].get());
  PageBackupPage = p, PageBackupBitmap = Pages[p].get();
  MovePanel(0, Panel4->Top, Screen->Width, Screen->Height);
}

void TForm3::SpeedButton22Click(TObject*) {
  const int p = CurrentPage;
  MovePanel(0, Panel4->Top, kPanelWidth, Screen->Height - 40);
  // Only the backup this page's maximise took goes back into it, once.
  if (PageBackupPage == p && PageBackupBitmap == Pages[p].get() && PageBackup->Width == Screen->Width &&
      PageBackup->Height == Screen->Height) {
    Pages[p]->Assign(PageBackup.get());
    PageBackupPage = 0, PageBackupBitmap = nullptr;
    InvalidateUndo();
    Canvas->Draw(0, 0, Pages[p].get());
  }
  Form1->PaintSource = 1;
}

void TForm3::SpeedButton20Click(TObject*) {
  MovePanel(Panel4->Left, Panel4->Top, Panel4->Width + 20, Panel4->Height);
}

// ---- content ----

void TForm3::SpeedButton23Click(TObject*) {
  RichEdit1->Show();
  RichEdit1->PasteFromClipboard();
  SetPanelKind(CurrentPage, 1);
  WebBrowser1->Navigate("");
}

void TForm3::SpeedButton24Click(TObject*) { Image1->Hide(); }

void TForm3::WebBrowser1Enter(TObject*) { Image1->Show(); }
void TForm3::WebBrowser1Exit(TObject*) { Image1->Hide(); }

void TForm3::SpeedButton26Click(TObject* Sender) {
  OpenDialog1->InitialDir = ProgramFolder;
  if (!OpenDialog1->Execute()) return;
  const AnsiString name = OpenDialog1->FileName;
  if (EndsWith(name, ".pps") || EndsWith(name, ".ppt")) {
    // The presentation program shows it on the desktop.
    SpeedButton40Click(Sender);
    ShellExecute(Handle, "open", name.c_str(), nullptr, nullptr, SW_HIDE);
    return;
  }
  RichEdit1->Hide();
  SetPanelKind(CurrentPage, 2);
  WebBrowser1->Navigate(name);
}

// ---- what other commands do with the panel ----

void TForm3::SavePanelNote(int page) {
  if (PanelKind(page) == 1) RichEdit1->Lines->SaveToFile(PanelFile(page));
}

void TForm3::LeavePanel() {
  Image1->Hide();
  SavePanelNote(CurrentPage);
  SavePanel(CurrentPage);
}

void TForm3::ArrivePanel(int page) {
  const int kind = PanelKind(page);
  if (kind == 0) {
    HidePanel();
    RichEdit1->Lines->Clear();
    return;
  }
  if (kind == 2) {
    RichEdit1->Hide();
    RichEdit1->Lines->Clear();
  } else {
    RichEdit1->Show();
    if (FileExists(PanelFile(page))) RichEdit1->Lines->LoadFromFile(PanelFile(page));
  }
  MovePanel(PanelLeft[page], PanelTop[page], PanelWidth[page], PanelHeight[page]);
  Panel4->Show();
}

void TForm3::NewPagePanel(int page) {
  HidePanel();
  RichEdit1->Lines->Clear();
  if (page < 2 || page > kMaxPages) return;
  PanelLeft[page] = PanelLeft[page - 1];
  PanelTop[page] = PanelTop[page - 1];
  PanelWidth[page] = PanelWidth[page - 1];
  PanelHeight[page] = PanelHeight[page - 1];
}
