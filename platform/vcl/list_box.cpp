#include <QResizeEvent>
#include <QSignalBlocker>

#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/paint_util.h"
#include "platform/vcl/stdctrls.h"

namespace {

// A list box's items are its rows.
class ListItems : public TStrings {
 public:
  explicit ListItems(QListWidget* list) : list_(list) {}
  int GetCount() const override { return list_->count(); }
  AnsiString Get(int i) const override {
    CheckIndex(i, GetCount());
    return gbk::FromQString(list_->item(i)->text());
  }
  void Put(int i, const AnsiString& s) override {
    CheckIndex(i, GetCount());
    list_->item(i)->setText(gbk::ToQString(s));
  }
  void Insert(int i, const AnsiString& s) override {
    CheckIndex(i, GetCount() + 1);
    list_->insertItem(i, gbk::ToQString(s));
  }
  void Delete(int i) override {
    CheckIndex(i, GetCount());
    const bool selected = list_->currentRow() == i;
    delete list_->takeItem(i);
    if (selected) {
      list_->setCurrentRow(-1);
      list_->clearSelection();
    }
  }
  void Clear() override { list_->clear(); }

 private:
  QListWidget* list_;
};

// The rows: a selection made while the list handles a press or a key is
// the person's.
class PersonsList : public QListWidget {
 public:
  PersonsList(QWidget* parent, bool* byPerson) : QListWidget(parent), byPerson_(byPerson) {}

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    *byPerson_ = true;
    QListWidget::mousePressEvent(e);
    *byPerson_ = false;
    FollowCurrentRow();
  }
  void keyPressEvent(QKeyEvent* e) override {
    *byPerson_ = true;
    QListWidget::keyPressEvent(e);
    *byPerson_ = false;
    FollowCurrentRow();
  }

 private:
  // Qt selects the pressed row after the current row changed, and so after
  // OnClick: a row the handler chose instead (or none) is the one shown
  // selected.
  void FollowCurrentRow() {
    if (currentRow() < 0)
      clearSelection();
    else if (!currentItem()->isSelected())
      setCurrentRow(currentRow(), QItemSelectionModel::ClearAndSelect);
  }
  // Taking the focus selects nothing (Qt would make the first row current).
  void focusInEvent(QFocusEvent* e) override {
    if (currentRow() >= 0) return QListWidget::focusInEvent(e);
    const QSignalBlocker quiet(selectionModel());
    QListWidget::focusInEvent(e);
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }

 private:
  bool* byPerson_;
};

}  // namespace

// ---- TListBox ----

TListBox::TListBox(TComponent* owner)
    : TWinControl(owner), list_(new PersonsList(this, &byPerson_)), items_(std::make_unique<ListItems>(list_)) {
  SetColor(clWindow);
  setFocusProxy(list_);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  ForwardMouseOf(list_->viewport());
  list_->installEventFilter(this);
  // OnClick is for selections the person makes, not the program's.
  // What OnClick itself then does to the list is the program's again.
  QObject::connect(list_, &QListWidget::currentRowChanged, [this](int) {
    if (!byPerson_) return;
    byPerson_ = false;
    vcl::Fire(OnClick, static_cast<TObject*>(this));
    byPerson_ = true;
  });
  resize(121, 97);
  ColorChanged();
}

TListBox::~TListBox() { QObject::disconnect(list_, nullptr, nullptr, nullptr); }

int TListBox::GetItemIndex() const { return list_->currentRow(); }

void TListBox::SetItemIndex(int i) {
  list_->setCurrentRow(i >= 0 && i < list_->count() ? i : -1);
  if (list_->currentRow() < 0) list_->clearSelection();
}

void TListBox::SetItemHeight(int h) {
  itemHeight_ = h;
  list_->setUniformItemSizes(true);
  list_->setStyleSheet(QString("QListWidget::item { height: %1px; }").arg(h));
}

void TListBox::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  list_->setGeometry(rect());
}

void TListBox::ColorChanged() { vcl::StyleInner(list_, this, true); }
void TListBox::FontChanged() { vcl::StyleInner(list_, this, true); }

