// COutLine: the stroke outline of one Chinese character.
//
// An outline loads the character's stroke record (a slice of a scrambled
// stroke file "Merro%04ld.dat", or a record of a plain font file) and parses
// it into closed per-stroke outlines of integer points in a 0..255 design
// square (y downwards), with the bookkeeping the region, drawing and fill
// members work on: where each stroke starts among the points, vertices and
// control points, its stroke code, the cut lines of bend strokes and the
// bounding box.
//
// Stroke numbers are 1-based in every member except GetStrokeName(int),
// which takes a 0-based index. Every index a caller passes is checked
// against the arrays it addresses; a failed or empty load leaves an empty
// outline (no strokes, no points, empty box).
//
// Device geometry: a font point (x, y) becomes (trunc(x * x scale),
// trunc(y * y scale)) ("scaled"); members that say so add the drawing
// offset afterwards. Regions are winding polygon regions of those points.
//
// One outline is used by one thread at a time, except that a fill thread
// reads it while the busy flag is 1; loads and region builds are refused
// during that time.
//
// Animated fill: a worker thread sweeps each stroke region line by line into
// the outline's memory bitmap, copies the bitmap to the host window after
// every line and posts progress message kFillMessage to that window:
//   wParam 0  a fill was asked for (lParam 0)
//          5  refused: busy, strokes outside 1..S or reversed, a negative
//             delay or scale 0 (a fill refused because another runs tells
//             only its own window: the running fill keeps its receiver)
//          6  stopped: the exit flag was 1 (before the start, a stroke, or
//             during the last stroke)
//          7  refused: no memory for the region object
//          4  the fill starts (lParam S)
//          1  the middle stroke (first + last) / 2 is about to be filled
//          8  a stroke starts (lParam its number)
//          3  a stroke is done (lParam its number)
//          2  the fill ran to its end without a stop
//          9  the memory bitmap was copied to the window (lParam the address
//             of the outline's CopyRecord; overwritten by the next copy,
//             never freed by the receiver)
// Swept pixels, the outline drawn at the start and the strokes of stroke
// order strips all lie at scaled points plus the drawing offset.
#pragma once
#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

#include "merrodataengine/api/engine_context.h"
#include "platform/mfc/afx.h"

class CBitmap;
class CDC;
class CPen;
class CRgn;
class CWnd;

class COutLine {
 public:
  COutLine();
  ~COutLine();
  COutLine(const COutLine&) = delete;
  COutLine& operator=(const COutLine&) = delete;

  // Offset 0,0; delays 18 and 120 ms; no strokes; empty box; not busy;
  // scale 1.0; spline depth 4. Returns 1.
  int Init();
  // Folder of the stroke files, without trailing separator.
  void On_Set_Hanzi_File(CString folder);

  // ---- loading from the stroke files ----

  // Makes `hanzi` the current character and loads its record: `length`
  // bytes at data position `offset` of "<folder>\Merro<fileNumber>.dat".
  // Nothing happens while busy, for "" or for the current character. A load
  // that fails leaves an empty outline and no current character, so the
  // same character is tried again at the next call.
  void On_Set_Hanzi(CString hanzi, unsigned long offset, unsigned long length, long fileNumber);
  // Reads the record slice into the record buffer; 1 when read.
  int Load_A_hz(CString file, unsigned long offset, unsigned long length);

  // ---- loading from the plain font files (for hosts) ----

  void SetSysFontFile(CString file);
  void SetUserFontFile(CString file, CString indexFile);
  // true: the system font file; false: the user font file, after its index
  // file. The whole file is held in memory once it could be opened.
  void LoadFontFile(bool system);
  void UnLoadFontFile();
  // The record lengths of the user font file, 4 bytes each.
  void LoadUserFontIndexFile();
  // Loads record `index` of the loaded font file (bend blocks are not part
  // of font records). The DC is not used.
  void On_Set_HZ(int index, HDC dc);
  // The system font file has no index: never found (0).
  int GetSysIndex(int index, unsigned long* offset, unsigned long* length);
  // Offset = sum of the lengths before `index`, length = its own; 0 when
  // there is no such record.
  int GetUserIndex(int index, unsigned long* offset, unsigned long* length);
  // Loads the plain record file "test\<hanzi>.zhe.dat" (relative to the
  // current folder) under the conditions of On_Set_Hanzi.
  void On_Set_Hanzi_TEST(CString hanzi);

