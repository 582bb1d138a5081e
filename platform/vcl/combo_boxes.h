// Combo boxes: a line of text with a list to choose it from.
#pragma once
#include <QComboBox>
#include <memory>

#include "platform/vcl/controls.h"
#include "platform/vcl/stdctrls.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// Over QComboBox. ItemIndex -1 is no choice; with csDropDown the text may
// be typed too. OnChange runs when the person chooses an item or edits the
// text, not when the program sets them.
class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;

  TStrings* GetItems() const { return items_.get(); }
  void SetItems(TStrings* s) { items_->Assign(s); }
  int GetItemIndex() const { return combo_->currentIndex(); }
  void SetItemIndex(int i);
  AnsiString GetText() const override;
  void SetText(const AnsiString& t) override;
  TComboBoxStyle GetStyle() const { return style_; }
  void SetStyle(TComboBoxStyle s);

  VCL_PROPERTY(TComboBox, TStrings*, Items);
  VCL_PROPERTY(TComboBox, int, ItemIndex);
  VCL_PROPERTY(TComboBox, TComboBoxStyle, Style);

  TNotifyEvent OnChange;

  QComboBox* Inner() const { return combo_; }

 protected:
  // The list is about to be shown (to fill it afresh).
  virtual void DroppingDown() {}
  // The person chose item i of the list.
  virtual void Chosen(int i);
  void resizeEvent(QResizeEvent* e) override;
  void ColorChanged() override;
  void FontChanged() override;
  void Change();

 private:
  class Combo;
  QComboBox* combo_;
  std::unique_ptr<TStrings> items_;
  TComboBoxStyle style_ = csDropDown;
  QObject* editLine_ = nullptr;  // the edit line whose typing runs OnChange
};
