#include "platform/vcl/combo_boxes.h"

#include <QLineEdit>
#include <QResizeEvent>

#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/paint_util.h"

// The list drops down through the control, which may fill it first.
class TComboBox::Combo : public QComboBox {
 public:
  Combo(TComboBox* owner) : QComboBox(owner), owner_(owner) {}
  void showPopup() override {
    owner_->DroppingDown();
    QComboBox::showPopup();
  }

 private:
  TComboBox* owner_;
};

namespace {

class ComboItems : public TStrings {
 public:
  explicit ComboItems(QComboBox* combo) : combo_(combo) {}
  int GetCount() const override { return combo_->count(); }
  AnsiString Get(int i) const override {
    CheckIndex(i, GetCount());
    return gbk::FromQString(combo_->itemText(i));
  }
  void Put(int i, const AnsiString& s) override {
    CheckIndex(i, GetCount());
    combo_->setItemText(i, gbk::ToQString(s));
  }
  void Insert(int i, const AnsiString& s) override {
    CheckIndex(i, GetCount() + 1);
    combo_->insertItem(i, gbk::ToQString(s));
  }
  void Delete(int i) override {
    CheckIndex(i, GetCount());
    combo_->removeItem(i);
  }
  void Clear() override { combo_->clear(); }

 private:
  QComboBox* combo_;
};

}  // namespace

TComboBox::TComboBox(TComponent* owner)
    : TWinControl(owner), combo_(new Combo(this)), items_(std::make_unique<ComboItems>(combo_)) {
  SetColor(clWindow);
  setFocusProxy(combo_);
  combo_->setInsertPolicy(QComboBox::NoInsert);
  SetStyle(csDropDown);
  QObject::connect(combo_, QOverload<int>::of(&QComboBox::activated), [this](int i) { Chosen(i); });
  resize(145, 21);
  ColorChanged();
}

TComboBox::~TComboBox() { QObject::disconnect(combo_, nullptr, nullptr, nullptr); }

void TComboBox::SetStyle(TComboBoxStyle s) {
  style_ = s;
  combo_->setEditable(s != csDropDownList);
  QLineEdit* line = combo_->lineEdit();
  if (line && line != editLine_) QObject::connect(line, &QLineEdit::textEdited, [this](const QString&) { Change(); });
  editLine_ = line;
}

void TComboBox::SetItemIndex(int i) { combo_->setCurrentIndex(i >= 0 && i < combo_->count() ? i : -1); }

AnsiString TComboBox::GetText() const { return gbk::FromQString(combo_->currentText()); }

void TComboBox::SetText(const AnsiString& t) {
  const QString text = gbk::ToQString(t);
  if (combo_->isEditable()) {
    combo_->setEditText(text);
  } else {
    // A list-only box shows the item of that text, or nothing.
    combo_->setCurrentIndex(combo_->findText(text));
  }
}

void TComboBox::Chosen(int) { Change(); }

void TComboBox::Change() { vcl::Fire(OnChange, static_cast<TObject*>(this)); }

void TComboBox::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  combo_->setGeometry(rect());
}

void TComboBox::ColorChanged() { vcl::StyleInner(combo_, this, true); }
void TComboBox::FontChanged() { vcl::StyleInner(combo_, this, true); }