  // ---- stroke codes and names ----

  // 1 for the bend codes '5', 'A'..'O' and 'Y'.
  static int On_Is_Zhe(unsigned char code);
  // The name of a code ("" for an unknown one); returns 1.
  static int GetStrokeName(unsigned char code, CString& name);
  // The code of stroke `index` (0-based); 0 when there is no such stroke.
  unsigned char GetStrokeName(int index);
  // The name of stroke n (1-based), "未知" for an unknown code; 0 and `name`
  // untouched when there is no stroke n.
  int On_Get_Stroke_Name(long n, CString& name);

  // ---- accessors (font units unless scaled: x and y times the scale,
  // truncated toward zero, without the drawing offset) ----

  int GetStrokes();
  int GetPointCount();
  int GetZhePointCount();
  int GetVertexPointCount();
  int GetCtrlPointCount();
  // Index of the first point of stroke n; 0xFFFFFFFF when there is none.
  DWORD GetStartIndexOfStroke(int n);
  // Index of the last point of stroke n (its closing point); 0xFFFFFFFF
  // when there is none.
  DWORD GetEndIndexOfStroke(int n);
  int IsStartPointOfStroke(int index);
  // Points, vertices, control points of stroke `index` (0-based); 0 when
  // there is no such stroke.
  int GetPointNumOfStroke(int index);
  int GetVertexNumOfStroke(int index);
  int GetCtrlNumOfStroke(int index);
  // A new[] array of the stroke's scaled points (vertices, control points),
  // freed by the caller with delete[]; returns their number, 0 (and *out
  // NULL) when there are none.
  int GetPointOfStroke(int index, POINT** out);
  int GetVertexPointOfStroke(int index, POINT** out);
  int GetCtrlPointOfStroke(int index, POINT** out);
  // Point, vertex or control point i; {0, 0} when there is none.
  POINT GetPointOnLine(int i);
  POINT GetPointOnLineOrg(int i);
  POINT GetVertexPoint(int i);
  DWORD GetVertexPointIndex(int i);
  POINT GetCtrlPoint(int i);
  // Index of the first cut entry of bend stroke n, and in `next` the first
  // cut index of the following bend stroke (-1 when none follows); -1 when
  // stroke n has no cut entries.
  int GetStartZheIndex(int n, int& next);
  // The bend cut entry i (point indices relative to its stroke's start);
  // false when there is none.
  bool GetZheCut(int i, int& first, int& second);
  // The start flag of bend stroke n; -1 when it has none.
  int GetZheStartFlag(int n);
  // *out := the bounding box member. 0 for a null out.
  int GetRect(RECT** out);
  void On_SetRectEmpty();

  // ---- scale and offset ----

  // Both scales := |s|.
  void On_Set_Scale(double s);
  void On_Set_Scale(double x, double y);
  // Maps the box onto r: each scale := |r extent| / |box extent|, and the
  // offset moves by r's corner minus the scaled box corner (added to the
  // offset there is). An axis along which the box has no extent keeps its
  // scale.
  void On_Set_Scale(RECT r);
  void On_Set_Offset(int x, int y);
  // The scale that fits the box into r with a margin (0.9): the smaller of
  // the two axes' (the y axis' when equal); an axis along which the box has
  // no extent does not count, and 0 when neither has one. Sets the target
  // rectangle to {0, 0, width of r, height of r}; scale and offset stay.
  double On_Get_Scale(RECT r);
  // The pen the HDC drawing members draw with (not owned); without one they
  // use the pen the DC has.
  void On_Set_Pen(CPen* pen);
  double GetXScale() const { return m_dXScale; }
  double GetYScale() const { return m_dYScale; }
  POINT GetOffset() const { return POINT{m_nOffsetX, m_nOffsetY}; }
  RECT GetTargetRect() const { return m_rcTarget; }

  // ---- regions ----

