// The board TForm3 (Unit3): a full-screen drawing surface with a tool strip
// along its top, holding the page store that the other forms of the program
// read and write directly. Strokes are drawn on the screen (the form's
// canvas) and committed into the current page's bitmap; painting shows the
// current page.
//
// Jobs of the unit, one source file each: board.cpp (page store, paint,
// commands), board_form.cpp (the form description: controls and their
// places), board_draw.cpp (drawing tools and strokes), board_float.cpp (the
// floating picture's commits and the range selection).
#pragma once
#include <memory>
#include <string>

#include "platform/gdiplus/gdiplus.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/jpeg.h"
#include "platform/vcl/stdctrls.h"
// The text and web panel's controls.
#include "platform/vcl/rich_edit.h"
#include "platform/vcl/webbrowser.h"

// Tool state of the board's unit.
enum : int {
  kPen = 0,
  kLine = 1,
  kRectangle = 2,
  kEllipse = 3,
  kEraser = 4,
  kRangeSelect = 5,
  kAreaErase = 6,
};
extern int DrawMode;
// The last press on the board (or on the floating picture or the text panel,
// in their own coordinates).
extern int StartX, StartY;
// The smallest and largest coordinates visited since the press.
extern int StrokeLeft, StrokeTop, StrokeRight, StrokeBottom;
// Where the last range selection was released.
extern int SelectionEndX, SelectionEndY;
// Scale of the floating picture, 1 after each placement.
extern float ZoomFactor;
// 1 while an image of the floating picture is held for zooming.
extern int ZoomImageCached;

constexpr int kPageSlots = 100;  // slot 0 is the scratch bitmap, 1..99 pages
constexpr int kMaxPages = 99;

class TForm3 : public TForm {
 public:
  explicit TForm3(TComponent* owner);

  // ---- page store ----
  // Copy of the page while the text panel is maximised.
  std::unique_ptr<TBitmap> PageBackup;
  // Content of the floating picture Image2.
  std::unique_ptr<TBitmap> FloatBitmap;
  // Flattened text-panel layer that the erasers restore from.
  std::unique_ptr<TBitmap> LayerBitmap;
  // Slot 0 is ScratchBitmap; 1..99 the pages, screen size, made as needed.
  // A bitmap put into a slot belongs to the store; the one it replaces is
  // released.
  std::unique_ptr<TBitmap> Pages[kPageSlots];
  std::unique_ptr<TBitmap>& ScratchBitmap = Pages[0];
  // 0 never filled, 1 cleared to the background, 2 has content.
  int PageState[kPageSlots] = {};
  // The text panel's rectangle per page, form coordinates.
  int PanelLeft[kPageSlots] = {};
  int PanelTop[kPageSlots] = {};
  int PanelWidth[kPageSlots] = {};
  int PanelHeight[kPageSlots] = {};
  // 1 when the text panel's area is refilled with the background as the
  // panel closes.
  int PanelOnPage[kPageSlots] = {};
  // 1 while LayerBitmap holds a flattened text-panel layer of this page.
  int LayerActive = 0;
  // 1 when Image2 holds a placed picture, 0 a cut selection.
  int FloatIsPicture = 0;
  // 0 none; 1 clip art armed; 2 imported picture; 3 picture fitted to the
  // page width.
  int PendingStamp = 0;
  int PanelDragWidth = 0, PanelDragHeight = 0;
  int PageCount = 1;
  int CurrentPage = 1;
  std::unique_ptr<TJPEGImage> StampJpeg;
  std::string GalleryFolder;
  // Folder of the running program file, with a trailing separator.
  std::string ProgramFolder;
  // The page strip's half-size pictures, left and right.
  std::unique_ptr<TBitmap> StripLeftBitmap, StripRightBitmap;
  // The floating picture as it stood before its first zoom step.
  std::unique_ptr<Gdiplus::Image> ZoomImage;
  // The colour of the note RichEdit1, following the page background.
  TColor GetNoteColour() const;
  void SetNoteColour(TColor c);
  VCL_PROPERTY(TForm3, TColor, NoteColour);

