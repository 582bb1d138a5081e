#include "platform/vcl/choice_boxes.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/paint_util.h"

namespace vcl {

void StyleInnerWidget(QWidget* inner, TControl* c, bool base) {
  inner->setFont(c->GetFont()->ToQFont());
  QPalette p = inner->palette();
  p.setColor(base ? QPalette::Base : QPalette::Window, QtColour(c->GetColor()));
  p.setColor(base ? QPalette::Text : QPalette::WindowText, QtColour(c->GetFont()->GetColor()));
  inner->setPalette(p);
}

}  // namespace vcl

// ---- TStrings ----

void TStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw EListError::IndexOutOfBounds(index);
}

void TStrings::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TStrings*>(source);
  if (!s) return TPersistent::Assign(source);
  if (s == this) return;
  Clear();
  for (int i = 0, n = s->GetCount(); i < n; ++i) Add(s->Get(i));
}

int TStrings::Add(const AnsiString& s) {
  const int at = GetCount();
  Insert(at, s);
  return at;
}

int TStrings::IndexOf(const AnsiString& s) const {
  const AnsiString wanted = UpperCase(s);
  for (int i = 0, n = GetCount(); i < n; ++i)
    if (UpperCase(Get(i)) == wanted) return i;
  return -1;
}

AnsiString TStringList::Get(int index) const {
  CheckIndex(index, GetCount());
  return items_[size_t(index)];
}

void TStringList::Put(int index, const AnsiString& s) {
  CheckIndex(index, GetCount());
  items_[size_t(index)] = s;
}

void TStringList::Insert(int index, const AnsiString& s) {
  CheckIndex(index, GetCount() + 1);
  items_.insert(items_.begin() + index, s);
}

void TStringList::Delete(int index) {
  CheckIndex(index, GetCount());
  items_.erase(items_.begin() + index);
}

// ---- TListBox ----

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

}  // namespace

TListBox::TListBox(TComponent* owner)
    : TWinControl(owner), list_(new QListWidget(this)), items_(std::make_unique<ListItems>(list_)) {
  SetColor(clWindow);
  setFocusProxy(list_);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  ForwardMouseOf(list_->viewport());
  list_->installEventFilter(this);
  QObject::connect(list_, &QListWidget::currentRowChanged, [this](int) {
    if (byPerson_) vcl::Fire(OnClick, static_cast<TObject*>(this));
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

bool TListBox::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type t = e->type();
  if ((watched == list_->viewport() && t == QEvent::MouseButtonPress) || (watched == list_ && t == QEvent::KeyPress)) {
    // Selections made while the press or key is handled are the person's.
    byPerson_ = true;
    QTimer::singleShot(0, list_, [this] { byPerson_ = false; });
  }
  return TWinControl::eventFilter(watched, e);
}

void TListBox::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  list_->setGeometry(rect());
}

void TListBox::ColorChanged() { vcl::StyleInnerWidget(list_, this, true); }
void TListBox::FontChanged() { vcl::StyleInnerWidget(list_, this, true); }

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner), box_(new QCheckBox(this)) {
  setFocusProxy(box_);
  QObject::connect(box_, &QCheckBox::clicked, [this] { vcl::Fire(OnClick, static_cast<TObject*>(this)); });
  resize(97, 17);
  ColorChanged();
}

void TCheckBox::SetChecked(bool v) {
  if (v == box_->isChecked()) return;
  box_->setChecked(v);
  vcl::Fire(OnClick, static_cast<TObject*>(this));
}

void TCheckBox::TextChanged() { box_->setText(gbk::ToQString(GetCaption())); }
void TCheckBox::ColorChanged() {
  box_->setAutoFillBackground(true);
  vcl::StyleInnerWidget(box_, this, false);
}
void TCheckBox::FontChanged() { vcl::StyleInnerWidget(box_, this, false); }
void TCheckBox::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  box_->setGeometry(rect());
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(185, 105);
}

TRect TGroupBox::AlignRect() const {
  QFontMetrics m(GetFont()->ToQFont());
  return TRect(2, m.height(), std::max(2, width() - 2), std::max(m.height(), height() - 2));
}

void TGroupBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), vcl::QtColour(GetColor()));
  QFontMetrics m(GetFont()->ToQFont());
  QRect frame = rect().adjusted(0, m.height() / 2, 0, 0);
  vcl::Frame3D(p, frame, clBtnShadow, clBtnHighlight, 1);
  vcl::Frame3D(p, frame, clBtnHighlight, clBtnShadow, 1);
  if (GetCaption().empty()) return;
  const QString text = gbk::ToQString(GetCaption());
  QRect caption(8, 0, m.horizontalAdvance(text) + 4, m.height());
  p.fillRect(caption, vcl::QtColour(GetColor()));
  vcl::DrawCaption(p, caption, GetCaption(), GetFont(), Qt::AlignCenter | Qt::TextSingleLine);
}