  // Scale := `scale`, offset := (x, y), then the scaled region of stroke n
  // (without the offset) attached to **out, which must hold no region. 0
  // while busy, for a null out or *out, a CRgn that holds a region, no
  // stroke n or an empty stroke; scale and offset then stay.
  int GetStrokeRgn(unsigned long n, int x, int y, double scale, CRgn** out);
  // The region of stroke n scaled plus offset attached to the CRgn (which
  // must hold no region); 0 when it cannot be made.
  int DrawStrokeRgn(unsigned long n, CRgn* rgn);
  // Paints stroke n scaled plus offset in a solid colour; 0 when there is
  // nothing to paint.
  int DrawStrokeRgn(CDC* dc, unsigned long n, unsigned long colour);
  // Paints one piece of bend stroke n, between the cut {a, b} and the cut
  // {c, d} (point indices relative to the stroke's start), scaled without
  // offset, with the DC's brush. 0 for a piece outside the stroke.
  int DrawStrokeRgn(CDC* dc, unsigned long n, unsigned long a, unsigned long b, unsigned long c, unsigned long d);

  // A piece a stroke is filled in: runs along one side of the stroke from
  // the cut {a, b} to the cut {c, d} and back along the other side.
  struct StrokePiece {
    unsigned long a, b, c, d;
  };
  // The pieces of stroke n: for a bend stroke with cut entries one piece
  // per pair of consecutive entries (a pair with an index outside the
  // stroke makes none); for any other stroke, and for a bend stroke without
  // cut entries (font records have none), one piece that is the whole
  // stroke. Returns their number (0 without stroke n).
  int GetStrokePieces(unsigned long n, std::vector<StrokePiece>& pieces);
  // The scaled region of a piece (without the offset) attached to the CRgn,
  // which must hold no region; 0 for a piece outside the stroke.
  int GetPieceRgn(unsigned long n, const StrokePiece& piece, CRgn* rgn);

  // ---- drawing ----

  // Every stroke's outline, scaled plus offset, in a one-pixel solid pen.
  int DrawOutLine(CDC* dc, unsigned long colour);
  // Every stroke's outline, scaled, with the DC's pen (lines = 1), or each
  // point as a red pixel; numbered = 1 also marks every vertex with a
  // circle of radius 5 and its number (from 1) centred in the 30 x 30 box
  // around it. Returns 1 (0 without a DC).
  int DrawOutLine(HDC dc, int lines, int numbered);
  // Lines from point `from` through the points before `to`, scaled, with
  // the drawing pen; the DC's pen comes back only for pen modes 0..3. 0
  // when from or to is not a point; 1 without drawing from the last point.
  int DrawOutLine(HDC dc, unsigned long from, unsigned long to, int penMode);
  // The closed outline of stroke n, scaled, as the range member draws.
  void DrawStroke(HDC dc, unsigned long n, int penMode);
  // A circle of radius 5 at every control point (vertex), scaled, numbered
  // from 1 when asked; vertices in the drawing pen, control points in the
  // DC's pen.
  void DrawCtrlPoint(HDC dc, int numbered);
  void DrawVertexPoint(HDC dc, int numbered);
  // The ellipse in the box x - r, y + r, x + r, y - r (`unused` is not).
  void DrawPoint(HDC dc, int x, int y, int unused, int r);

  // ---- fill settings ----

  // Fill delay := |fill| ms per swept line, stroke delay := |stroke| ms.
  void On_Set_Delay(long fill, long stroke);
  int GetFillDelay() const { return m_nFillDelay; }
  int GetStrokeDelay() const { return m_nStrokeDelay; }
  // The busy flag: 1 while a fill or a region build runs.
  int On_Get_Doing() const { return m_nDoing.load(); }

  // ---- animated fill ----

  static constexpr UINT kFillMessage = WM_USER + 2000;

  // What progress code 9 points to: the memory DC and where its bitmap was
  // copied to in the window. It outlives the outline (its DC is then NULL),
  // so a code 9 still waiting in the host's queue points to valid memory.
  struct CopyRecord {
    CDC* pMemDC;
    RECT rcFrame;
  };