  // A page's panel kind (0 none, 1 text, 2 web or media), kept with the
  // page's bitmap object: 0 for a new bitmap and for a page that does not
  // exist.
  int PanelKind(int page) const;
  void SetPanelKind(int page, int kind);
  // A new screen-size bitmap.
  static std::unique_ptr<TBitmap> NewPageBitmap();
  // Undo has nothing left to restore: to be called by everything that
  // replaces ScratchBitmap, draws over it, or replaces the whole current
  // page (opening a lesson, a background refill, page turning).
  void InvalidateUndo();
  // Another picture takes the scratch bitmap's place (the annotation
  // overlay's desktop picture) and belongs to the store from now on.
  void SetScratchBitmap(std::unique_ptr<TBitmap> bitmap);
  // The background colour of the page shown: the probe pixel (screen width
  // - 1, 38) of the screen, or of a page bitmap.
  TColor ProbeColour() const;
  TColor ProbeColour(int page) const;
  // The text panel's rectangle stored for a page.
  void SavePanel(int page);
  // Fills a whole page bitmap with a colour.
  void FillPage(int page, TColor colour);

  // ---- the form (Image2 first: it lies under the tool strip's panels) ----
  TImage* Image2;  // the floating picture
  TPanel* Panel2;  // tool strip
  TPanel* Panel3;  // size readout
  TPanel* Panel1;  // command buttons
  TSpeedButton* SpeedButton9;
  TPanel* LCP;
  TPanel* RCP;
  TEdit* Edit1;  // pen width "1".."9"
  TSpeedButton *SpeedButton7, *SpeedButton8, *SpeedButton5, *SpeedButton4, *SpeedButton10, *SpeedButton13,
      *SpeedButton3, *SpeedButton14, *SpeedButton15, *SpeedButton17, *SpeedButton25, *SpeedButton35, *SpeedButton36,
      *SpeedButton1, *SpeedButton18, *SpeedButton11;
  TEdit* Edit2;  // page number
  TSpeedButton *SpeedButton12, *SpeedButton6, *SpeedButton2, *SpeedButton40;
  // The text panel.
  TPanel* Panel4;
  TImage* Image1;
  TSpeedButton *SpeedButton16, *SpeedButton22, *SpeedButton21, *SpeedButton26, *SpeedButton34, *SpeedButton32,
      *SpeedButton23, *SpeedButton31, *SpeedButton41, *SpeedButton20, *SpeedButton24, *SpeedButton19;
  // The page strip.
  TPanel* Panel5;
  TImage* Image3;
  TPanel* Panel6;
  TScrollBar* ScrollBar1;
  TPanel* Panel7;
  TImage* Image4;
  TSpeedButton *SpeedButton28, *SpeedButton27, *SpeedButton37, *SpeedButton38;
  TEdit* Edit3;
  TSpeedButton *SpeedButton39, *SpeedButton29, *SpeedButton30;
  // The gallery.
  TPanel* Panel9;
  TBitBtn *BitBtn1, *BitBtn2, *BitBtn3;
  TSpeedButton* SpeedButton33;
  TPanel* Panel8;   // physics clip art
  TPanel* Panel10;  // chemistry clip art
  TImage* Image26;  // the teacher's pictures
  TImage *Image5, *Image6, *Image7, *Image8, *Image9, *Image10, *Image11, *Image12, *Image13, *Image14, *Image15,
      *Image16, *Image17, *Image18, *Image19, *Image20, *Image21, *Image22, *Image23, *Image24, *Image25;
  TImage *Image29, *Image30, *Image31, *Image32, *Image33, *Image37, *Image38, *Image39, *Image40, *Image41, *Image42,
      *Image43, *Image44, *Image45;
  // The colour dialogs of the pen and the background.
  TColorDialog* LCD;
  TColorDialog* RCD;

