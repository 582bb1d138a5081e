// Forms with a message map: the messages of the form's window pass through
// the form's Dispatch, which a derived form overrides to handle some and
// hands the rest to the inherited Dispatch.
//
// What reaches Dispatch: messages sent or posted to the form's handle, its
// close requests (WM_CLOSE, from this process or as another process's
// WM_DELETE_WINDOW), and WM_NCHITTEST for a left press on the form's own
// surface (its graphic controls included, its child windows not), with the
// screen point in LParam. A hit test answered HTCAPTION moves the window
// with the pointer, as a press on a caption does, and the press goes no
// further; any other answer lets the press reach the form and its controls.
#pragma once
#include <QPointer>
#include <QWindow>

#include "platform/vcl/forms.h"

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// WM_NCHITTEST's view of a message: the screen point, and the answer
// written back into the message.
struct TWMNCHitTest {
  explicit TWMNCHitTest(TMessage& m)
      : Msg(m.Msg), XPos(short(LOWORD(m.LParam))), YPos(short(HIWORD(m.LParam))), Result(m.Result) {}
  const UINT Msg;
  const short XPos, YPos;
  LRESULT& Result;
};

class TMessageMapForm : public TForm {
 public:
  explicit TMessageMapForm(TComponent* owner);
  ~TMessageMapForm() override;

  // The inherited handling: WM_CLOSE closes the form, WM_NCHITTEST answers
  // HTCLIENT, anything else gives 0.
  virtual void Dispatch(TMessage& Message);

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  class PressFilter;
  // Registers the window procedure and the press filter on the form's
  // current window (Qt may have made a new one).
  void Attach();
  void Detach();

  QPointer<QWindow> window_;
  HWND handle_ = 0;
  PressFilter* filter_ = nullptr;
};
