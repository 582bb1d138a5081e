#include <QResizeEvent>

#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/paint_util.h"
#include "platform/vcl/stdctrls.h"

namespace {

// A memo's lines are its text's lines.
class MemoLines : public TStrings {
 public:
  explicit MemoLines(QPlainTextEdit* edit) : edit_(edit) {}
  int GetCount() const override { return int(Lines().size()); }
  AnsiString Get(int i) const override {
    QStringList l = Lines();
    CheckIndex(i, int(l.size()));
    return gbk::FromQString(l[i]);
  }
  void Put(int i, const AnsiString& s) override {
    QStringList l = Lines();
    CheckIndex(i, int(l.size()));
    l[i] = gbk::ToQString(s);
    Set(l);
  }
  void Insert(int i, const AnsiString& s) override {
    QStringList l = Lines();
    CheckIndex(i, int(l.size()) + 1);
    l.insert(i, gbk::ToQString(s));
    Set(l);
  }
  void Delete(int i) override {
    QStringList l = Lines();
    CheckIndex(i, int(l.size()));
    l.removeAt(i);
    Set(l);
  }
  void Clear() override { edit_->clear(); }
  void BeginUpdate() override { ++updating_; }
  void EndUpdate() override {
    if (--updating_ == 0 && pending_) {
      pending_ = false;
      Set(held_);
    }
  }

 private:
  // The text split at its breaks; a break at the very end starts no line.
  QStringList Lines() const {
    if (pending_) return held_;
    QStringList l = edit_->toPlainText().split('\n');
    if (l.back().isEmpty()) l.removeLast();
    return l;
  }
  void Set(const QStringList& l) {
    if (updating_ > 0) {
      held_ = l;
      pending_ = true;
      return;
    }
    // An empty last line is kept by a break after it.
    edit_->setPlainText(l.join('\n') + (!l.isEmpty() && l.back().isEmpty() ? "\n" : ""));
  }
  QPlainTextEdit* edit_;
  int updating_ = 0;
  bool pending_ = false;
  QStringList held_;
};

}  // namespace

// ---- TMemo ----

TMemo::TMemo(TComponent* owner)
    : TWinControl(owner), edit_(new QPlainTextEdit(this)), lines_(std::make_unique<MemoLines>(edit_)) {
  SetColor(clWindow);
  setFocusProxy(edit_);
  setFocusPolicy(Qt::StrongFocus);
  ForwardMouseOf(edit_->viewport());
  SetScrollBars(ssNone);
  QObject::connect(edit_, &QPlainTextEdit::textChanged, [this] { vcl::Fire(OnChange, static_cast<TObject*>(this)); });
  resize(185, 89);
  ColorChanged();
}

TMemo::~TMemo() { QObject::disconnect(edit_, nullptr, nullptr, nullptr); }

AnsiString TMemo::GetText() const { return lines_->GetText(); }
void TMemo::SetText(const AnsiString& t) { lines_->SetText(t); }

void TMemo::SetScrollBars(TScrollStyle s) {
  scrollBars_ = s;
  const bool v = s == ssVertical || s == ssBoth, h = s == ssHorizontal || s == ssBoth;
  edit_->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  edit_->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TMemo::SetTabStop(bool v) {
  const Qt::FocusPolicy policy = v ? Qt::StrongFocus : Qt::ClickFocus;
  setFocusPolicy(policy);
  edit_->setFocusPolicy(policy);
}

void TMemo::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  edit_->setGeometry(rect());
}

void TMemo::ColorChanged() { vcl::StyleInner(edit_, this, true); }
void TMemo::FontChanged() { vcl::StyleInner(edit_, this, true); }

