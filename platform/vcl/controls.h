// Controls: every control is a QWidget. Windowed controls (TWinControl:
// forms, panels, edits ...) are what the system calls windows; graphic
// controls (TGraphicControl: speed buttons, images, labels) are alien
// widgets drawn on their parent, so WindowFromPoint over one of them gives
// the window beneath.
#pragma once
#include <QWidget>
#include <functional>

#include "platform/vcl/classes.h"
#include "platform/vcl/graphics.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
typedef TFormBorderStyle TBorderStyle;  // of panels and edits: bsNone or bsSingle

// Stock cursors (negative) and screen cursor slots (positive, Screen->Cursors).
typedef int TCursor;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                  crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
                  crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22, crSize = -22;

typedef int TModalResult;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

typedef std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)> TMouseEvent;
typedef std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)> TMouseMoveEvent;
typedef std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)> TKeyEvent;
typedef std::function<void(TObject* Sender, char& Key)> TKeyPressEvent;

class TWinControl;
class TForm;

class TControl : public TComponent, public QWidget {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  int GetLeft() const { return geometry().x(); }
  void SetLeft(int v) { SetBounds(v, GetTop(), GetWidth(), GetHeight()); }
  int GetTop() const { return geometry().y(); }
  void SetTop(int v) { SetBounds(GetLeft(), v, GetWidth(), GetHeight()); }
  virtual int GetWidth() const { return width(); }
  void SetWidth(int v) { SetBounds(GetLeft(), GetTop(), v, GetHeight()); }
  virtual int GetHeight() const { return height(); }
  void SetHeight(int v) { SetBounds(GetLeft(), GetTop(), GetWidth(), v); }
  virtual void SetBounds(int left, int top, int width, int height);
  virtual int GetClientWidth() const { return width(); }
  virtual void SetClientWidth(int v) { SetWidth(v); }
  virtual int GetClientHeight() const { return height(); }
  virtual void SetClientHeight(int v) { SetHeight(v); }
  TRect GetClientRect() const { return TRect(0, 0, GetClientWidth(), GetClientHeight()); }
  TRect GetBoundsRect() const { return Bounds(GetLeft(), GetTop(), GetWidth(), GetHeight()); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // The control's own Visible (a control on a hidden form stays Visible).
  virtual bool GetVisible() const { return visible_; }
  virtual void SetVisible(bool v);
  bool GetEnabled() const { return isEnabled(); }
  virtual void SetEnabled(bool v) { setEnabled(v); }
  TAlign GetAlign() const { return align_; }
  void SetAlign(TAlign a);
  AnsiString GetHint() const { return hint_; }
  void SetHint(const AnsiString& h) { hint_ = h; }
  bool GetShowHint() const { return showHint_; }
  void SetShowHint(bool v) { showHint_ = v, parentShowHint_ = false; }
  bool GetParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v) { parentShowHint_ = v; }
  TCursor GetCursor() const { return cursor_; }
  void SetCursor(TCursor c);
  TColor GetColor() const { return colour_; }
  void SetColor(TColor c);
  bool GetParentColor() const { return parentColour_; }
  void SetParentColor(bool v);
  TFont* GetFont() const { return font_.get(); }
  void SetFont(TFont* f) { font_->Assign(f); }
  bool GetParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  TWinControl* GetParent() const { return parent_; }
  virtual void SetParent(TWinControl* p);
  AnsiString GetCaption() const { return text_; }
  void SetCaption(const AnsiString& t) { SetText(t); }
  virtual AnsiString GetText() const { return text_; }
  virtual void SetText(const AnsiString& t);