  // ---- board.cpp ----
  void FormCreate(TObject* Sender);
  void FormResize(TObject* Sender);
  void FormPaint(TObject* Sender);
  void SpeedButton6Click(TObject* Sender);   // settings
  void SpeedButton2Click(TObject* Sender);   // curtain
  void SpeedButton40Click(TObject* Sender);  // back to the desktop

  // ---- board_draw.cpp ----
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FormMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SpeedButton3Click(TObject* Sender);   // pen
  void SpeedButton14Click(TObject* Sender);  // line
  void SpeedButton15Click(TObject* Sender);  // rectangle
  void SpeedButton17Click(TObject* Sender);  // ellipse
  void SpeedButton10Click(TObject* Sender);  // eraser
  void SpeedButton13Click(TObject* Sender);  // area erase
  void SpeedButton7Click(TObject* Sender);   // thicker
  void SpeedButton8Click(TObject* Sender);   // thinner
  void LCPClick(TObject* Sender);            // pen colour
  void SpeedButton9Click(TObject* Sender);   // pen colour
  void RCPClick(TObject* Sender);            // background colour
  void SpeedButton5Click(TObject* Sender);   // clear page
  void SpeedButton4Click(TObject* Sender);   // undo

  // ---- board_float.cpp ----
  void SpeedButton25Click(TObject* Sender);  // range select
  // The tool buttons' commit: the shown picture without its outermost
  // pixels goes into the current page and Image2 is hidden.
  void PlainCommit();
  // The press's commit: a placed picture whole, a cut selection without its
  // frame; then nothing floats any more.
  void PressCommit();
  // Cuts (StartX, StartY, x, y) of the screen into the floating picture;
  // false when the selection is too small to float anything.
  bool CutSelection(int x, int y);
  // Puts an armed stamp at the press point as the floating picture.
  void PlaceStamp();
  // The floating picture without its outermost pixels into the page, at
  // its place; Image2 stays as it is.
  void FloatInsideToPage();

  // ---- board_pages.cpp ----
  void SpeedButton12Click(TObject* Sender);  // next page (also the overlay's)
  void SpeedButton11Click(TObject* Sender);  // previous page
  // The note takes the colour that goes with the current page's background.
  void NoteFollowsPage();
  // The handlers of the page turning, the floating picture's zoom, the page
  // strip and the gallery, on their controls.
  void WirePageControls();

  // ---- board_zoom.cpp: dragging and zooming the floating picture ----
  void Image2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Image2MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void SpeedButton35Click(TObject* Sender);  // zoom in
  void SpeedButton36Click(TObject* Sender);  // zoom out
  // The cache key (QImage::cacheKey) of Image2's picture as the zoom left
  // it: a picture shown or drawn on since (a scan) is not the one ZoomImage
  // holds.
  qint64 ZoomShownKey = 0;
  // One zoom step, in (x 1.5) or out (/ 1.5); false, nothing changed, when
  // the step cannot be made.
  bool ZoomStep(bool in);

  // ---- board_strip.cpp: the page strip ----
  void SpeedButton1Click(TObject* Sender);   // open the strip, or toggle its scroll row
  void ScrollBar1Change(TObject* Sender);
  void ScrollBar1Scroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void Image3MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SpeedButton28Click(TObject* Sender);  // one-page view
  void SpeedButton27Click(TObject* Sender);  // two-page view
  void SpeedButton29Click(TObject* Sender);  // collapse the scroll row
  void SpeedButton30Click(TObject* Sender);  // close the strip
  void SpeedButton37Click(TObject* Sender);  // strip up to the toolbar
  void SpeedButton38Click(TObject* Sender);  // strip back down
  // A page at half size through the GDI+ round trip, into the bitmap;
  // false, the bitmap as it was, when a step fails.
  bool HalfSizePage(int page, TBitmap* into);