  // The window progress messages go to (NULL: none are posted); its handle
  // is kept, so a window that goes meanwhile makes the posts fail quietly.
  void On_Set_Parent(CWnd* parent);
  // Posts to the parent window's handle, if there is one.
  void On_Send_Msg_To_ParentWnd(unsigned int message, unsigned int wParam, long lParam);
  // Exit flag := 0, then a fill thread on the fill parameters: window
  // pSlot28 (a CWnd*), outline flag nSlot00, strokes nSlot04 (<= 0: 1) to
  // nSlot08 (<= 0: S), colour nSlot2C, background the decimal number of
  // strSlot38, offset nSlot0C, nSlot30 (negative: 0), scale dSlot10
  // (negative: 1.0), delays dSlot18 (negative: 10) and dSlot20 (negative:
  // 60). The window's handle and a DC of it are taken here, on the caller's
  // thread: the host may delete the window while the fill runs (the posts
  // then fail quietly). Returns at once, 1 once the thread runs; 0, nothing
  // posted, while the target rectangle is empty (no On_Get_Scale yet: there
  // is no area to fill). The outline is busy from here until the fill has
  // ended (a fill already running keeps it, and the new one is refused).
  int On_Fill();
  // The fill on the calling thread; see the progress codes above. The
  // window's handle must be a window of this process. 1 after a fill that
  // started (also when stopped), 0 when refused; 0 and no message for an
  // empty target rectangle.
  //
  // Placement: a swept pixel lands where DrawStrokeRgn(CDC*, ...) paints it
  // at the same scale and offset: scaled point plus offset, in window
  // coordinates (the frame starts at the window's corner). At scale s the
  // character covers trunc(box.left * s) + x to trunc(box.right * s) + x
  // (box from GetRect, font units), likewise in y; the memory bitmap is as
  // large as the target rectangle and that area together, so nothing of the
  // character is cut off by it.
  int On_Fill_Stroke(CWnd* wnd, int outline, unsigned long first, unsigned long last, unsigned long colour,
                     unsigned long background, int x, int y, double scale, long fillDelay, long strokeDelay);
  // Sets the memory bitmap's pixel for the scaled point (x, y); returns 1.
  int DrawMemDc(int x, int y, unsigned long colour);
  // Copies the memory bitmap to the DC at the frame and posts code 9.
  // Nothing without a DC.
  void On_CopyToDC(CDC* dc);
  // The memory DC (transparent background mode, a 1 x 1 bitmap), a 1 x 1
  // frame and the copy record; the constructor calls it. Returns 1.
  int On_Init_MemDc();
  // Releases what On_Init_MemDc made; the destructor calls it. Returns 1.
  int On_UnInit_MemDc();
  // A fresh memory bitmap in the background colour, as large as the target
  // rectangle and the scaled character box moved by the offset together
  // (1 x 1 when both are empty), with the guide grid over the target
  // rectangle (dash-dot, in the inverse colour: diagonals, centre lines,
  // border) when grid is 1; the old frame is invalidated in the parent
  // window first when invalidate is 1. The frame becomes the bitmap's
  // place: from the target rectangle's corner, of the bitmap's size.
  void ResetMemDC(unsigned long background, int grid, int invalidate);
  CDC* GetMemDC() const { return m_pMemDC.get(); }
  RECT GetFrame() const { return m_rcFrame; }
  // The scaled box moved by the drawing offset, as the last ResetMemDC saw it.
  RECT GetBoxArea() const { return RECT{m_nBoxX, m_nBoxY, m_nBoxX + m_nBoxW, m_nBoxY + m_nBoxH}; }

  // ---- stroke order pictures ----

  // The strip of S cells, cell i showing strokes 1..i in the stroke colour,
  // `cellHeight` high and as wide as the box at that scale, 10 pixels apart
  // and 2 from the top, as a BMP file. Scale := cellHeight / box height.
  // 0 without strokes, for an empty box or cell height, or when the file
  // cannot be written.
  int On_Stroke_Order(CString file, int cellHeight, unsigned long background, unsigned long colour);
  // Stroke 1 fitted into `rect` (On_Set_Scale(RECT)), as a BMP file of the
  // rectangle's size plus 1 whose corner is the rectangle's. 0 without
  // strokes or when the file cannot be written.
  int On_Stroke_Offset(CString file, RECT rect, unsigned long background, unsigned long colour);
  // The bitmap as an uncompressed BMP file: 14-byte file header, 40-byte
  // info header, no colour table, the rows GetDIBits gives. 0 when the
  // pixels cannot be had or the file cannot be written.
  int On_Save_bmp(CString file, CDC* dc, CBitmap* bitmap);

  // Written by the engine before On_Fill; read by On_Fill only.
  EngineParams m_FillParams{};

