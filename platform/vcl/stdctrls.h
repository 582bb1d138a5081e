// Edits, labels, push buttons, scroll bars, list boxes, memos, check boxes,
// radio buttons and group boxes.
#pragma once
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <memory>

#include "platform/vcl/controls.h"

class QPainter;

// A one-line edit over QLineEdit. OnChange runs for every change of Text,
// the program's own included. MaxLength counts GBK bytes.
class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);

  AnsiString GetText() const override;
  void SetText(const AnsiString& t) override;
  bool GetReadOnly() const { return edit_->isReadOnly(); }
  void SetReadOnly(bool v) { edit_->setReadOnly(v); }
  char GetPasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char c);
  int GetMaxLength() const { return maxLength_; }
  void SetMaxLength(int n) { maxLength_ = std::max(0, n); }
  TBorderStyle GetBorderStyle() const { return edit_->hasFrame() ? bsSingle : bsNone; }
  void SetBorderStyle(TBorderStyle s) { edit_->setFrame(s != bsNone); }
  int GetSelStart() const;
  void SetSelStart(int s);
  int GetSelLength() const;
  void SetSelLength(int n);
  AnsiString GetSelText() const;

  VCL_PROPERTY(TEdit, bool, ReadOnly);
  VCL_PROPERTY(TEdit, char, PasswordChar);
  VCL_PROPERTY(TEdit, int, MaxLength);
  VCL_PROPERTY(TEdit, TBorderStyle, BorderStyle);
  VCL_PROPERTY(TEdit, int, SelStart);
  VCL_PROPERTY(TEdit, int, SelLength);
  VCL_READONLY(TEdit, AnsiString, SelText);

  void SelectAll() { edit_->selectAll(); }
  void Clear() { SetText(""); }
  void SetFocus() override;

  TNotifyEvent OnChange;

  QLineEdit* Inner() const { return edit_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void ColorChanged() override;
  void FontChanged() override;

 private:
  void Edited();
  QLineEdit* edit_;
  char passwordChar_ = 0;
  int maxLength_ = 0;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };

// Text on its parent; AutoSize fits the control to its caption.
class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);

  bool GetTransparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v, update(); }
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) { autoSize_ = v, Fit(); }
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment a) { alignment_ = a, update(); }
  TTextLayout GetLayout() const { return layout_; }
  void SetLayout(TTextLayout l) { layout_ = l, update(); }
  bool GetWordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { wordWrap_ = v, Fit(); }

  VCL_PROPERTY(TLabel, bool, Transparent);
  VCL_PROPERTY(TLabel, bool, AutoSize);
  VCL_PROPERTY(TLabel, TAlignment, Alignment);
  VCL_PROPERTY(TLabel, TTextLayout, Layout);
  VCL_PROPERTY(TLabel, bool, WordWrap);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void TextChanged() override { Fit(), update(); }
  void FontChanged() override { Fit(), update(); }

 private:
  void Fit();
  bool transparent_ = false;
  bool autoSize_ = true;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
};

// A push button drawn by the layer. A click sets the form's ModalResult to
// the button's (ending a modal loop once OnClick has run); Default buttons
// take Enter on their form, Cancel buttons Escape.
class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);

  TModalResult GetModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult r) { modalResult_ = r; }
  bool GetDefault() const { return default_; }
  void SetDefault(bool v) { default_ = v, update(); }
  bool GetCancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }

  VCL_PROPERTY(TButton, TModalResult, ModalResult);
  VCL_PROPERTY(TButton, bool, Default);
  VCL_PROPERTY(TButton, bool, Cancel);

  void Click() override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void keyPressEvent(QKeyEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  // The caption (and a glyph) inside the face.
  virtual void PaintContent(QPainter& p, const QRect& r);

 private:
  TModalResult modalResult_ = mrNone;
  bool default_ = false;
  bool cancel_ = false;
  bool pressing_ = false;
  bool inside_ = false;
};

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
typedef std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)> TScrollEvent;

// A scroll bar over QScrollBar. Position stays within Min..Max (less
// PageSize - 1); SmallChange is the arrow step, LargeChange the page step.
// OnScroll runs for each step or drag move (it may change ScrollPos), then
// OnChange for each change of Position; a drag or a run of steps ends with
// scEndScroll.
class TScrollBar : public TWinControl {
 public:
  explicit TScrollBar(TComponent* owner);

  TScrollBarKind GetKind() const { return kind_; }
  void SetKind(TScrollBarKind k);
  int GetMin() const { return min_; }
  void SetMin(int v) { SetParams(position_, v, max_); }
  int GetMax() const { return max_; }
  void SetMax(int v) { SetParams(position_, min_, v); }
  int GetPosition() const { return position_; }
  void SetPosition(int v) { SetParams(v, min_, max_); }
  int GetPageSize() const { return pageSize_; }
  void SetPageSize(int v);
  int GetSmallChange() const { return smallChange_; }
  void SetSmallChange(int v);
  int GetLargeChange() const { return largeChange_; }
  void SetLargeChange(int v);
  void SetParams(int position, int min, int max);

