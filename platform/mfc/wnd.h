// CWnd: the class library's window, a native X window of this process (a
// Qt widget underneath) that shows a 32-bpp surface. Its DCs (GetDC) draw
// on that surface from any thread, and what they draw is shown at once;
// reading from a window DC sees the window's pixels with its visible child
// windows over them. Messages reach WindowProc on the GUI thread through
// platform/win's window procedures, so PostMessage works from any thread.
//
// Create, DestroyWindow and ShowWindow belong to the GUI thread and need a
// QApplication; GetDC, ReleaseDC, InvalidateRect and PostMessage may be
// called from any thread.
#pragma once
#include <memory>
#include <mutex>
#include <vector>

#include "platform/mfc/dc.h"
#include "platform/windef.h"

class CWnd : public CObject {
 public:
  CWnd();
  ~CWnd() override;

  HWND m_hWnd = 0;
  HWND GetSafeHwnd() const { return m_hWnd; }

  // WS_CHILD: a child window of `parent` at `rect` in its client area; else
  // a top-level window at `rect` on the screen (WS_POPUP without a frame),
  // titled `windowName` (GBK). WS_VISIBLE shows it. The class name is not
  // used. A new window is white. FALSE when this object has a window
  // already, a child has no parent window, off the GUI thread or without a
  // QApplication.
  virtual BOOL Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // Destroys the child windows first. FALSE without a window.
  virtual BOOL DestroyWindow();
  // SW_HIDE hides, anything else shows; returns whether it was visible.
  BOOL ShowWindow(int cmd);
  BOOL IsWindowVisible() const;
  void GetClientRect(LPRECT rect) const;
  UINT GetDlgCtrlID() const { return m_nID; }
  CWnd* GetParent() const { return m_pParent; }

  // A new DC on the window's surface, NULL without a window; give it back
  // with ReleaseDC (which deletes it). It stays usable if the window goes.
  CDC* GetDC();
  int ReleaseDC(CDC* dc);
  // Erases the area (the whole client area for NULL) to white when asked,
  // then posts WM_PAINT.
  void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  // Every message of the window; the default passes it to DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // WM_CLOSE destroys the window; other messages give 0.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Native;
  std::shared_ptr<gdi::Surface> SurfaceOf() const;

  std::unique_ptr<Native> m_pNative;  // GUI thread only
  mutable std::mutex m_surfaceMutex;
  std::shared_ptr<gdi::Surface> m_pSurface;
  CWnd* m_pParent = nullptr;
  std::vector<CWnd*> m_children;
  UINT m_nID = 0;
};