  // The current character ("" when none is loaded) and the record bytes.
  CString GetHanzi() const { return m_strHanzi; }
  int GetRecordLength() const { return m_nBufLen; }
  // Bytes each stroke occupied in the record.
  DWORD GetStrokeRecordLength(int index) const;
  // Memory the outline holds for the current character, in bytes.
  size_t GetHeldBytes() const;

  // Busy flag and exit flag, shared with fill threads and the engine's pool
  // (which stops fills by setting the exit flag and waits for busy 0).
  std::atomic<int> m_nDoing{0};
  std::atomic<int> m_nExit{0};

 private:
  friend unsigned int On_Fill_Thread(COutLine* outline, const EngineParams& params, HWND wnd, CDC* dc, bool claimed);
  struct FillThread {
    std::thread thread;
    std::atomic<bool> done{false};
  };
  enum class Sweep { kNone, kColumnsRight, kColumnsLeft, kRowsDown, kRowsUp };

  // The fill with the busy flag either claimed by On_Fill (claimed) or to
  // be claimed here.
  // `dc` is a DC of the window `wnd`, the fill's to delete.
  int Fill(HWND wnd, CDC* dc, int outline, unsigned long first, unsigned long last, unsigned long colour,
           unsigned long background, int x, int y, double scale, long fillDelay, long strokeDelay, bool claimed);
  void FillStrokes(CDC* dc, CRgn* rgn, unsigned long first, unsigned long last, unsigned long colour);
  void FillBendStroke(CDC* dc, CRgn* rgn, unsigned long n, unsigned long colour);
  // Sweeps a plain stroke by its code; 0 for a bend code, no region or DC,
  // or an empty region.
  int On_Write_Stroke(CDC* dc, CRgn* rgn, unsigned char code, unsigned long colour);
  // Sweeps one piece of the bend stroke being filled; 0 without region or DC.
  int On_Write_Stroke(CDC* dc, CRgn* rgn, unsigned long colour);
  void SweepRegion(CDC* dc, CRgn* rgn, Sweep sweep, unsigned long colour);
  // Column sweep (forward: left to right) and row sweep (forward: top to
  // bottom) over the region's box, one copy to the window per line.
  void On_Fill_Rgn_Heng(CDC* dc, CRgn* rgn, int forward, unsigned long colour);
  void On_Fill_Rgn_Shu(CDC* dc, CRgn* rgn, int forward, unsigned long colour);
  // Sleeps `ms` unless the exit flag is set meanwhile.
  void Pause(int ms) const;
  void Post(unsigned int code, long lParam = 0) { On_Send_Msg_To_ParentWnd(kFillMessage, code, lParam); }
  // Paints strokes 1..last into the DC in `colour`.
  void PaintStrokes(CDC* dc, unsigned long last, unsigned long colour);
  struct Cut {
    int first, second;  // point indices relative to the stroke's start
  };
  struct StrokeValue {
    int stroke;  // 1-based stroke number
    int value;
  };
  class Reader;

  // Parses the record buffer; readBends = 1 reads the bend blocks of bend
  // strokes (stroke files), 0 does not (font files). 0 and an empty outline
  // for a missing, truncated, corrupt or empty record.
  int GetPoint(int readBends);
  bool ParseStroke(Reader& in, int i, bool readBends);
  bool ParseSegment(Reader& in, int k, POINT& current);
  // Flattens the quadratic piece (a, b, c) into 8 points ending at c.
  bool QSpline(POINTFX a, POINTFX b, POINTFX c, int depth);
  static POINTFX AvgPointsFX(POINTFX a, POINTFX b);

  // First and last point index of stroke n; false when there is none.
  bool StrokeSpan(unsigned long n, size_t& first, size_t& last) const;
  // The region points := the scaled points of stroke n.
  bool GetStrokeRgnData(unsigned long n);
  // The region points := the scaled outline of a piece of stroke n: from
  // the previous cut's first point forward to the next cut's first point,
  // then from the next cut's second point forward to the previous cut's
  // second point (both wrapping round the closed outline).
  bool GetStrokeRgnData(unsigned long n, unsigned long a, unsigned long b, unsigned long c, unsigned long d);
  // A winding region of the region points (plus offset) attached to rgn.
  bool MakeRgn(CRgn* rgn, bool withOffset) const;
  POINT WithOffset(const POINT& scaled) const;
  // Moves to the outline's points, scaled, and draws to the others with
  // the DC's pen (from each stroke's start point on).
  void TraceOutline(HDC dc, bool withOffset);
  void MarkPoints(HDC dc, const std::vector<POINT>& points, int numbered);

