// Lines of text the person edits, over QPlainTextEdit. Lines are the memo's
// text split at its line breaks; a break at the very end starts no line, so
// lines set, read back and saved come out as they went in.
#pragma once
#include <QPlainTextEdit>
#include <memory>

#include "platform/vcl/choice_boxes.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* owner);
  ~TMemo() override;

  TStrings* GetLines() const { return lines_.get(); }
  void SetLines(TStrings* s) { lines_->Assign(s); }
  TScrollStyle GetScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle s);
  // Off: the Tab key moves on, it never enters the memo; clicks still do.
  bool GetTabStop() const { return focusPolicy() != Qt::ClickFocus; }
  void SetTabStop(bool v);

  VCL_PROPERTY(TMemo, TStrings*, Lines);
  VCL_PROPERTY(TMemo, TScrollStyle, ScrollBars);
  VCL_PROPERTY(TMemo, bool, TabStop);

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
