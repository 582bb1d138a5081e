// CWnd: the class library's window, a native X window of this process (a
// Qt widget underneath) that shows a 32-bpp surface. Its DCs (GetDC) draw
// on that surface from any thread, and what they draw is shown at once;
// reading from a window DC sees the window's pixels with its visible child
// windows over them (each within its window region).
//
// Messages reach WindowProc on the GUI thread through platform/win's window
// procedures, so PostMessage works from any thread. WindowProc hands the
// messages below to virtual handlers (the message map); a handler's base
// version, and every other message, goes to DefWindowProc, the system's
// default handling (Default() passes the message being handled).
//
// Mouse input becomes messages as on Windows: a captured window gets client
// messages wherever the pointer is; otherwise WM_NCHITTEST decides: HTCLIENT
// gives client messages (client coordinates), another answer non-client
// ones (wParam = the answer, screen coordinates). The second press of a
// double click is a ...DBLCLK message. Points outside the window region do
// not reach the window at all: the X server gives them to the window below.
// Input messages pass PreTranslateMessage (the window's, then its parents')
// first, as a message loop would.
//
// Window-move drags (HTCAPTION): the window stays where it is while an
// outline follows the pointer, and moves once at the release, so a drag
// raises exactly one WM_MOVE; the pointer is held inside the parent's
// client area.
//
// Painting: InvalidateRect gathers an area and posts one WM_PAINT; painting
// (BeginPaint) sends WM_ERASEBKGND first when an erase was asked for, which
// DefWindowProc answers by filling the area white.
//
// Create, DestroyWindow and everything that changes a window belong to the
// GUI thread and need a QApplication; GetDC, ReleaseDC, InvalidateRect and
// PostMessage may be called from any thread.
#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/mfc/dc.h"
#include "platform/mfc/geometry.h"
#include "platform/windef.h"

class CWnd : public CObject {
 public:
  CWnd();
  ~CWnd() override;

  HWND m_hWnd = 0;
  HWND GetSafeHwnd() const { return m_hWnd; }
  // The CWnd of a window this library made; NULL for any other handle.
  static CWnd* FromHandle(HWND h);

  // WS_CHILD: a child window of `parent` at `rect` in its client area; else
  // a top-level window at `rect` on the screen (WS_POPUP without a frame),
  // titled `windowName` (GBK, the window text of either). PreSubclassWindow
  // runs, then WM_CREATE (-1 from it destroys the window: FALSE); WS_VISIBLE
  // then shows the window, WS_DISABLED disables it. The class name is not
  // used. A new window is white. FALSE when this object has a window
  // already, a child has no parent window, off the GUI thread or without a
  // QApplication.
  virtual BOOL Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // Destroys the child windows first. FALSE without a window.
  virtual BOOL DestroyWindow();

  // SW_HIDE hides, anything else shows (and paints); returns whether it was
  // visible.
  BOOL ShowWindow(int cmd);
  BOOL IsWindowVisible() const;
  // A disabled window takes no input (its clicks go to its parent) and its
  // style holds WS_DISABLED; WM_ENABLE tells it. Returns whether it was
  // disabled before.
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  DWORD GetStyle() const { return m_dwStyle; }
  // Takes `remove` out of the style and puts `add` in; FALSE without a
  // window. The flags (SWP_ values on Windows) are not used.
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  UINT GetDlgCtrlID() const { return m_nID; }
  CWnd* GetParent() const { return m_pParent; }
  // The window text (GBK), this process's own; a top-level window shows it
  // as its title.
  void SetWindowText(LPCTSTR text);
  void GetWindowText(CString& text) const;

