// Turning the board's pages. Forward past the last page makes a new page,
// but only when the page left has content and never beyond page 99; every
// turn commits the floating picture first, keeps the text panel of the page
// left and shows the panel of the page reached.
#include "board/board.h"
#include "board/glyphs.h"
#include "board/toolbar.h"

namespace {

// The note's colour on the grey background of a new board.
constexpr TColor kGreyBackground = TColor(0x808080);
constexpr TColor kNoteOnGrey = TColor(0xA5A5A5);

}  // namespace

void TForm3::NoteFollowsPage() {
  NoteColour = RCP->Color == kGreyBackground ? kNoteOnGrey : NoteColourFor(ProbeColour(CurrentPage));
}

void TForm3::SpeedButton12Click(TObject*) {
  LayerActive = 0;
  Panel3->Caption = "";
  PlainCommit();
  // The page number shown is the limit the teacher sees; the page store's
  // own bound keeps a count out of step with it from running past it.
  if (Edit2->Text != "99" && CurrentPage < kMaxPages &&
      (PageState[CurrentPage] == 2 || CurrentPage < PageCount)) {
    InvalidateUndo();
    if (Panel4->Visible) LeavePanel();
    ++CurrentPage;
    if (CurrentPage > PageCount) {
      // A bitmap left above a lowered page count goes with its panel kind.
      Pages[CurrentPage] = NewPageBitmap();
      PageCount = CurrentPage;
      ScrollBar1->Max = PageCount;
      Color = RCP->Color;
      Invalidate();
      Canvas->Brush->Style = bsClear;
      FillPage(CurrentPage, RCP->Color);
      Pages[CurrentPage]->Canvas->Brush->Style = bsClear;
      NewPagePanel(CurrentPage);
      // PageState stays: 2 for a page a tall scan has marked in advance.
    } else {
      ArrivePanel(CurrentPage);
      Canvas->Draw(0, 0, Pages[CurrentPage].get());
    }
    Edit2->Text = IntToStr(CurrentPage);
    if (DrawMode == kEraser) Canvas->Pen->Color = ProbeColour(CurrentPage);
  }
  NoteFollowsPage();
  // The lower part of a tall scan floats over the page it continues on.
  if (Image2->Tag == CurrentPage) {
    Image2->Top = 90 - Screen->Height;
    Image2->Show();
    Image2->Tag = 0;
  }
}

void TForm3::SpeedButton11Click(TObject*) {
  LayerActive = 0;
  Panel3->Caption = "";
  PlainCommit();
  if (Edit2->Text != "1" && CurrentPage > 1) {
    InvalidateUndo();
    if (Panel4->Visible) LeavePanel();
    --CurrentPage;
    Edit2->Text = IntToStr(CurrentPage);
    ArrivePanel(CurrentPage);
    Canvas->Draw(0, 0, Pages[CurrentPage].get());
    if (DrawMode == kEraser) Canvas->Pen->Color = ProbeColour(CurrentPage);
  }
  NoteFollowsPage();
}

void TForm3::WirePageControls() {
  SpeedButton11->OnClick = [this](TObject* s) { SpeedButton11Click(s); };
  SpeedButton12->OnClick = [this](TObject* s) { SpeedButton12Click(s); };
  SpeedButton35->OnClick = [this](TObject* s) { SpeedButton35Click(s); };
  SpeedButton36->OnClick = [this](TObject* s) { SpeedButton36Click(s); };
  Image2->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    Image2MouseDown(s, b, sh, x, y);
  };
  Image2->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Image2MouseMove(s, sh, x, y); };

  // The page strip.
  const struct {
    TSpeedButton* TForm3::*button;
    void (TForm3::*click)(TObject*);
  } stripButtons[] = {
      {&TForm3::SpeedButton1, &TForm3::SpeedButton1Click},   {&TForm3::SpeedButton28, &TForm3::SpeedButton28Click},
      {&TForm3::SpeedButton27, &TForm3::SpeedButton27Click}, {&TForm3::SpeedButton29, &TForm3::SpeedButton29Click},
      {&TForm3::SpeedButton30, &TForm3::SpeedButton30Click}, {&TForm3::SpeedButton37, &TForm3::SpeedButton37Click},
      {&TForm3::SpeedButton38, &TForm3::SpeedButton38Click},
  };
  for (const auto& b : stripButtons) (this->*b.button)->OnClick = [this, f = b.click](TObject* s) { (this->*f)(s); };
  ScrollBar1->OnChange = [this](TObject* s) { ScrollBar1Change(s); };
  ScrollBar1->OnScroll = [this](TObject* s, TScrollCode code, int& pos) { ScrollBar1Scroll(s, code, pos); };
  Image3->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Image3MouseUp(s, b, sh, x, y); };
  // The gallery.
  const struct {
    TBitBtn* TForm3::*tab;
    void (TForm3::*click)(TObject*);
  } tabs[] = {{&TForm3::BitBtn1, &TForm3::BitBtn1Click},
              {&TForm3::BitBtn2, &TForm3::BitBtn2Click},
              {&TForm3::BitBtn3, &TForm3::BitBtn3Click}};
  for (const auto& t : tabs) (this->*t.tab)->OnClick = [this, f = t.click](TObject* s) { (this->*f)(s); };
  SpeedButton32->OnClick = [this](TObject* s) { SpeedButton32Click(s); };
  SpeedButton33->OnClick = [this](TObject* s) { SpeedButton33Click(s); };
  Image26->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    Image26MouseUp(s, b, sh, x, y);
  };
  LoadGlyph(SpeedButton33, "ga_close");
  LoadGlyph(SpeedButton37, "st_up");
  LoadGlyph(SpeedButton38, "st_down");
  LoadPicture(Image4->Picture, "st_row");
}
