// CToolTipCtrl: tips over Qt's tooltips, driven by the messages relayed to
// it (RelayEvent), as the class library's tooltip control is. A pointer
// that rests on a tool's window for the initial delay (500 ms) brings up
// the tool's text; a button message hides it until the pointer has left
// the tool; leaving the window hides it. The control has no window of its
// own: Qt's tip window shows the text. GUI thread only.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/mfc/gdi_objects.h"
#include "platform/mfc/object.h"
#include "platform/windef.h"

class CWnd;

class CToolTipCtrl : public CObject {
 public:
  CToolTipCtrl();
  ~CToolTipCtrl() override;

  // FALSE when created already or without a parent window.
  BOOL Create(CWnd* parent, DWORD style = 0);
  BOOL IsCreated() const { return m_pTip != nullptr; }
  // Hides any tip and forgets the tools; FALSE when not created.
  BOOL DestroyWindow();
  // An inactive control shows nothing.
  void Activate(BOOL active);
  // The font of the tips (NULL: Qt's tooltip font). Qt has one tooltip font
  // for the whole program: it is set each time this control shows a tip.
  void SetFont(HFONT font, BOOL redraw = TRUE);
  // The whole window is the tool; the text is GBK.
  BOOL AddTool(CWnd* wnd, LPCTSTR text);
  // Mouse messages (client or non-client) for a tool's window.
  void RelayEvent(LPMSG msg);

 private:
  struct Tip;
  std::unique_ptr<Tip> m_pTip;
};