  void GetClientRect(LPRECT rect) const;
  // Screen coordinates.
  void GetWindowRect(LPRECT rect) const;
  // A child moves in its parent's client coordinates, a top-level on the
  // screen. WM_MOVE (the new position) is sent from inside the call when the
  // position changes, not otherwise; `repaint` paints the window afterwards.
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
  void ClientToScreen(LPPOINT point) const;
  void ClientToScreen(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const;
  void ScreenToClient(LPRECT rect) const;

  // The window takes the region (client coordinates) as its shape: it shows
  // only those pixels and takes input only there. The window owns the
  // region from then on (the caller must not delete it) and deletes it when
  // it gets another or goes. NULL removes the shape. An empty region leaves
  // nothing to show or click. `redraw` paints the window. 0 on failure.
  int SetWindowRgn(HRGN region, BOOL redraw);
  // Copies the window's region into `region` (which must exist); its kind,
  // or ERROR when the window has no region.
  int GetWindowRgn(HRGN region) const;

  // The mouse capture (platform/win's capture.h); ReleaseCapture is the
  // global function. Each returns the window that held it, or NULL.
  CWnd* SetCapture();
  static CWnd* GetCapture();
  // The class library's keyboard focus among its windows: SetFocus sends
  // WM_KILLFOCUS to the window losing it and WM_SETFOCUS to this one.
  CWnd* SetFocus();
  static CWnd* GetFocus();

  // A new DC on the window's surface, NULL without a window; give it back
  // with ReleaseDC (which deletes it). It stays usable if the window goes.
  CDC* GetDC();
  int ReleaseDC(CDC* dc);
  // Adds the area (the whole client area for NULL) to what needs painting
  // and posts WM_PAINT for it; `erase` has the background erased first.
  void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
  void Invalidate(BOOL erase = TRUE) { InvalidateRect(nullptr, erase); }
  // Paints what needs painting now (WM_PAINT sent), if anything does.
  void UpdateWindow();
  // The paint DC for WM_PAINT: clipped to the area that needs painting,
  // which it takes over (WM_ERASEBKGND first when asked for). EndPaint
  // frees the DC.
  CDC* BeginPaint(PAINTSTRUCT* paint);
  void EndPaint(const PAINTSTRUCT* paint);

  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // WM_TIMER (OnTimer) every `ms` milliseconds (platform/win's SetTimer).
  UINT_PTR SetTimer(UINT_PTR id, UINT ms, void* unusedTimerProc = nullptr);
  BOOL KillTimer(UINT_PTR id);

  // Sees every input message for this window or its children before it is
  // handled; TRUE swallows it. The base swallows nothing.
  virtual BOOL PreTranslateMessage(MSG* msg);

 protected:
  // Runs when the window exists, before WM_CREATE (styles may change here).
  virtual void PreSubclassWindow() {}
  // Every message of the window: those of the message map go to their
  // handlers, the others to DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The system's default handling: WM_CLOSE destroys the window, WM_PAINT
  // paints nothing (erasing as asked), WM_ERASEBKGND fills white,
  // WM_NCHITTEST answers HTCLIENT inside the window (and its region),
  // WM_RBUTTONUP raises WM_CONTEXTMENU, WM_CONTEXTMENU goes on to the
  // parent, WM_NCLBUTTONDOWN on HTCAPTION starts a window-move drag; other
  // messages give 0. A non-client right button does not raise
  // WM_CONTEXTMENU (handlers that want a menu there raise it themselves).
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The message being handled, to DefWindowProc.
  LRESULT Default();

  // The message map. Each base version is Default().
  virtual int OnCreate(LPCREATESTRUCT create);
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(CDC* dc);
  virtual void OnMove(int x, int y);
  virtual void OnMouseMove(UINT flags, CPoint point);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnLButtonDblClk(UINT flags, CPoint point);
  virtual void OnRButtonUp(UINT flags, CPoint point);
  virtual LRESULT OnNcHitTest(CPoint point);
  virtual void OnNcRButtonUp(UINT hitTest, CPoint point);
  virtual void OnContextMenu(CWnd* wnd, CPoint point);
  virtual void OnTimer(UINT_PTR id);
  // WM_COMMAND (id in the low word of wParam); FALSE sends it on to
  // DefWindowProc. The base handles nothing.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

 private:
  struct Native;
  struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  std::shared_ptr<gdi::Surface> SurfaceOf() const;
  LRESULT DefaultHitTest(CPoint screen) const;

  std::unique_ptr<Native> m_pNative;  // GUI thread only
  mutable std::mutex m_surfaceMutex;
  std::shared_ptr<gdi::Surface> m_pSurface;
  CWnd* m_pParent = nullptr;
  std::vector<CWnd*> m_children;
  UINT m_nID = 0;
  DWORD m_dwStyle = 0;
  std::string m_strText;
  HRGN m_hWndRgn = nullptr;
  Message m_current{WM_NULL, 0, 0};
  // What needs painting; any thread.
  std::mutex m_paintMutex;
  bool m_bDirty = false;
  bool m_bErase = false;
  bool m_bPaintPosted = false;
  uint64_t m_nInvalidations = 0;
  RECT m_rcDirty{0, 0, 0, 0};
};
