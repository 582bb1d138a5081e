// Shared by the tests of page turning, the page strip and the gallery: the
// board inside the test program, back to one page that was never drawn on,
// writing "tmp.bmt" into the test's own folder.
#pragma once
#include <QDir>

#include <string>
#include <vector>

#include "tests/board/board_test.h"

namespace pagestest {

inline const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

inline COLORREF Background() { return COLORREF(Form3->RCP->Color()); }

// The folder the board takes for its program folder: the test's own.
inline std::string Folder() { return QDir::currentPath().toStdString() + "/"; }

inline std::string Identify(const std::string& file) {
  return boardtest::Shell("identify -format '%m %wx%h' '" + file + "' 2>/dev/null");
}

inline void Paint(int page, const QRect& r, COLORREF colour) {
  TCanvas* c = Form3->Pages[page]->Canvas;
  c->Brush->Color = TColor(colour);
  c->FillRect(Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1));
}

// Pages 2..count made, each filled with its colour (page 1 keeps the
// background).
inline void MakePages(const std::vector<COLORREF>& colours) {
  int page = 2;
  for (COLORREF c : colours) {
    Form3->Pages[page] = TForm3::NewPageBitmap();
    Form3->FillPage(page, TColor(c));
    ++page;
  }
  Form3->PageCount = page - 1;
  Form3->ScrollBar1->Max = Form3->PageCount;
}

// The board shown and brought back to one page that was never drawn on,
// no panel, strip or floating picture, in the start-up colours.
inline bool ResetBoard() {
  if (!boardtest::BoardUp()) return false;
  Form3->ProgramFolder = Folder();
  Form3->Panel5->Hide();
  for (int p = 2; p <= kMaxPages; ++p) Form3->Pages[p].reset(), Form3->PageState[p] = 0;
  Form3->PageCount = 1;
  Form3->CurrentPage = 1;
  Form3->PageState[1] = 0;
  Form3->PanelOnPage[1] = 0;
  Form3->SetPanelKind(1, 0);
  Form3->Edit2->Text = "1";
  Form3->ScrollBar1->Max = 1;
  Form3->RCP->Color = TColor(4194304);
  Form3->LCP->Color = TColor(33023);
  Form3->FillPage(1, Form3->RCP->Color);
  Form3->Image2->Hide();
  Form3->Image2->Tag = 0;
  Form3->Panel4->Hide();
  Form3->FloatIsPicture = 0;
  Form3->PendingStamp = 0;
  Form3->LayerActive = 0;
  ZoomImageCached = 0;
  ZoomFactor = 1.0f;
  DrawMode = kPen;
  Form3->Repaint();
  return boardtest::Shown(Form3);
}

}  // namespace pagestest