  // ---- board_gallery.cpp: the picture gallery and its stamps ----
  TScrollBox* ScrollBox1;  // in the gallery: the clip-art panels and Image26
  void SpeedButton32Click(TObject* Sender);  // open the gallery
  void SpeedButton33Click(TObject* Sender);  // close it
  void BitBtn1Click(TObject* Sender);        // "物理"
  void BitBtn2Click(TObject* Sender);        // "化学"
  void BitBtn3Click(TObject* Sender);        // "其它": the teacher's pictures
  // A clip-art item pressed: its file of the clip-art folder is the stamp
  // armed for the next click on the board.
  void ArmClipArt(const AnsiString& file);
  void Image26MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  // ---- board_panel.cpp: the text and web panel ----
  // WebBrowser1 lies beneath RichEdit1 and shows where RichEdit1 is hidden.
  TWebBrowser* WebBrowser1;
  TRichEdit* RichEdit1;
  TFontDialog* FontDialog1;
  TOpenDialog* OpenDialog1;
  // The page whose maximise took PageBackup, and that page's bitmap then
  // (0 and nullptr when PageBackup was taken otherwise, or given back).
  int PageBackupPage = 0;
  const TBitmap* PageBackupBitmap = nullptr;

  void SpeedButton18Click(TObject* Sender);  // open the text panel
  void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void RichEdit1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void RichEdit1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void SpeedButton16Click(TObject* Sender);  // font of the selection
  void FontDialog1Apply(TObject* Sender, HWND Wnd);
  void SpeedButton19Click(TObject* Sender);  // close
  void SpeedButton41Click(TObject* Sender);  // close and flatten
  void SpeedButton31Click(TObject* Sender);  // flatten into a layer
  void SpeedButton21Click(TObject* Sender);  // maximise
  void SpeedButton22Click(TObject* Sender);  // restore
  void SpeedButton20Click(TObject* Sender);  // widen
  void SpeedButton23Click(TObject* Sender);  // paste
  void SpeedButton24Click(TObject* Sender);  // hide the handle strip
  void SpeedButton26Click(TObject* Sender);  // open a media file
  void WebBrowser1Enter(TObject* Sender);
  void WebBrowser1Exit(TObject* Sender);

  // What page turning, the page strip and the settings do with the panel.
  // The panel text file of a page: the program folder's file named by the
  // page number.
  AnsiString PanelFile(int page) const;
  // Writes the page's panel text file from the note, when the note is the
  // page's own (its panel kind is 1); EFCreateError when it cannot.
  void SavePanelNote(int page);
  // Leaving the current page while Panel4 is visible: the handle strip
  // hidden, the note written, the rectangle stored.
  void LeavePanel();
  // Arriving at an existing page, CurrentPage already: kind 0 hides the
  // panel, kind 2 shows the web or media view, kind 1 the note with the
  // page's file (when there is one); a note that is not the page's own is
  // emptied.
  void ArrivePanel(int page);
  // A new page: the panel hidden, the note empty, the rectangle of the
  // page before.
  void NewPagePanel(int page);
  // The note's colour on a page background, so that a note is never black
  // on black.
  static TColor NoteColourFor(TColor background);
  // ---- scan.cpp ----
  void SpeedButton34Click(TObject* Sender);  // scan
  // A scanned picture becomes the floating picture at (-5, 35), its own
  // size; one taller than the screen marks this page and the following one
  // as having content and is continued there.
  void PlaceScan(std::unique_ptr<TBitmap> scan);

 private:
  void BuildPanel();
  // Panel4 to a new place; the board shows the page where it was.
  void MovePanel(int left, int top, int width, int height);
  void HidePanel();
  void FillPanelArea(int page);

  void BuildForm();
  // The pen each tool draws with, and its cursor.
  void ArmTool(int mode);
  void ToolCursor(const char* file);
  int PenWidthShown() const;
  void SetPenWidthForTool();
  void CommitStroke();
  // The last stroke's box (widened by the commit margin) back from the undo
  // snapshot, into the page and onto the screen.
  void RestoreFromSnapshot();
  void RestoreFromPage(const TRect& r);
  void CopyToPage(const TRect& r);
};

extern TForm3* Form3;

// At start-up: the panel text files of pages 1..99 that an earlier run left
// in the program folder, which would otherwise come up on this run's pages.
void DeleteStalePanelFiles(const std::string& programFolder);
