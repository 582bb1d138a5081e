// The annotation overlay TForm2 (Unit2): a snapshot of the whole desktop,
// shown full screen above everything, to draw on with a pen, straight lines
// and a rectangle eraser that brings back the desktop as captured; a
// rectangle of it can be selected, moved and zoomed, and the annotated
// screen or the selection copied into the board's current or next page.
//
// The annotated picture is the board's ScratchBitmap (slot 0 of its page
// store), which the overlay paints; strokes are drawn on the overlay's
// canvas and committed into it at each release.
#pragma once
#include <memory>

#include "platform/gdiplus/gdiplus.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

// Tools of the overlay (AnnotMode).
enum : int { kAnnotPen = 0, kAnnotSelect = 1, kAnnotErase = 2, kAnnotLine = 3 };

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* owner);

  // ---- state ----
  // 1 once the first showing has made the bitmaps below.
  int AnnotReady = 0;
  // The desktop as captured at the latest showing; the eraser and the
  // clears restore from it.
  std::unique_ptr<TBitmap> DesktopSnapshot;
  // The annotated picture before the last stroke.
  std::unique_ptr<TBitmap> AnnotUndo;
  // The pixels of the latest selection.
  std::unique_ptr<TBitmap> SelectionBitmap;
  int AnnotMode = kAnnotPen;
  // 1 from the end of a selection until the pen, erase or line tool or a
  // capture ends it.
  int AnnotSelected = 0;
  // The selection as it was when first zoomed, the source of every zoom.
  std::unique_ptr<Gdiplus::Image> AnnotZoomImage;
  int AnnotZoomCached = 0;
  float AnnotZoomFactor = 1.0f;
  // The last press (Image1 coordinates for a press on Image1) and release.
  int AnnotStartX = 0, AnnotStartY = 0, AnnotEndX = 0, AnnotEndY = 0;
  // Smallest and largest coordinates visited since the press.
  int AnnotBoxLeft = 0, AnnotBoxTop = 0, AnnotBoxRight = 0, AnnotBoxBottom = 0;
  // Where the latest selection was made: dragging the selection and
  // collapsing the bar reuse the press and release fields above.
  TRect SelectionRect;

  // ---- the form ----
  TImage* Image1;  // the floating selection
  TPanel* Panel1;  // the full tool bar
  TSpeedButton* SpeedButton9;
  TPanel* LCP;
  TEdit* Edit1;
  TSpeedButton *SpeedButton7, *SpeedButton8, *SpeedButton5, *SpeedButton24, *SpeedButton2, *SpeedButton4,
      *SpeedButton26, *SpeedButton15, *SpeedButton13, *SpeedButton14, *SpeedButton11, *SpeedButton12, *SpeedButton6,
      *SpeedButton10, *SpeedButton1, *SpeedButton18, *SpeedButton3;
  TPanel* Panel2;  // the collapsed tool bar
  TSpeedButton *SpeedButton20, *SpeedButton17, *SpeedButton21, *SpeedButton25, *SpeedButton27, *SpeedButton23,
      *SpeedButton22, *SpeedButton19, *SpeedButton16;
  // The overlay's own pen colour dialog.
  TColorDialog* LCD;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormPaint(TObject* Sender);
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FormMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void LCPClick(TObject* Sender);            // pen colour
  void SpeedButton9Click(TObject* Sender);   // pen colour
  void SpeedButton7Click(TObject* Sender);   // thicker
  void SpeedButton8Click(TObject* Sender);   // thinner
  void SpeedButton5Click(TObject* Sender);   // clear (full bar)
  void SpeedButton20Click(TObject* Sender);  // clear (collapsed bar)
  void SpeedButton17Click(TObject* Sender);  // undo
  void SpeedButton2Click(TObject* Sender);   // erase tool
  void SpeedButton4Click(TObject* Sender);   // pen tool
  void SpeedButton26Click(TObject* Sender);  // line tool
  void SpeedButton15Click(TObject* Sender);  // select tool
  void SpeedButton13Click(TObject* Sender);  // capture to the board's current page
  void SpeedButton14Click(TObject* Sender);  // capture to the board's next page
  void SpeedButton11Click(TObject* Sender);  // zoom in
  void SpeedButton12Click(TObject* Sender);  // zoom out
  void SpeedButton6Click(TObject* Sender);   // to the board
  void SpeedButton10Click(TObject* Sender);  // curtain
  void SpeedButton1Click(TObject* Sender);   // help
  void SpeedButton19Click(TObject* Sender);  // help
  void SpeedButton18Click(TObject* Sender);  // collapse the bar
  void SpeedButton23Click(TObject* Sender);  // expand the bar
  void SpeedButton3Click(TObject* Sender);   // back to the desktop
  void SpeedButton16Click(TObject* Sender);  // back to the desktop

 private:
  void BuildForm();
  // Hides a floating selection and repaints its place from ScratchBitmap.
  void DropSelection();
  // The tool's cursor, pen and mode; the tools that end a selection say so.
  void ChooseTool(int mode, const char* cursor, bool dotted);
  // x 1.5 or / 1.5 from the selection's first picture, through the file.
  void Zoom(bool in, const char* file);
  // The capture's last steps on the board's current page, and its end.
  void CaptureOntoPage();
  void EndCapture();
  // Copies a rectangle of what the overlay's canvas holds, without the tool
  // bars and the selection lying over it, into a bitmap.
  void ReadCanvas(TBitmap* target, const TRect& targetRect, const TRect& source);
  void RedrawPicture();
};

extern TForm2* Form2;