  // Empties every per-character array and the record buffer; no strokes,
  // empty box.
  void KillAll();
  void AddPointToArray(int x, int y, unsigned char kind);
  void AddVertexPointToArray() { m_VertexIndices.push_back(DWORD(m_Points.size() - 1)); }
  void AddStartPointOfStroke() { m_StrokeStarts.push_back(DWORD(m_Points.size() - 1)); }
  void AddCtrlIndexToArray() { m_SegmentStarts.push_back(DWORD(m_Points.size() - 1)); }
  void AddStartVertex() { m_StartVertices.push_back(DWORD(m_VertexIndices.size() - 1)); }
  void AddStartCtrlToArray() { m_StartCtrls.push_back(DWORD(m_CtrlPoints.size() - 1)); }
  bool AddWordBuf(unsigned long length);
  void KillWordBuf();
  // Loads a record through `read` (which fills the record buffer) and
  // parses it; on failure the character is not current.
  void LoadRecord(bool read);

  // The first and count of stroke `index` (0-based) in an array whose
  // per-stroke starts are `starts` and whose size is `total`.
  bool StrokeRange(const std::vector<DWORD>& starts, size_t total, int index, size_t& first,
                   size_t& count) const;
  POINT Scaled(const POINT& p) const;
  int CopyScaled(const std::vector<POINT>& points, size_t first, size_t count, POINT** out) const;

  CString m_strDataFolder;
  double m_dXScale = 1.0, m_dYScale = 1.0;
  int m_nFillDelay = 18, m_nStrokeDelay = 120;
  double m_dMargin = 0.9;
  int m_nBufLen = 0;
  BYTE* m_pWordBuf = NULL;  // operator new block, as the unscrambling reader hands it out
  int m_nSplineDepth = 4;

  std::vector<POINT> m_Points;
  std::vector<DWORD> m_VertexIndices;
  std::vector<POINT> m_CtrlPoints;
  std::vector<BYTE> m_StrokeCodes;
  std::vector<DWORD> m_StrokeStarts;
  std::vector<DWORD> m_StartVertices;
  std::vector<DWORD> m_StartCtrls;
  std::vector<DWORD> m_SegmentStarts;
  std::vector<Cut> m_ZheCuts;
  std::vector<StrokeValue> m_ZheStarts;  // {stroke, first cut entry}
  std::vector<StrokeValue> m_ZheFlags;   // {stroke, start flag}
  int m_nStrokes = 0;
  std::vector<DWORD> m_StrokeBufLens;
  RECT m_rcBox{0, 0, 0, 0};

  CString m_strSysFontFile, m_strUserFontFile, m_strUserIndexFile;
  int m_nFontLoaded = 0, m_nFontKind = 0;
  std::vector<BYTE> m_FontBuf;
  std::vector<DWORD> m_UserFontLens;

  int m_nOffsetX = 0, m_nOffsetY = 0;
  CString m_strHanzi;
  std::vector<POINT> m_RgnPoints;  // scratch polygon of the region being built
  CPen* m_pPen = nullptr;
  RECT m_rcTarget{0, 0, 0, 0};

  std::vector<std::unique_ptr<FillThread>> m_FillThreads;  // joined when done, and before the outline goes
  int m_nZheFlag = 0;           // 1 while the current bend piece is swept in columns
  DWORD m_nPieceIndex[4] = {};  // previous cut first, next cut first, previous second, next second
  unsigned char m_cCode = 0;    // code of the stroke being filled
  int m_nPieceCount = 0;        // pieces of the current bend stroke filled so far
  std::atomic<HWND> m_hParent{0};
  std::unique_ptr<CDC> m_pMemDC;
  std::unique_ptr<CBitmap> m_pMemBitmap;  // stays selected; ResetMemDC resizes it in place
  CopyRecord* m_pCopyRecord = nullptr;
  int m_nBoxX = 0, m_nBoxY = 0, m_nBoxW = 0, m_nBoxH = 0;
  RECT m_rcFrame{0, 0, 1, 1};
};
