#include "platform/vcl/rich_edit.h"

#include <QFocusEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

#include "platform/fs/files.h"
#include "platform/text/gbk.h"
#include "platform/vcl/input_method.h"
#include "platform/vcl/paint_util.h"
#include "platform/vcl/rtf.h"

namespace {

QFont Resolved(const QTextCharFormat& f, const QTextDocument* doc) { return f.font().resolve(doc->defaultFont()); }

int PixelsOf(const QFont& f) {
  return f.pixelSize() > 0 ? f.pixelSize() : int(std::lround(f.pointSizeF() * 96.0 / 72.0));
}

// A format that sets every property a TFont has.
QTextCharFormat FormatOfFont(const TFont& font) {
  QTextCharFormat f;
  f.setFont(font.ToQFont(), QTextCharFormat::FontPropertiesAll);
  f.setForeground(vcl::QtColour(font.GetColor()));
  return f;
}

// Plain text as the control shows it: CR LF between paragraphs.
AnsiString TextOf(const QTextDocument* doc) {
  QString text = doc->toPlainText();
  text.replace(QChar(0x2028), '\n');
  text.replace("\n", "\r\n");
  return gbk::FromQString(text);
}

void SetPlain(QTextDocument* doc, const std::string& gbkText, const QTextCharFormat& format) {
  QString text = gbk::ToQString(gbkText);
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  doc->clear();
  QTextCursor c(doc);
  c.setBlockCharFormat(format);
  c.insertText(text, format);
}

}  // namespace

// ---- TTextAttributes ----

void TTextAttributes::Assign(TPersistent* source) {
  if (auto* font = dynamic_cast<TFont*>(source)) return edit_->Inner()->mergeCurrentCharFormat(FormatOfFont(*font));
  if (auto* other = dynamic_cast<TTextAttributes*>(source)) {
    TFont f;
    other->Font(&f);
    return Assign(&f);
  }
  TPersistent::Assign(source);
}

void TTextAttributes::AssignTo(TPersistent* dest) const {
  auto* font = dynamic_cast<TFont*>(dest);
  if (!font) return TPersistent::AssignTo(dest);
  TFont f;
  Font(&f);
  font->Assign(&f);
}

void TTextAttributes::Font(TFont* out) const {
  QTextEdit* e = edit_->Inner();
  QTextCursor c = e->textCursor();
  QTextCharFormat format = e->currentCharFormat();
  if (c.hasSelection()) {
    // The first selected character's.
    c.setPosition(c.selectionStart());
    c.movePosition(QTextCursor::NextCharacter);
    format = c.charFormat();
  }
  const QFont f = Resolved(format, e->document());
  const QStringList families = f.families();
  out->Name = gbk::FromQString(families.isEmpty() ? f.family() : families.first());
  out->Height = -PixelsOf(f);
  out->Color = format.hasProperty(QTextFormat::ForegroundBrush)
                   ? TColor(RGB(format.foreground().color().red(), format.foreground().color().green(),
                                format.foreground().color().blue()))
                   : edit_->GetFont()->GetColor();
  TFontStyles s;
  if (f.weight() > QFont::Medium) s << fsBold;
  if (f.italic()) s << fsItalic;
  if (f.underline()) s << fsUnderline;
  if (f.strikeOut()) s << fsStrikeOut;
  out->Style = s;
  out->Charset = edit_->GetFont()->GetCharset();
}

AnsiString TTextAttributes::GetName() const {
  TFont f;
  Font(&f);
  return f.GetName();
}
int TTextAttributes::GetHeight() const {
  TFont f;
  Font(&f);
  return f.GetHeight();
}
int TTextAttributes::GetSize() const {
  TFont f;
  Font(&f);
  return f.GetSize();
}
TColor TTextAttributes::GetColor() const {
  TFont f;
  Font(&f);
  return f.GetColor();
}
TFontStyles TTextAttributes::GetStyle() const {
  TFont f;
  Font(&f);
  return f.GetStyle();
}

void TTextAttributes::SetName(const AnsiString& n) {
  TFont f;
  f.SetName(n);
  QTextCharFormat c;
  c.setFontFamilies(f.ToQFont().families());
  edit_->Inner()->mergeCurrentCharFormat(c);
}

void TTextAttributes::SetHeight(int h) {
  QTextCharFormat c;
  QFont f;
  f.setPixelSize(std::max(1, std::abs(h)));
  c.setFont(f, QTextCharFormat::FontPropertiesSpecifiedOnly);
  edit_->Inner()->mergeCurrentCharFormat(c);
}

void TTextAttributes::SetColor(TColor colour) {
  QTextCharFormat c;
  c.setForeground(vcl::QtColour(colour));
  edit_->Inner()->mergeCurrentCharFormat(c);
}

