// Forms, the application object and the screen.
//
// A form's canvas draws on the form's surface (form_surface.h). The paint
// cycle is the form library's: Invalidate collects the region and paints it
// from a posted event (coalesced), Repaint paints at once; painting erases
// the region with the form Color (unless the form Brush is clear) and runs
// OnPaint with the canvas clipped to it. A pending paint runs before the
// next mouse event reaches the form or its controls. An expose of the
// window only copies the surface again.
#pragma once
#include <QEventLoop>
#include <QPointer>
#include <QWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/controls.h"
#include "platform/vcl/form_surface.h"
#include "platform/win/application.h"

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// A window message as a form's Dispatch sees it.
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

typedef std::function<void(TObject* Sender, bool& CanClose)> TCloseQueryEvent;
typedef std::function<void(TObject* Sender, TCloseAction& Action)> TCloseEvent;

class TForm : public TWinControl {
 public:
  // The derived form's constructor builds its children (its form
  // description) and assigns its events; Application->CreateForm then runs
  // OnCreate. A form starts hidden.
  explicit TForm(TComponent* owner);
  ~TForm() override;

  // Frameless forms: Width/Height are the client size; framed ones add the
  // frame the window manager gives them (known once shown).
  int GetWidth() const override;
  int GetHeight() const override;
  int GetClientWidth() const override { return width(); }
  void SetClientWidth(int v) override;
  int GetClientHeight() const override { return height(); }
  void SetClientHeight(int v) override;
  void SetBounds(int left, int top, int width, int height) override;
  bool GetVisible() const override { return isVisible(); }
  void SetVisible(bool v) override;
  void SetText(const AnsiString& t) override;
  HWND GetHandle() const override;
  void BringToFront() override;
  void SendToBack() override;

  TFormBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle s);
  TFormStyle GetFormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle s);
  TWindowState GetWindowState() const { return windowState_; }
  void SetWindowState(TWindowState s);
  TPosition GetPosition() const { return position_; }
  void SetPosition(TPosition p) { position_ = p; }
  TCanvas* GetCanvas() const { return canvas_.get(); }
  TBrush* GetBrush() const { return brush_.get(); }
  void SetBrush(TBrush* b) { brush_->Assign(b); }
  TModalResult GetModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult r);
  bool GetKeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  TControl* GetActiveControl() const;
  void SetActiveControl(TControl* c);

  VCL_PROPERTY(TForm, TFormBorderStyle, BorderStyle);
  VCL_PROPERTY(TForm, TFormStyle, FormStyle);
  VCL_PROPERTY(TForm, TWindowState, WindowState);
  VCL_PROPERTY(TForm, TPosition, Position);
  VCL_READONLY(TForm, TCanvas*, Canvas);
  VCL_PROPERTY(TForm, TBrush*, Brush);
  VCL_PROPERTY(TForm, TModalResult, ModalResult);
  VCL_PROPERTY(TForm, bool, KeyPreview);
  VCL_PROPERTY(TForm, TControl*, ActiveControl);

  void Show();
  void Hide() { SetVisible(false); }
  // OnCloseQuery, then OnClose; the main form's close ends the program,
  // another form's hides it. On a modal form it ends the modal loop.
  void Close();
  // Shows the form and runs a nested loop until ModalResult becomes
  // non-zero or the form closes; the forms visible at the start are
  // disabled meanwhile. Returns ModalResult.
  TModalResult ShowModal();
  bool Modal() const { return modal_; }
  bool CloseQuery();
  void Invalidate() override;
  void Repaint() override;
  void SetFocus() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TNotifyEvent OnResize;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;

  // The form's message map. What reaches it: messages sent or posted to
  // the form's handle (once shown), its close requests (WM_CLOSE, from this
  // process or as another process's WM_DELETE_WINDOW), and WM_NCHITTEST
  // (LParam: the screen point) when the left button goes down on the form's
  // own surface or on a graphic control on it (child windows answer their
  // own). A hit test answered HTCAPTION moves the window with the pointer
  // (win::StartWindowMove) and the press goes nowhere else. A form that
  // handles messages overrides it and hands the rest to this one: WM_CLOSE
  // closes the form, WM_NCHITTEST answers HTCLIENT, anything else gives 0.
  // An exception leaving it is shown as a handler's is.
  virtual void Dispatch(TMessage& message);

  // For the layer.
  void InvalidateRegion(const QRegion& region);
  // Runs the hit test of a left press at the screen point; true when the
  // caption took the press (the window then follows the pointer).
  bool CaptionPress(const QPoint& global);
  // Runs a pending paint now (before input reaches the form).
  void FlushPaint();
  // Enter clicks the form's Default button, Escape its Cancel button;
  // false when there is none to click.
  bool DialogKey(WORD key);
  // Runs OnCreate (Application->CreateForm).
  void DoCreate();
  vcl::FormSurface* Surface() { return &surface_; }
  bool VisibleRequested() const { return visible_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void customEvent(QEvent* e) override;
  void ColorChanged() override;
  void FontChanged() override;

 private:
  friend class TWinControl;
  friend class TApplication;
  void ApplyFlags();
  void ApplyPlacement();
  void Resized(QSize client);
  void RunPaint();
  // Dispatch behind the exception display; the message's Result.
  LRESULT Deliver(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT result = 0);
  // Registers the form's window procedure on its current X window (Qt may
  // have made a new one), or drops it.
  void AttachWindowProc();
  void DetachWindowProc();
  bool Framed() const { return borderStyle_ != bsNone; }
  // The form a form being shown comes up over: the last shown of the other
  // visible forms that are not on their way out; never one that is (through
  // its owners) over this one, none for the main form.
  TForm* OverOnShow() const;
  bool Leaving() const { return closing_ || (modal_ && modalResult_ != mrNone); }

  vcl::FormSurface surface_;
  std::unique_ptr<TCanvas> canvas_;
  std::unique_ptr<TBrush> brush_;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TFormStyle formStyle_ = fsNormal;
  TWindowState windowState_ = wsNormal;
  TPosition position_ = poDesigned;
  TModalResult modalResult_ = mrNone;
  bool keyPreview_ = false;
  bool modal_ = false;
  bool closing_ = false;
  bool created_ = false;
  QEventLoop* modalLoop_ = nullptr;
  QRegion pending_;
  bool paintPosted_ = false;
  QSize frameExtra_{0, 0};  // unknown until the window manager framed it
  QPointer<QWindow> procWindow_;  // the window whose handle runs Dispatch
  QPointer<TForm> over_;  // the form it came up over when last shown
  unsigned shownAt_ = 0;  // order of the last show among the forms
  HWND procHandle_ = 0;
};
typedef TForm TCustomForm;

// A window that scrolls its child controls (its range is their extent);
// children may be far taller than an X window could be (alien widgets).
class TScrollBox : public TWinControl {
 public:
  explicit TScrollBox(TComponent* owner);

  QWidget* ChildHost() override { return content_; }
  void ChildChanged() override;
  TBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  VCL_PROPERTY(TScrollBox, TBorderStyle, BorderStyle);

  // VertScrollBar->Position, HorzScrollBar->Position; Tracking is always on.
  class TControlScrollBar {
   public:
    TControlScrollBar(TScrollBox* box, bool vertical) : box_(box), vertical_(vertical) {}
    int GetPosition() const;
    void SetPosition(int p);
    int GetRange() const;
    bool GetTracking() const { return true; }
    void SetTracking(bool) {}
    bool GetVisible() const;
    void SetVisible(bool v);
    VCL_PROPERTY(TControlScrollBar, int, Position);
    VCL_READONLY(TControlScrollBar, int, Range);
    VCL_PROPERTY(TControlScrollBar, bool, Tracking);
    VCL_PROPERTY(TControlScrollBar, bool, Visible);

   private:
    QScrollBar* Bar() const;
    TScrollBox* box_;
    bool vertical_;
  };
  TControlScrollBar* VertScrollBar;
  TControlScrollBar* HorzScrollBar;
  ~TScrollBox() override;

  // Scrolls so that the control is in view.
  void ScrollInView(TControl* c);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void ColorChanged() override;

