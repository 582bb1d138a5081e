#include "platform/mfc/tooltip.h"

#include <QCursor>
#include <QEvent>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <optional>

#include "platform/mfc/wnd.h"
#include "platform/text/gbk.h"

namespace {

const int kInitialDelayMs = 500;

const UINT kButtonMessages[] = {
    WM_LBUTTONDOWN, WM_LBUTTONUP,       WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,       WM_RBUTTONDBLCLK,
    WM_MBUTTONDOWN, WM_MBUTTONUP,       WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_NCLBUTTONDBLCLK, WM_NCRBUTTONDOWN,
    WM_NCRBUTTONUP, WM_NCRBUTTONDBLCLK, WM_NCMBUTTONDOWN, WM_NCMBUTTONUP,
};

bool IsButtonMessage(UINT m) {
  return std::find(std::begin(kButtonMessages), std::end(kButtonMessages), m) != std::end(kButtonMessages);
}

}  // namespace

// A QObject so that it hears the tools' windows being left (no message is
// relayed once the pointer is elsewhere).
struct CToolTipCtrl::Tip : QObject {
  struct Tool {
    HWND hwnd;
    std::string text;  // GBK
  };
  std::vector<Tool> tools;
  bool active = false;
  std::optional<gdi::Font> font;
  QTimer timer;
  HWND pending = 0;     // the tool the timer shows
  HWND shown = 0;       // the tool whose tip is up
  HWND suppressed = 0;  // clicked: no tip until the pointer leaves it

  const Tool* ToolAt(HWND h, POINT screen) const {
    for (const Tool& t : tools) {
      if (t.hwnd != h) continue;
      CWnd* w = CWnd::FromHandle(h);
      if (!w) return nullptr;
      RECT r;
      w->GetWindowRect(&r);
      if (!CRect(r).PtInRect(screen)) return nullptr;
      CRgn shape;
      shape.CreateRectRgn(0, 0, 0, 0);
      if (w->GetWindowRgn(shape) != ERROR && !shape.PtInRegion(screen.x - r.left, screen.y - r.top)) return nullptr;
      return &t;
    }
    return nullptr;
  }

  void Hide() {
    timer.stop();
    pending = 0;
    if (shown) QToolTip::hideText();
    shown = 0;
  }

  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Leave) Left(HWND(static_cast<QWidget*>(watched)->internalWinId()));
    return false;
  }

  void Left(HWND h) {
    if (suppressed == h) suppressed = 0;
    if (shown == h || pending == h) Hide();
  }

  void Show() {
    const Tool* tool = nullptr;
    for (const Tool& t : tools)
      if (t.hwnd == pending) tool = &t;
    CWnd* w = tool ? CWnd::FromHandle(tool->hwnd) : nullptr;
    QWidget* widget = w ? QWidget::find(WId(w->m_hWnd)) : nullptr;
    if (!active || !widget) return;
    if (font) QToolTip::setFont(font->ToQFont());
    QToolTip::showText(QCursor::pos(), gbk::ToQString(tool->text), widget, widget->rect());
    shown = tool->hwnd;
  }
};

CToolTipCtrl::CToolTipCtrl() = default;

CToolTipCtrl::~CToolTipCtrl() { DestroyWindow(); }

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD) {
  if (m_pTip || !parent || !parent->m_hWnd) return FALSE;
  m_pTip = std::make_unique<Tip>();
  m_pTip->timer.setSingleShot(true);
  Tip* tip = m_pTip.get();
  QObject::connect(&tip->timer, &QTimer::timeout, [tip] { tip->Show(); });
  return TRUE;
}

BOOL CToolTipCtrl::DestroyWindow() {
  if (!m_pTip) return FALSE;
  m_pTip->Hide();
  m_pTip.reset();
  return TRUE;
}

void CToolTipCtrl::Activate(BOOL active) {
  if (!m_pTip) return;
  m_pTip->active = active != FALSE;
  if (!active) m_pTip->Hide();
}

void CToolTipCtrl::SetFont(HFONT font, BOOL) {
  if (!m_pTip) return;
  if (font)
    m_pTip->font = font->font;  // a copy: the caller may delete the font
  else
    m_pTip->font.reset();
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCTSTR text) {
  if (!m_pTip || !wnd || !wnd->m_hWnd) return FALSE;
  m_pTip->tools.push_back(Tip::Tool{wnd->m_hWnd, text ? text : ""});
  if (QWidget* w = QWidget::find(WId(wnd->m_hWnd))) w->installEventFilter(m_pTip.get());
  return TRUE;
}

void CToolTipCtrl::RelayEvent(LPMSG msg) {
  Tip* tip = m_pTip.get();
  if (!tip || !msg || !tip->active) return;
  const Tip::Tool* tool = tip->ToolAt(msg->hwnd, msg->pt);
  if (IsButtonMessage(msg->message)) {
    tip->Hide();
    tip->suppressed = tool ? tool->hwnd : 0;
    return;
  }
  if (msg->message != WM_MOUSEMOVE && msg->message != WM_NCMOUSEMOVE) return;
  if (!tool) {  // a captured window hears the pointer outside it
    tip->Left(msg->hwnd);
    return;
  }
  if (tip->suppressed == tool->hwnd || tip->shown == tool->hwnd) return;
  tip->pending = tool->hwnd;
  tip->timer.start(kInitialDelayMs);  // the pointer has to rest
}