void TTextAttributes::SetStyle(const TFontStyles& s) {
  QTextCharFormat c;
  c.setFontWeight(s.Contains(fsBold) ? QFont::Bold : QFont::Normal);
  c.setFontItalic(s.Contains(fsItalic));
  c.setFontUnderline(s.Contains(fsUnderline));
  c.setFontStrikeOut(s.Contains(fsStrikeOut));
  edit_->Inner()->mergeCurrentCharFormat(c);
}

// ---- TRichEditStrings ----

void TRichEditStrings::Clear() { edit_->Clear(); }

void TRichEditStrings::LoadFromFile(const AnsiString& fileName) {
  const std::optional<std::string> bytes = ReadWholeFile(fileName);
  if (!bytes) throw EFOpenError(fileName);
  QTextDocument* doc = edit_->Inner()->document();
  if (edit_->GetPlainText() || !vcl::rtf::Read(*bytes, doc)) SetPlain(doc, *bytes, edit_->FontFormat());
  edit_->Inner()->moveCursor(QTextCursor::Start);
}

void TRichEditStrings::SaveToFile(const AnsiString& fileName) const {
  const QTextDocument* doc = edit_->Inner()->document();
  const std::string bytes = edit_->GetPlainText() ? TextOf(doc) : vcl::rtf::Write(*doc);
  if (!WriteWholeFile(fileName, bytes)) throw EFCreateError(fileName);
}

// ---- TRichEdit ----

TRichEdit::TRichEdit(TComponent* owner)
    : TWinControl(owner),
      edit_(new QTextEdit(this)),
      lines_(std::make_unique<TRichEditStrings>(this)),
      selAttributes_(std::make_unique<TTextAttributes>(this)) {
  edit_->setAcceptRichText(true);
  edit_->setTabChangesFocus(true);
  edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit_->document()->setDocumentMargin(2);
  setFocusProxy(edit_);
  setFocusPolicy(Qt::StrongFocus);
  ForwardMouseOf(edit_->viewport());
  edit_->installEventFilter(this);
  SetColor(clWindow);
  resize(185, 89);
  ColorChanged();
  FontChanged();
}

TRichEdit::~TRichEdit() { edit_->removeEventFilter(this); }

AnsiString TRichEdit::GetText() const { return TextOf(edit_->document()); }

void TRichEdit::SetText(const AnsiString& t) { SetPlain(edit_->document(), t, FontFormat()); }

TBorderStyle TRichEdit::GetBorderStyle() const { return edit_->frameShape() == QFrame::NoFrame ? bsNone : bsSingle; }

void TRichEdit::SetBorderStyle(TBorderStyle s) {
  edit_->setFrameStyle(s == bsNone ? QFrame::NoFrame : QFrame::StyledPanel | QFrame::Sunken);
}

QTextCharFormat TRichEdit::FontFormat() const { return FormatOfFont(*GetFont()); }

void TRichEdit::ApplyFont() {
  const QTextCharFormat format = FontFormat();
  QTextDocument* doc = edit_->document();
  doc->setDefaultFont(format.font());
  QTextCursor all(doc);
  all.select(QTextCursor::Document);
  all.mergeCharFormat(format);
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    QTextCursor c(b);
    c.mergeBlockCharFormat(format);
  }
  edit_->setCurrentCharFormat(format);
  // Qt leaves the blocks restyled this way without laid-out lines until
  // something else lays them out (a key, a new size): until then the view,
  // and every picture taken of it, showed no text.
  doc->markContentsDirty(0, doc->characterCount());
}

void TRichEdit::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  edit_->setGeometry(rect());
}

// The text area shows the control's Cursor; crDefault shows the I-beam of
// a text control.
bool TRichEdit::event(QEvent* e) {
  if (e->type() == QEvent::CursorChange) {
    if (testAttribute(Qt::WA_SetCursor))
      edit_->viewport()->setCursor(cursor());
    else
      edit_->viewport()->setCursor(Qt::IBeamCursor);
  }
  return TWinControl::event(e);
}

bool TRichEdit::eventFilter(QObject* watched, QEvent* e) {
  if (watched == edit_ && e->type() == QEvent::FocusIn &&
      static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason && !imeName_.empty())
    vcl::RequestInputMethod(imeName_);
  return TWinControl::eventFilter(watched, e);
}

void TRichEdit::ColorChanged() {
  QPalette p = edit_->palette();
  p.setColor(QPalette::Base, vcl::QtColour(GetColor()));
  p.setColor(QPalette::Text, vcl::QtColour(GetFont()->GetColor()));
  edit_->setPalette(p);
}

void TRichEdit::FontChanged() {
  ApplyFont();
  ColorChanged();
}
