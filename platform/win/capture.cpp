#include "platform/win/capture.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include "platform/win/messages.h"

namespace {

bool OnGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return qobject_cast<QApplication*>(app) && QThread::currentThread() == app->thread();
}

HWND HandleOf(const QWidget* w) { return w && w->internalWinId() ? HWND(w->internalWinId()) : 0; }

}  // namespace

HWND GetCapture() { return OnGuiThread() ? HandleOf(QWidget::mouseGrabber()) : 0; }

HWND SetCapture(HWND h) {
  if (!h || !OnGuiThread()) return 0;
  QWidget* w = QWidget::find(WId(h));
  if (!w || !w->isVisible()) return 0;
  const HWND old = GetCapture();
  if (old == h) return old;
  w->grabMouse();
  if (old) SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(h));
  return old;
}

BOOL ReleaseCapture() {
  if (!OnGuiThread()) return FALSE;
  QWidget* grabber = QWidget::mouseGrabber();
  if (!grabber) return FALSE;
  const HWND old = HandleOf(grabber);
  grabber->releaseMouse();
  if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}