  VCL_PROPERTY(TControl, int, Left);
  VCL_PROPERTY(TControl, int, Top);
  VCL_PROPERTY(TControl, int, Width);
  VCL_PROPERTY(TControl, int, Height);
  VCL_PROPERTY(TControl, int, ClientWidth);
  VCL_PROPERTY(TControl, int, ClientHeight);
  VCL_READONLY(TControl, TRect, ClientRect);
  VCL_PROPERTY(TControl, TRect, BoundsRect);
  VCL_PROPERTY(TControl, bool, Visible);
  VCL_PROPERTY(TControl, bool, Enabled);
  VCL_PROPERTY(TControl, TAlign, Align);
  VCL_PROPERTY(TControl, AnsiString, Hint);
  VCL_PROPERTY(TControl, bool, ShowHint);
  VCL_PROPERTY(TControl, bool, ParentShowHint);
  VCL_PROPERTY(TControl, TCursor, Cursor);
  VCL_PROPERTY(TControl, TColor, Color);
  VCL_PROPERTY(TControl, bool, ParentColor);
  VCL_PROPERTY(TControl, TFont*, Font);
  VCL_PROPERTY(TControl, bool, ParentFont);
  VCL_PROPERTY(TControl, TWinControl*, Parent);
  VCL_PROPERTY(TControl, AnsiString, Caption);
  VCL_PROPERTY(TControl, AnsiString, Text);

  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  virtual void BringToFront();
  virtual void SendToBack();
  // Deferred repaint of the control; Repaint paints it at once.
  virtual void Invalidate();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  TPoint ClientToScreen(const TPoint& p) const;
  TPoint ScreenToClient(const TPoint& p) const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // For the layer: the Qt cursor shown for the control's Cursor again (a
  // screen cursor slot changed).
  void ApplyCursor();
  // The form the control is on (itself for a form), or nullptr.
  TForm* ParentForm() const;
  // Whether the control shows its hint now (ShowHint, or its parent's
  // when ParentShowHint).
  bool HintShown() const;

 protected:
  // The events as the form library runs them; overrides call the base.
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // After Color / Font / Text changed, and after SetParent.
  virtual void ColorChanged() { update(); }
  virtual void FontChanged() { update(); }
  virtual void TextChanged() { update(); }
  virtual void ParentChanged() {}
  // A graphic control's appearance on a form goes through the form's paint
  // cycle: its old and new places are invalidated there.
  virtual bool IsGraphic() const { return false; }
  void InvalidateOnForm(const QRect& r) const;
  // The parent lays out its aligned children again.
  void RequestAlign() const;

  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;

  // Mouse events of an inner Qt widget (an edit's line edit) reach the
  // control as its own; installed as an event filter of the inner widget.
  bool eventFilter(QObject* watched, QEvent* e) override;
  void ForwardMouseOf(QWidget* inner);
  QPoint LocalPoint(const QMouseEvent* e) const;

  bool visible_ = true;

 private:
  friend class TWinControl;
  void AdoptParentColor();
  void AdoptParentFont();
  void KeepFormOrder();
  // True when the press was a caption press of the form (it goes no further).
  bool CaptionTook(QMouseEvent* e);

  TWinControl* parent_ = nullptr;
  TAlign align_ = alNone;
  AnsiString hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TCursor cursor_ = crDefault;
  TColor colour_ = clBtnFace;
  bool parentColour_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool adopting_ = false;
  AnsiString text_;
  bool clicked_ = false;
};

// A control that is a window: it holds child controls and lays out the
// aligned ones; Handle is its X window (made on first use).
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);

  virtual HWND GetHandle() const;
  VCL_READONLY(TWinControl, HWND, Handle);
  int GetControlCount() const;
  VCL_READONLY(TWinControl, int, ControlCount);
  TControl* Controls(int i) const;

  bool Focused() const { return hasFocus(); }
  // Also activates the control's form, as focusing a window does.
  virtual void SetFocus();
  bool CanFocus() const { return isEnabled() && isVisible(); }

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Places the aligned children in the client area.
  void AlignControls();
  // The widget child controls live in (a scroll box's scrolled content).
  virtual QWidget* ChildHost() { return this; }
  const QWidget* ChildHost() const { return const_cast<TWinControl*>(this)->ChildHost(); }
  // A child control was moved, resized, shown, hidden, added or removed.
  virtual void ChildChanged() {}

 protected:
  // The area aligned children share (the client rectangle less borders).
  virtual TRect AlignRect() const { return GetClientRect(); }
  void resizeEvent(QResizeEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void ColorChanged() override;
  void FontChanged() override;

 public:
  // Key events as the form library runs them (a form with KeyPreview sees
  // them first); false when a handler cleared the key.
  bool KeyDown(WORD& key, TShiftState shift);
  bool KeyUp(WORD& key, TShiftState shift);

 private:
  friend class TControl;
  bool aligning_ = false;
  const QEvent* filteredKey_ = nullptr;  // already run through the key events
};

// A control drawn on its parent (no window of its own, never focused).
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);

 protected:
  bool IsGraphic() const override { return true; }
};

namespace vcl {
// Shift state of a Qt mouse or key event.
TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
// The virtual-key code of a Qt key (0 for none).
WORD VirtualKeyOf(int qtKey);
}  // namespace vcl
