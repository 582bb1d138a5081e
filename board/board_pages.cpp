// Turning the board to its next page: the page left keeps its panel
// rectangle, a page past the last one is made when the page left has
// content (never beyond page 99), and a page reached shows again with its
// panel.
#include "board/board.h"

void TForm3::SpeedButton12Click(TObject*) {
  LayerActive = 0;
  Panel3->Caption = "";
  PlainCommit();
  if (Edit2->Text != "99" && (PageState[CurrentPage] == 2 || CurrentPage < PageCount)) {
    InvalidateUndo();
    if (Panel4->Visible) LeavePanel();
    ++CurrentPage;
    if (CurrentPage > PageCount) {
      Pages[CurrentPage] = NewPageBitmap();
      PageCount = CurrentPage;
      ScrollBar1->Max = PageCount;
      Color = RCP->Color;
      Invalidate();
      Canvas->Brush->Style = bsClear;
      FillPage(CurrentPage, RCP->Color);
      Pages[CurrentPage]->Canvas->Brush->Style = bsClear;
      NewPagePanel(CurrentPage);
      // A page marked in advance (the rest of a tall scan) keeps its state.
    } else {
      ArrivePanel(CurrentPage);
      Canvas->Draw(0, 0, Pages[CurrentPage].get());
    }
    Edit2->Text = IntToStr(CurrentPage);
    if (DrawMode == kEraser) Canvas->Pen->Color = ProbeColour(CurrentPage);
  }
  NoteColour = RCP->Color == TColor(0x808080) ? TColor(0xA5A5A5) : NoteColourFor(ProbeColour(CurrentPage));
  // The lower part of a tall scan floats over the page it continues on.
  if (Image2->Tag == CurrentPage) {
    Image2->Top = 90 - Screen->Height;
    Image2->Show();
    Image2->Tag = 0;
  }
}
