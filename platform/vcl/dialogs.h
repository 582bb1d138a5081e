// TEMPORARY SHIM (not committed): stands in until the form library's update lands.
#pragma once
#include <QRadioButton>
#include "platform/vcl/choice_boxes.h"
#include "platform/vcl/forms.h"
#include "platform/text/gbk.h"
#include "platform/win/msgbox.h"
inline void ShowMessage(const AnsiString& s) { Application->MessageBox(s, Application->Title, MB_OK); }
class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* o) : TWinControl(o), box_(new QRadioButton(this)) {
    box_->setAutoExclusive(false);
    QObject::connect(box_, &QRadioButton::clicked, [this] { SetChecked(true); });
  }
  bool GetChecked() const { return box_->isChecked(); }
  void SetChecked(bool v) {
    box_->setChecked(v);
    if (v && parentWidget())
      for (QObject* c : parentWidget()->children())
        if (auto* r = dynamic_cast<TRadioButton*>(c); r && r != this) r->box_->setChecked(false);
  }
  VCL_PROPERTY(TRadioButton, bool, Checked);
 protected:
  void TextChanged() override { box_->setText(gbk::ToQString(GetCaption())); }
  void resizeEvent(QResizeEvent* e) override { TWinControl::resizeEvent(e); box_->setGeometry(rect()); }
 private:
  QRadioButton* box_;
};