 private:
  QScrollArea* area_;
  QWidget* content_;
  TBorderStyle borderStyle_ = bsSingle;
};

class TApplication : public TComponent {
 public:
  TApplication();
  // Deletes the forms, then Qt's application.
  ~TApplication() override;

  // Qt's application and the application window.
  void Initialize();
  // Constructs a form, then runs its OnCreate; the first is the main form.
  template <class T>
  void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    FormCreated(form);
  }
  // Shows the main form and runs the message loop until the main form
  // closes or Terminate is called.
  void Run();
  void Terminate();
  bool GetTerminated() const;
  void ProcessMessages();
  // A message box owned by the active form (or the main form): IDOK, IDYES ...
  int MessageBox(const AnsiString& text, const AnsiString& caption, int flags);
  // The default exception display: the message in a box titled with the
  // application title, with an OK button and the error icon.
  void ShowException(const AnsiString& message);

  AnsiString GetTitle() const;
  void SetTitle(const AnsiString& t);
  HWND GetHandle() const;
  TForm* GetMainForm() const { return mainForm_; }
  bool GetShowHint() const { return showHint_; }
  void SetShowHint(bool v) { showHint_ = v; }
  TColor GetHintColor() const { return hintColour_; }
  void SetHintColor(TColor c);
  bool GetShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool v) { showMainForm_ = v; }

  VCL_PROPERTY(TApplication, AnsiString, Title);
  VCL_READONLY(TApplication, HWND, Handle);
  VCL_READONLY(TApplication, TForm*, MainForm);
  VCL_READONLY(TApplication, bool, Terminated);
  VCL_PROPERTY(TApplication, bool, ShowHint);
  VCL_PROPERTY(TApplication, TColor, HintColor);
  VCL_PROPERTY(TApplication, bool, ShowMainForm);

  // For the layer and tests.
  win::Application& Win() { return win_; }
  void SetMainForm(TForm* f) { mainForm_ = f; }

 private:
  void FormCreated(TForm* form);

  win::Application win_;
  TForm* mainForm_ = nullptr;
  bool showHint_ = true;
  TColor hintColour_ = clInfoBk;
  bool showMainForm_ = true;
};

class TScreen : public TComponent {
 public:
  TScreen();

  int GetWidth() const;
  int GetHeight() const;
  TCursor GetCursor() const { return cursor_; }
  // Other than crDefault, shown over every control of the program.
  void SetCursor(TCursor c);
  int GetFormCount() const { return int(forms_.size()); }
  TForm* Forms(int i) const;
  TForm* GetActiveForm() const;

  VCL_READONLY(TScreen, int, Width);
  VCL_READONLY(TScreen, int, Height);
  VCL_PROPERTY(TScreen, TCursor, Cursor);
  VCL_READONLY(TScreen, int, FormCount);
  VCL_READONLY(TScreen, TForm*, ActiveForm);

  // Screen->Cursors[n]: cursor slots. Assigning a handle installs it (the
  // slot's old cursor is destroyed) and every control showing slot n shows
  // the new one; assigning 0 empties the slot, which shows the arrow.
  class CursorSlot {
   public:
    CursorSlot(TScreen* s, int n) : s_(s), n_(n) {}
    CursorSlot& operator=(HCURSOR c);
    operator HCURSOR() const;

   private:
    TScreen* s_;
    int n_;
  };
  class CursorSlots {
   public:
    explicit CursorSlots(TScreen* s) : s_(s) {}
    CursorSlot operator[](int n) const { return CursorSlot(s_, n); }

   private:
    TScreen* s_;
  };
  CursorSlots Cursors{this};

  // The Qt cursor of a cursor value.
  QCursor QtCursor(TCursor c) const;
  void AddForm(TForm* f);
  void RemoveForm(TForm* f);
  const std::vector<TForm*>& AllForms() const { return forms_; }

 private:
  void SetSlot(int n, HCURSOR c);
  TCursor cursor_ = crDefault;
  std::vector<std::pair<int, HCURSOR>> slots_;
  std::vector<TForm*> forms_;
};

extern TApplication* Application;
extern TScreen* Screen;
