#include "platform/vcl/memo.h"

#include <QScrollBar>

#include "platform/text/gbk.h"
#include "platform/vcl/paint_util.h"

namespace {

// The memo's lines, kept in its text: every change goes to the widget.
class MemoLines : public TStrings {
 public:
  explicit MemoLines(QPlainTextEdit* edit) : edit_(edit) {}

  int GetCount() const override { return int(Read().size()); }
  AnsiString Get(int index) const override {
    const std::vector<AnsiString> lines = Read();
    CheckIndex(index, int(lines.size()));
    return lines[size_t(index)];
  }
  void Put(int index, const AnsiString& s) override {
    std::vector<AnsiString> lines = Read();
    CheckIndex(index, int(lines.size()));
    lines[size_t(index)] = s;
    Write(lines);
  }
  void Insert(int index, const AnsiString& s) override {
    std::vector<AnsiString> lines = Read();
    CheckIndex(index, int(lines.size()) + 1);
    lines.insert(lines.begin() + index, s);
    Write(lines);
  }
  void Delete(int index) override {
    std::vector<AnsiString> lines = Read();
    CheckIndex(index, int(lines.size()));
    lines.erase(lines.begin() + index);
    Write(lines);
  }
  void Clear() override { edit_->clear(); }

 private:
  std::vector<AnsiString> Read() const {
    QStringList blocks = edit_->toPlainText().split('\n');
    if (blocks.last().isEmpty()) blocks.removeLast();
    std::vector<AnsiString> lines;
    for (const QString& b : blocks) lines.push_back(gbk::FromQString(b));
    return lines;
  }
  void Write(const std::vector<AnsiString>& lines) {
    QStringList blocks;
    for (const AnsiString& l : lines) blocks << gbk::ToQString(l);
    QString text = blocks.join('\n');
    // An empty last line is kept by a break after it.
    if (!lines.empty() && lines.back().empty()) text += '\n';
    edit_->setPlainText(text);
  }

  QPlainTextEdit* edit_;
};

}  // namespace

TMemo::TMemo(TComponent* owner)
    : TWinControl(owner), edit_(new QPlainTextEdit(this)), lines_(std::make_unique<MemoLines>(edit_)) {
  SetColor(clWindow);
  setFocusProxy(edit_);
  setFocusPolicy(Qt::StrongFocus);
  ForwardMouseOf(edit_->viewport());
  SetScrollBars(ssNone);
  resize(185, 89);
  ColorChanged();
  FontChanged();
}

TMemo::~TMemo() = default;

void TMemo::SetScrollBars(TScrollStyle s) {
  scrollBars_ = s;
  const bool vertical = s == ssVertical || s == ssBoth, horizontal = s == ssHorizontal || s == ssBoth;
  edit_->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  edit_->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  // Long lines wrap unless there is a bar to scroll along them.
  edit_->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
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

void TMemo::ColorChanged() {
  QPalette p = edit_->palette();
  p.setColor(QPalette::Base, vcl::QtColour(GetColor()));
  p.setColor(QPalette::Text, vcl::QtColour(GetFont()->GetColor()));
  edit_->setPalette(p);
}

void TMemo::FontChanged() {
  edit_->setFont(GetFont()->ToQFont());
  ColorChanged();
}
