// Private to the class library: the native Qt widget under a CWnd, the
// surface it shows, and the turning of Qt's mouse events into the window's
// messages (see wnd.h for the rules they follow).
#pragma once
#include <QMouseEvent>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/mfc/wnd.h"
#include "platform/windef.h"

class QRubberBand;

namespace mfc::detail {

// A window's pixels. Changes are shown by repainting the widget on the GUI
// thread (one queued repaint gathers the changes made before it runs);
// reads see the visible child windows over the window's own pixels, each
// within its shape.
class WindowSurface : public gdi::Bitmap, public std::enable_shared_from_this<WindowSurface> {
 public:
  WindowSurface(int width, int height);

  void ShowChanges(QWidget* widget);
  void StopShowing() { widget_ = nullptr; }

  struct Child {
    const void* key;
    std::weak_ptr<gdi::Surface> surface;
    QPoint position;
    bool visible;
    std::optional<QRegion> shape;  // child coordinates; none: all of it
  };
  void SetChild(const Child& child);
  void RemoveChild(const void* key);

  QImage Read(const QRect& area) const override;

 private:
  void Changed(const QRect& r);

  QPointer<QWidget> widget_;  // GUI thread only
  std::mutex pendingMutex_;
  QRect pending_;
  bool posted_ = false;
  mutable std::mutex childMutex_;
  std::vector<Child> children_;
};

// The Qt widget of a CWnd: paints the surface, keeps it the widget's size,
// tells the parent's surface where it is, and turns mouse events into the
// window's messages while its CWnd holds it.
class WindowWidget : public QWidget {
 public:
  WindowWidget(QWidget* parent, std::shared_ptr<WindowSurface> surface, std::shared_ptr<WindowSurface> parentSurface,
               CWnd* owner);
  ~WindowWidget() override;

  // The window's shape (client coordinates): the X window's shape, so the
  // server shows and hit-tests only those pixels, and what the parent's
  // reads take of this window. Nothing: the whole window.
  void SetShape(const std::optional<QRegion>& shape);
  // Whether the client point lies in the window and its shape.
  bool InShape(QPoint local) const;

  // The CWnd lets go: no more messages; the widget goes now, or once the
  // event it is handling has ended.
  void Release();

  // A window-move drag from the screen point, while the left button is
  // down: an outline follows the pointer (held inside the parent's client
  // area); at the release the window moves there. FALSE when the button is
  // not down or a drag runs already.
  bool BeginMove(POINT at);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent*) override;
  void moveEvent(QMoveEvent*) override;
  void showEvent(QShowEvent*) override;
  void hideEvent(QHideEvent*) override;
  void mousePressEvent(QMouseEvent* e) override { Mouse(e); }
  void mouseReleaseEvent(QMouseEvent* e) override { Mouse(e); }
  void mouseDoubleClickEvent(QMouseEvent* e) override { Mouse(e); }
  void mouseMoveEvent(QMouseEvent* e) override { Mouse(e); }

 private:
  void Tell(bool visible);
  QEvent::Type TypeOf(const QMouseEvent* e);
  void Mouse(QMouseEvent* e);
  void TrackMove(QMouseEvent* e);
  void EndMove(QPoint delta);

  std::shared_ptr<WindowSurface> surface_;
  std::shared_ptr<WindowSurface> parentSurface_;
  CWnd* owner_;
  std::optional<QRegion> shape_;
  // The last press here, to tell a double click on this window.
  Qt::MouseButton lastPress_ = Qt::NoButton;
  ulong lastPressTime_ = 0;
  // The window-move drag.
  QPointer<QRubberBand> band_;
  bool moving_ = false;
  QPoint moveFrom_;   // screen point of the press
  QRect moveStart_;   // window rectangle on the screen at the press
  QRect moveLimits_;  // where the pointer may go
};

}  // namespace mfc::detail

// What a CWnd holds of its window (GUI thread only).
struct CWnd::Native {
  QPointer<mfc::detail::WindowWidget> widget;
  std::shared_ptr<mfc::detail::WindowSurface> surface;
};
