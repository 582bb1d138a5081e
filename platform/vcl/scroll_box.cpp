#include <QResizeEvent>

#include "platform/vcl/forms.h"
#include "platform/vcl/paint_util.h"

TScrollBox::TScrollBox(TComponent* owner)
    : TWinControl(owner), area_(new QScrollArea(this)), content_(new QWidget) {
  VertScrollBar = new TControlScrollBar(this, true);
  HorzScrollBar = new TControlScrollBar(this, false);
  content_->setAutoFillBackground(true);
  area_->setWidget(content_);
  area_->setWidgetResizable(false);
  area_->setFrameShape(QFrame::StyledPanel);
  ForwardMouseOf(area_->viewport());
  // Children with windows of their own (a panel publishes one) are X windows
  // inside the scrolled content: the viewport's own window clips them to
  // the box, as X does not clip them to a widget without one.
  area_->viewport()->setAttribute(Qt::WA_NativeWindow);
  resize(185, 41);
  ColorChanged();
}

TScrollBox::~TScrollBox() {
  delete VertScrollBar;
  delete HorzScrollBar;
}

void TScrollBox::SetBorderStyle(TBorderStyle s) {
  borderStyle_ = s;
  area_->setFrameShape(s == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TScrollBox::ChildChanged() {
  // The scrolled range is what the visible children cover. The scrolled
  // content stays a widget of Qt's own even when a child gets a window
  // (its handle asked for): an X window is at most 32767 pixels high.
  int right = 0, bottom = 0;
  for (QObject* o : content_->children())
    if (auto* w = qobject_cast<QWidget*>(o)) w->setAttribute(Qt::WA_DontCreateNativeAncestors);
  for (QObject* o : content_->children())
    if (auto* c = dynamic_cast<TControl*>(o); c && c->GetVisible()) {
      right = std::max(right, c->GetLeft() + c->GetWidth());
      bottom = std::max(bottom, c->GetTop() + c->GetHeight());
    }
  const QSize view = area_->maximumViewportSize();
  content_->resize(std::max(right, view.width() - (bottom > view.height() ? area_->verticalScrollBar()->sizeHint().width() : 0)),
                   std::max(bottom, view.height() - (right > view.width() ? area_->horizontalScrollBar()->sizeHint().height() : 0)));
}

void TScrollBox::ScrollInView(TControl* c) {
  if (c) area_->ensureWidgetVisible(c, 0, 0);
}

void TScrollBox::resizeEvent(QResizeEvent* e) {
  area_->setGeometry(rect());
  TWinControl::resizeEvent(e);
  ChildChanged();
}

void TScrollBox::ColorChanged() {
  QPalette p = content_->palette();
  p.setColor(QPalette::Window, vcl::QtColour(GetColor()));
  content_->setPalette(p);
  TWinControl::ColorChanged();
}

QScrollBar* TScrollBox::TControlScrollBar::Bar() const {
  return vertical_ ? box_->area_->verticalScrollBar() : box_->area_->horizontalScrollBar();
}
int TScrollBox::TControlScrollBar::GetPosition() const { return Bar()->value(); }
void TScrollBox::TControlScrollBar::SetPosition(int p) { Bar()->setValue(p); }
int TScrollBox::TControlScrollBar::GetRange() const {
  return vertical_ ? box_->content_->height() : box_->content_->width();
}
bool TScrollBox::TControlScrollBar::GetVisible() const {
  return (vertical_ ? box_->area_->verticalScrollBarPolicy() : box_->area_->horizontalScrollBarPolicy()) !=
         Qt::ScrollBarAlwaysOff;
}
void TScrollBox::TControlScrollBar::SetVisible(bool v) {
  Qt::ScrollBarPolicy policy = v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  if (vertical_)
    box_->area_->setVerticalScrollBarPolicy(policy);
  else
    box_->area_->setHorizontalScrollBarPolicy(policy);
}
