// CFreeButton: an owner-drawn push button whose window has the shape of a
// region, one per stroke of a character, so that each stroke is a window of
// its own that can be clicked and dragged over the character drawing. It
// paints from four pictures made beforehand (normal, selected, hover,
// disabled: the state's colour over the region, a 3-D frame along the
// region's edges, the caption), offers a context menu for its colours, its
// tooltip and whether it can be moved, and shows a tooltip naming its
// stroke.
//
// The stroke-placing game (free_button_game.cpp) works on the same object:
// the host scatters the buttons, the user drags each back; a button dropped
// on its correct place snaps into it and leaves the game, one dropped
// elsewhere goes back where it started. It sends no messages: the host
// polls GetGameState and MoveMe.
//
// Arrays of buttons are made with array new and freed with array delete
// (the character engine allocates them), so the default constructor and the
// virtual destructor are the ones that matter. The button reports no
// failures. Everything runs on the thread that owns the window.
#pragma once
#include "platform/mfc/button.h"
#include "platform/mfc/cstring.h"
#include "platform/mfc/geometry.h"
#include "platform/mfc/menu.h"
#include "platform/mfc/tooltip.h"

class CFreeButton : public CButton {
 public:
  CFreeButton();
  ~CFreeButton() override;

  // Creation: a copy of the region becomes the button's shape, moved so that
  // its box starts at (0, 0); the window is the box's size with its top-left
  // corner at `point` in the parent. The caller keeps (and frees) its own
  // region. The result is CButton::Create's; FALSE for a NULL region.
  BOOL Create(const char* caption, DWORD style, CPoint point, HRGN region, CWnd* parent, UINT id);
  // The selected and hover colours := colour first.
  BOOL Create(const char* caption, DWORD style, CPoint point, HRGN region, CWnd* parent, UINT id, COLORREF colour);
  // Border value and the four colours first.
  BOOL Create(const char* caption, DWORD style, CPoint point, HRGN region, CWnd* parent, UINT id, UINT border,
              COLORREF normal, COLORREF selected, COLORREF hover, COLORREF disabled);
  // The same with a value that is only kept.
  BOOL Create(const char* caption, DWORD style, CPoint point, HRGN region, CWnd* parent, UINT id, UINT border,
              long extra, COLORREF normal, COLORREF selected, COLORREF hover, COLORREF disabled);

  // Stroke number, 1-based; below 1 is kept as 0.
  void SetStrokeNo(int n);
  int GetStrokeNo();
  // The stroke code byte (kept for the host) and the stroke's name.
  void SetStrokeName(char code);
  void SetStrokeName(CString name);
  // The character the stroke belongs to.
  void SetHanzi(CString ch);
  // The tooltip's text; empty: "<character>: 第<n>笔[<name>]". Read when the
  // tooltip is first made (at the first message the button gets).
  void SetToolTipText(CString text);
  // Tooltips on or off.
  void SetToolTip(bool on);
  // A host window, only kept.
  void SetDwkClass(CWnd* wnd);

  // ---- the stroke-placing game ----
  // Positions are rectangles in the parent's client coordinates, where
  // MoveWindow puts the button.
  // The window whose area the game works in; without it moves are not
  // judged and RandomPos does nothing.
  void SetParentWnd(CWnd* parent);
  void SetGame();      // running
  void KillGame();     // off
  void PauseGame();    // paused: as off, and a double click does not place it
  int GetGameState();  // 1 running, 0 off, -1 paused
  // The current place := rc.
  void CreatePos(RECT rc);
  // The start place := the current place.
  void SetOrigPos();
  void KillOrigPos();
  // The correct place := the current place.
  void SetCorrectPos();
  // A drop zone of its own: drops are judged against it instead of the
  // correct place (the button still snaps onto the correct place).
  void SetCorrectPos(RECT rc);
  // Forgets the correct place and the drop zone.
  void KillCorrectPos();
  // Moves the button onto its correct place, if one is recorded.
  void GotoCorrectPos();
  // Moves the button to a random place of the parent outside the correct
  // place and the drop zone.
  void RandomPos();
  // Only the button of stroke 1 can be placed.
  void SetOrderLimit();
  void KillOrderLimit();
  // Whether the button can be dragged outside a game.
  void SetMoveState(bool moveable);
  // Character-building mode: moves are not judged.
  void SetMakeHZ(bool makeHZ);
  // The moves counted while the game ran.
  int MoveMe();
  void ClearMoveRecord();
  // Does nothing (kept for the character engine, which calls it).
  void SetCorrectRgn();

