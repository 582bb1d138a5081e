#include "platform/vcl/message_map.h"

#include <QCloseEvent>
#include <QMouseEvent>

#include "platform/vcl/events.h"
#include "platform/win/messages.h"
#include "platform/win/window_pos.h"

// Sits on the form's own X window, so it sees the presses there before any
// widget does, and none of those on child windows, which have windows of
// their own: the presses a window system would hit-test for this window.
class TMessageMapForm::PressFilter : public QObject {
 public:
  explicit PressFilter(TMessageMapForm* form) : QObject(form), form_(form) {}

  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick) return false;
    auto* m = static_cast<QMouseEvent*>(e);
    if (m->button() != Qt::LeftButton) return false;
    const QPoint p = m->globalPosition().toPoint();
    TMessage msg{WM_NCHITTEST, 0, MAKELPARAM(WORD(p.x()), WORD(p.y())), 0};
    const std::function<void()> hitTest = [&] { form_->Dispatch(msg); };
    if (!vcl::Fire(hitTest) || msg.Result != HTCAPTION) return false;
    // A caption press belongs to the move, even when the button is up again
    // before the move could start.
    win::StartWindowMove(form_->handle_);
    return true;
  }

 private:
  TMessageMapForm* form_;
};

TMessageMapForm::TMessageMapForm(TComponent* owner) : TForm(owner), filter_(new PressFilter(this)) {}

TMessageMapForm::~TMessageMapForm() { Detach(); }

void TMessageMapForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE:
      Message.Result = 0;
      Close();
      break;
    case WM_NCHITTEST: Message.Result = HTCLIENT; break;
    default: Message.Result = 0; break;
  }
}

void TMessageMapForm::showEvent(QShowEvent* e) {
  Attach();
  TForm::showEvent(e);
}

void TMessageMapForm::closeEvent(QCloseEvent* e) {
  e->ignore();
  TMessage m{WM_CLOSE, 0, 0, 0};
  Dispatch(m);
}

void TMessageMapForm::Attach() {
  QWindow* w = windowHandle();
  if (!w || w == window_) return;
  Detach();
  window_ = w;
  handle_ = HWND(w->winId());
  w->installEventFilter(filter_);
  RegisterWindowProc(handle_, [this](UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    TMessage m{msg, wParam, lParam, 0};
    Dispatch(m);
    return m.Result;
  });
}

void TMessageMapForm::Detach() {
  if (window_) window_->removeEventFilter(filter_);
  if (handle_) UnregisterWindowProc(handle_);
  window_ = nullptr;
  handle_ = 0;
}
