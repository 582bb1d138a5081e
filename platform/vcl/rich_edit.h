// The rich edit control over QTextEdit: formatted text the person types,
// selects and pastes, read and written as rich text streams (rtf.h) or, in
// plain-text mode and for files that are not rich text, as plain text in
// code page 936.
//
// Font is the look of the whole text: assigning it restyles every
// character and the text typed next. SelAttributes is the look of the
// selection. Color is the background. Chinese input comes through the
// desktop's input method as in every Qt text widget; ImeName names the
// input method to switch to whenever the control gets the focus
// (input_method.h), empty for the desktop's own choice.
#pragma once
#include <QTextEdit>
#include <memory>

#include "platform/vcl/controls.h"

class TRichEdit;

// The attributes of the selected text (those of its first character) or,
// with nothing selected, of the text typed next at the caret. Assigning a
// TFont (or another TTextAttributes) sets them all; a TFont takes them by
// Assign from them.
class TTextAttributes : public TPersistent {
 public:
  explicit TTextAttributes(TRichEdit* edit) : edit_(edit) {}

  void Assign(TPersistent* source) override;
  void AssignTo(TPersistent* dest) const override;

  AnsiString GetName() const;
  void SetName(const AnsiString& n);
  int GetHeight() const;  // negative: character height in pixels
  void SetHeight(int h);
  int GetSize() const;  // points at 96 pixels per inch
  void SetSize(int points) { SetHeight(-int(points * 96 / 72.0 + 0.5)); }
  TColor GetColor() const;
  void SetColor(TColor c);
  TFontStyles GetStyle() const;
  void SetStyle(const TFontStyles& s);

  VCL_PROPERTY(TTextAttributes, AnsiString, Name);
  VCL_PROPERTY(TTextAttributes, int, Height);
  VCL_PROPERTY(TTextAttributes, int, Size);
  VCL_PROPERTY(TTextAttributes, TColor, Color);
  VCL_PROPERTY(TTextAttributes, TFontStyles, Style);

 private:
  void Font(TFont* out) const;
  TRichEdit* edit_;
};

// The control's text as lines of a file. LoadFromFile reads a rich text
// stream, or plain text (GBK, CR LF, LF or CR ending lines) when the file
// holds none or the control is in plain-text mode (EFOpenError when it
// cannot be read); SaveToFile writes a rich text stream, or the plain text
// in plain-text mode, through a temporary file (EFCreateError when it
// cannot be written).
class TRichEditStrings {
 public:
  explicit TRichEditStrings(TRichEdit* edit) : edit_(edit) {}

  void Clear();
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;

 private:
  TRichEdit* edit_;
};

class TRichEdit : public TWinControl {
 public:
  explicit TRichEdit(TComponent* owner);
  ~TRichEdit() override;

  // The text, paragraphs joined by CR LF (GBK); setting it gives plain
  // text in the control's font.
  AnsiString GetText() const override;
  void SetText(const AnsiString& t) override;
  bool GetPlainText() const { return plainText_; }
  void SetPlainText(bool v) { plainText_ = v; }
  TBorderStyle GetBorderStyle() const;
  void SetBorderStyle(TBorderStyle s);
  AnsiString GetImeName() const { return imeName_; }
  void SetImeName(const AnsiString& n) { imeName_ = n; }
  TRichEditStrings* GetLines() const { return lines_.get(); }
  TTextAttributes* GetSelAttributes() const { return selAttributes_.get(); }

  VCL_PROPERTY(TRichEdit, bool, PlainText);
  VCL_PROPERTY(TRichEdit, TBorderStyle, BorderStyle);
  VCL_PROPERTY(TRichEdit, AnsiString, ImeName);
  VCL_READONLY(TRichEdit, TRichEditStrings*, Lines);
  VCL_READONLY(TRichEdit, TTextAttributes*, SelAttributes);

  // The clipboard's text (rich or plain) at the caret, over the selection.
  void PasteFromClipboard() { edit_->paste(); }
  void SelectAll() { edit_->selectAll(); }
  void Clear() { edit_->clear(), ApplyFont(); }
  void SetFocus() override { edit_->setFocus(Qt::OtherFocusReason); }

  QTextEdit* Inner() const { return edit_; }
  // The format of the control's Font.
  QTextCharFormat FontFormat() const;
  // Gives every character and the text typed next the control's Font.
  void ApplyFont();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void ColorChanged() override;
  void FontChanged() override;

 private:
  QTextEdit* edit_;
  bool plainText_ = false;
  AnsiString imeName_;
  std::unique_ptr<TRichEditStrings> lines_;
  std::unique_ptr<TTextAttributes> selAttributes_;
};