  VCL_PROPERTY(TScrollBar, TScrollBarKind, Kind);
  VCL_PROPERTY(TScrollBar, int, Min);
  VCL_PROPERTY(TScrollBar, int, Max);
  VCL_PROPERTY(TScrollBar, int, Position);
  VCL_PROPERTY(TScrollBar, int, PageSize);
  VCL_PROPERTY(TScrollBar, int, SmallChange);
  VCL_PROPERTY(TScrollBar, int, LargeChange);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  QScrollBar* Inner() const { return bar_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  int TopPosition() const;
  void Sync();
  void Action(int action);
  void Scroll(TScrollCode code, int pos);

  QScrollBar* bar_;
  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0, smallChange_ = 1, largeChange_ = 1;
  bool syncing_ = false;
  bool stepped_ = false;  // steps since the button went down
};

// One-column list over QListWidget. ItemIndex -1 is no selection; deleting
// the selected item leaves none. OnClick runs when the person selects an
// item (with the mouse or the keys), not when the program sets ItemIndex.
class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* owner);
  ~TListBox() override;

  TStrings* GetItems() const { return items_.get(); }
  void SetItems(TStrings* s) { items_->Assign(s); }
  int GetItemIndex() const;
  void SetItemIndex(int i);
  int GetItemHeight() const { return itemHeight_; }
  void SetItemHeight(int h);

  VCL_PROPERTY(TListBox, TStrings*, Items);
  VCL_PROPERTY(TListBox, int, ItemIndex);
  VCL_PROPERTY(TListBox, int, ItemHeight);

  QListWidget* Inner() const { return list_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void ColorChanged() override;
  void FontChanged() override;
  // A list box's click is the selection, not the press and release.
  void Click() override {}

 private:
  QListWidget* list_;
  std::unique_ptr<TStrings> items_;
  int itemHeight_ = 13;
  bool byPerson_ = false;  // the list is handling a press or a key
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Lines of text over QPlainTextEdit.
class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* owner);
  ~TMemo() override;

  TStrings* GetLines() const { return lines_.get(); }
  void SetLines(TStrings* s) { lines_->Assign(s); }
  AnsiString GetText() const override;
  void SetText(const AnsiString& t) override;
  bool GetReadOnly() const { return edit_->isReadOnly(); }
  void SetReadOnly(bool v) { edit_->setReadOnly(v); }
  bool GetWordWrap() const { return edit_->lineWrapMode() != QPlainTextEdit::NoWrap; }
  void SetWordWrap(bool v) { edit_->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap); }
  TScrollStyle GetScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle s);
  // Off: the Tab key moves on, it never enters the memo; clicks still do.
  bool GetTabStop() const { return focusPolicy() != Qt::ClickFocus; }
  void SetTabStop(bool v);

  VCL_PROPERTY(TMemo, TStrings*, Lines);
  VCL_PROPERTY(TMemo, bool, ReadOnly);
  VCL_PROPERTY(TMemo, bool, WordWrap);
  VCL_PROPERTY(TMemo, TScrollStyle, ScrollBars);
  VCL_PROPERTY(TMemo, bool, TabStop);

  void Clear() { SetText(""); }
  TNotifyEvent OnChange;

  QPlainTextEdit* Inner() const { return edit_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void ColorChanged() override;
  void FontChanged() override;

 private:
  QPlainTextEdit* edit_;
  std::unique_ptr<TStrings> lines_;
  TScrollStyle scrollBars_ = ssNone;
};

// Setting Checked from the program runs OnClick too, as the library does.
class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  bool GetChecked() const { return box_->isChecked(); }
  void SetChecked(bool v);
  VCL_PROPERTY(TCheckBox, bool, Checked);
  QCheckBox* Inner() const { return box_; }

 protected:
  void TextChanged() override;
  void ColorChanged() override;
  void FontChanged() override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  QCheckBox* box_;
};

// Radio buttons on one parent exclude each other.
class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* owner);
  bool GetChecked() const { return button_->isChecked(); }
  void SetChecked(bool v);
  VCL_PROPERTY(TRadioButton, bool, Checked);
  QRadioButton* Inner() const { return button_; }

 protected:
  void TextChanged() override;
  void FontChanged() override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  QRadioButton* button_;
};

// A frame with its caption at the top left, holding controls.
class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner);

 protected:
  void paintEvent(QPaintEvent* e) override;
  TRect AlignRect() const override;
};
