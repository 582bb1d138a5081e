#include "platform/win/window_text.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include "platform/text/gbk.h"
#include "platform/win/detail/x11.h"

#include <X11/Xatom.h>

#include <cstring>
#include <map>

namespace {

const char kTextProperty[] = "quarvelWindowText";

// Published widgets and the X window that last got the text.
std::map<QWidget*, HWND>& Published() {
  static std::map<QWidget*, HWND> m;
  return m;
}

void ApplyPublished(QWidget* w) {
  QWindow* qw = w->windowHandle();
  if (!qw || !qw->handle()) return;
  QByteArray text = w->property(kTextProperty).toByteArray();
  HWND h = qw->winId();
  win::x11::WriteName(h, gbk::ToUtf8(std::string_view(text.constData(), size_t(text.size()))));
  Published()[w] = h;
}

// Qt may give a widget a new native window (new parent, new flags of its
// top-level) without telling the widget; every window that is shown or
// exposed is a chance to give a new X window its text.
class PublishedTextFilter : public QObject {
 public:
  bool eventFilter(QObject* obj, QEvent* ev) override {
    QEvent::Type t = ev->type();
    if ((t == QEvent::Expose || t == QEvent::Show || t == QEvent::WinIdChange) &&
        (qobject_cast<QWindow*>(obj) || obj->isWidgetType()))
      for (auto& [w, last] : Published())
        if (QWindow* qw = w->windowHandle(); qw && qw->handle() && HWND(qw->winId()) != last) ApplyPublished(w);
    return false;
  }
};

const char kOwnTextProperty[] = "quarvelOwnWindowText";

void ApplyOwnText(QWidget* w) {
  QWindow* qw = w->windowHandle();
  if (!qw || !qw->handle()) return;
  QByteArray text = w->property(kOwnTextProperty).toByteArray();
  win::x11::WriteName(qw->winId(), gbk::ToUtf8(std::string_view(text.constData(), size_t(text.size()))));
}

// Qt writes its own idea of an untitled window's name when it makes or
// shows the window; the text is put back after it.
class OwnTextFilter : public QObject {
 public:
  bool eventFilter(QObject* obj, QEvent* ev) override {
    QEvent::Type t = ev->type();
    if (t != QEvent::Show && t != QEvent::WinIdChange && t != QEvent::Expose) return false;
    QWidget* w = qobject_cast<QWidget*>(obj);
    if (!w)
      if (auto* qw = qobject_cast<QWindow*>(obj)) w = reinterpret_cast<QWidget*>(qw->property("quarvelOwner").value<void*>());
    if (w && w->property(kOwnTextProperty).isValid()) {
      ApplyOwnText(w);
      if (QWindow* qw = w->windowHandle(); qw && !qw->property("quarvelOwner").isValid()) {
        qw->setProperty("quarvelOwner", QVariant::fromValue<void*>(w));
        qw->installEventFilter(this);
      }
    }
    return false;
  }
};

QWidget* WidgetOf(QWindow* qw) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
  for (QWidget* w : QApplication::allWidgets())
    if (w->windowHandle() == qw) return w;
  return nullptr;
}

}  // namespace

int GetWindowText(HWND h, LPSTR buf, int n) {
  if (!buf || n <= 0) return 0;
  buf[0] = '\0';
  std::string text = win::WindowText(h);
  size_t limit = size_t(n) - 1, used = 0;
  while (used < text.size()) {
    size_t len = gbk::CharLength(std::string_view(text).substr(used));
    if (used + len > limit) break;
    used += len;
  }
  memcpy(buf, text.data(), used);
  buf[used] = '\0';
  return int(used);
}

BOOL SetWindowText(HWND h, LPCSTR text) {
  std::string gbkText = text ? text : "";
  if (QWindow* own = win::x11::OwnWindow(h)) {
    QWidget* w = WidgetOf(own);
    if (w && w->property(kTextProperty).isValid())
      win::PublishWindowText(w, gbkText);
    else if (w && w->property(kOwnTextProperty).isValid())
      win::SetOwnWindowText(w, gbkText);
    else if (w && w->isWindow())
      w->setWindowTitle(gbk::ToQString(gbkText));
    else
      own->setTitle(gbk::ToQString(gbkText));
    return TRUE;
  }
  if (!win::x11::Exists(h)) return FALSE;
  win::x11::WriteName(h, gbk::ToUtf8(gbkText));
  return TRUE;
}

namespace win {

std::string WindowText(HWND h) {
  std::string utf8;
  if (!x11::ReadUtf8Text(h, x11::AtomOf("_NET_WM_NAME"), &utf8) && !x11::ReadUtf8Text(h, XA_WM_NAME, &utf8))
    return {};
  std::string text = gbk::FromUtf8(utf8);
  size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

void PublishWindowText(QWidget* w, std::string_view gbkText) {
  if (!w) return;
  static PublishedTextFilter* filter = nullptr;
  if (!filter && QCoreApplication::instance()) {
    filter = new PublishedTextFilter;
    filter->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
  }
  if (!Published().count(w)) {
    Published()[w] = 0;
    QObject::connect(w, &QObject::destroyed, [w] { Published().erase(w); });
  }
  w->setProperty(kTextProperty, QByteArray(gbkText.data(), qsizetype(gbkText.size())));
  w->setAttribute(Qt::WA_NativeWindow);
  w->winId();
  ApplyPublished(w);
}

}  // namespace win

namespace win {

void SetOwnWindowText(QWidget* w, std::string_view gbkText) {
  if (!w) return;
  static OwnTextFilter* filter = nullptr;
  if (!filter && QCoreApplication::instance()) {
    filter = new OwnTextFilter;
    filter->setParent(QCoreApplication::instance());
  }
  const bool first = !w->property(kOwnTextProperty).isValid();
  w->setProperty(kOwnTextProperty, QByteArray(gbkText.data(), qsizetype(gbkText.size())));
  w->setWindowTitle(gbk::ToQString(gbkText));
  if (first && filter) w->installEventFilter(filter);
  if (QWindow* qw = w->windowHandle(); qw && filter && !qw->property("quarvelOwner").isValid()) {
    qw->setProperty("quarvelOwner", QVariant::fromValue<void*>(w));
    qw->installEventFilter(filter);
  }
  ApplyOwnText(w);
}

}  // namespace win
