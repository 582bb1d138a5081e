// Turning the board to its next page: the page left keeps its panel
// rectangle, a page past the last one is made when the page left has
// content (never beyond page 99), and a page reached shows again with its
// panel.
#include "board/board.h"

namespace {

// The panel of a page that is reached: shown at the page's rectangle when
// the page has one.
void RestorePanel(TForm3* board, int page) {
  if (board->PanelKind(page) < 1) {
    board->Panel4->Hide();
    return;
  }
  board->Panel4->SetBounds(board->PanelLeft[page], board->PanelTop[page], board->PanelWidth[page],
                           board->PanelHeight[page]);
  board->Panel4->Show();
}

}  // namespace

void TForm3::SpeedButton12Click(TObject*) {
  LayerActive = 0;
  Panel3->Caption = "";
  PlainCommit();
  if (Edit2->Text != "99" && (PageState[CurrentPage] == 2 || CurrentPage < PageCount)) {
    InvalidateUndo();
    if (Panel4->Visible) {
      Image1->Hide();
      SavePanel(CurrentPage);
    }
    ++CurrentPage;
    if (CurrentPage > PageCount) {
      Panel4->Hide();
      Pages[CurrentPage] = NewPageBitmap();
      PageCount = CurrentPage;
      ScrollBar1->Max = PageCount;
      Color = RCP->Color;
      Invalidate();
      Canvas->Brush->Style = bsClear;
      FillPage(CurrentPage, RCP->Color);
      Pages[CurrentPage]->Canvas->Brush->Style = bsClear;
      const int previous = CurrentPage - 1;
      PanelLeft[CurrentPage] = PanelLeft[previous];
      PanelTop[CurrentPage] = PanelTop[previous];
      PanelWidth[CurrentPage] = PanelWidth[previous];
      PanelHeight[CurrentPage] = PanelHeight[previous];
      // A page marked in advance (the rest of a tall scan) keeps its state.
    } else {
      RestorePanel(this, CurrentPage);
      Canvas->Draw(0, 0, Pages[CurrentPage].get());
    }
    Edit2->Text = IntToStr(CurrentPage);
    if (DrawMode == kEraser) Canvas->Pen->Color = ProbeColour(CurrentPage);
  }
  NoteColour = RCP->Color == TColor(0x808080) ? TColor(0xA5A5A5) : ProbeColour(CurrentPage);
  // The lower part of a tall scan floats over the page it continues on.
  if (Image2->Tag == CurrentPage) {
    Image2->Top = 90 - Screen->Height;
    Image2->Show();
    Image2->Tag = 0;
  }
}