  // Makes the tooltip on the first message and relays every message to it
  // while tooltips are on.
  BOOL PreTranslateMessage(MSG* msg) override;
  // Paints the picture of the item's state, rebuilding the pictures first
  // when they are out of date.
  void DrawItem(LPDRAWITEMSTRUCT item) override;

 protected:
  // Owner-drawn.
  void PreSubclassWindow() override;
  // A double click goes to the button's handling as a press (DefWindowProcA,
  // the ANSI name of this override on Windows).
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Commands 3030..3038.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  int OnCreate(LPCREATESTRUCT create) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  LRESULT OnNcHitTest(CPoint point) override;
  void OnNcRButtonUp(UINT hitTest, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnMove(int x, int y) override;
  void OnContextMenu(CWnd* wnd, CPoint point) override;

  void OnSelectedColor();
  void OnHoverColor();
  void OnNormalColor();
  void OnDisabledColor();
  void OnTip();
  void OnMoveable();
  void OnBorder1();
  void OnBorder3();
  void OnBorder5();

  int m_nStrokeNo = 0;
  char m_chStrokeCode = '1';
  CString m_strStrokeName;
  CString m_strHanzi;
  bool m_bMakeHZ = false;
  bool m_bCorrectZone = false;
  bool m_bMoveable = false;
  bool m_bOrderLimit = false;
  bool m_bHasOrigPos = false;
  bool m_bHasCorrectPos = false;
  int m_nMoveCount = 0;
  CWnd* m_pParentWnd = nullptr;
  CWnd* m_pDwkWnd = nullptr;
  RECT m_rcOrig{0, 0, 0, 0};
  RECT m_rcCurrent{0, 0, 0, 0};
  RECT m_rcCorrect{0, 0, 0, 0};
  RECT m_rcCorrectZone{0, 0, 0, 0};
  int m_nGameState = 0;
  int m_nBorder = 1;
  long m_lCreateExtra = 0;
  COLORREF m_crNormal, m_crSelected, m_crHover, m_crDisabled;
  CBitmap* m_pbmNormal = nullptr;
  CBitmap* m_pbmSelected = nullptr;
  CBitmap* m_pbmHover = nullptr;
  CBitmap* m_pbmDisabled = nullptr;
  POINT m_ptCentre{0, 0};
  int m_bPressed = 0;
  int m_bHover = 0;
  int m_bCapture = 0;
  int m_bRebuild = 1;
  CMenu* m_pMenu;
  bool m_bToolTip = true;
  CString m_strToolTip;
  CToolTipCtrl m_ToolTip;
  // The button's copy of its shape until the window takes it over (then
  // NULL: the window owns and frees it).
  HRGN m_hRgn = nullptr;

 private:
  int HitTest(CPoint pt);
  void CheckHover(CPoint pt);
  // Invalidate, erase, paint now.
  void Redraw();

  void PrepareStateBitmaps(CDC* dc, CRect* rect);
  void PrepareNormalState(CDC* dc, CDC* memDC, CRect* rect);
  void PrepareSelectedState(CDC* dc, CDC* memDC, CRect* rect);
  void PrepareHoverState(CDC* dc, CDC* memDC, CRect* rect);
  void PrepareDisabledState(CDC* dc, CDC* memDC, CRect* rect);
  void PaintRgn(CDC* dc, CDC* memDC, CBitmap* bitmap, COLORREF colour, CRect* rect, BOOL active, BOOL pressed);
  void RepaintState(CDC* dc, CDC* memDC, CBitmap*& bitmap, COLORREF colour, CRect* rect, BOOL active,
                    BOOL pressed);
  void DrawButtonCaption(HDC dc, CRect* rect, BOOL active, BOOL pressed);
  void FrameRgn3D(HDC dc, HRGN region, BOOL pressed);
  void DrawButton(CDC* dc, CRect* rect, UINT state);
  // Asks for the colour of the state of command `id` and rebuilds.
  void PrepareState(int id);
  // Rebuilds the pictures at once.
  void PrepareState();
  void OnBorder(int id);

  // The game's rules (free_button_game.cpp).
  RECT PlaceInParent() const;
  void MoveTo(const RECT& place);
};
