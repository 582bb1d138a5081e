#include "platform/vcl/dialogs.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "platform/fs/path.h"
#include "platform/gdi/colour.h"
#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
#include "platform/win/msgbox.h"

namespace {

QWidget* DialogParent() {
  TForm* f = Screen->ActiveForm;
  return f && f->isEnabled() ? f : nullptr;
}

// The next scripted answer: its word (upper case) and the rest of the line.
bool ScriptedAnswer(std::string* word, std::string* rest) {
  std::optional<std::string> line = win::TakeScriptedAnswer();
  if (!line) return false;
  size_t blank = line->find_first_of(" \t");
  *word = line->substr(0, blank);
  for (char& c : *word) c = char(toupper((unsigned char)c));
  *rest = blank == std::string::npos ? "" : line->substr(line->find_first_not_of(" \t", blank));
  return true;
}

// Ends the dialog once it is up, as accepted or not (without the
// dialog's own checks of what it holds: the script gives the answer).
void AnswerWhenUp(QDialog* d, std::function<bool()> accept) {
  QTimer::singleShot(0, d, [d, accept] { d->done(accept() ? QDialog::Accepted : QDialog::Rejected); });
}

}  // namespace

void ShowMessage(const AnsiString& text) { Application->MessageBox(text, Application->Title, MB_OK); }

// ---- TColorDialog ----

bool TColorDialog::Execute() {
  QColorDialog d(gdi::ToQColor(ColorToRGB(colour_)), DialogParent());
  d.setOption(QColorDialog::DontUseNativeDialog);
  if (!GetTitle().empty()) d.setWindowTitle(gbk::ToQString(GetTitle()));
  win::LogDialog(d.windowTitle(), "ColorDialog");
  std::string word, rest;
  if (ScriptedAnswer(&word, &rest)) {
    AnswerWhenUp(&d, [&d, word, rest] {
      if (word != "COLOR") {
        if (word != "CANCEL") fprintf(stderr, "TColorDialog: scripted answer is no colour; cancelling\n");
        return false;
      }
      int value = StrToIntDef(rest, -1);
      if (value < 0) return false;
      d.setCurrentColor(gdi::ToQColor(COLORREF(value)));
      return true;
    });
  }
  if (d.exec() != QDialog::Accepted) return false;
  QColor c = d.selectedColor().isValid() ? d.selectedColor() : d.currentColor();
  colour_ = TColor(RGB(c.red(), c.green(), c.blue()));
  return true;
}

// ---- TOpenDialog / TSaveDialog ----

namespace vcl {

QStringList NameFilters(const AnsiString& filter) {
  QStringList parts = gbk::ToQString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QStringList masks = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& m : masks) m = m.trimmed();
    out << parts[i] + " (" + masks.join(' ') + ")";
  }
  return out;
}

}  // namespace vcl

bool TOpenDialog::Run(bool save) {
  QFileDialog d(DialogParent());
  d.setOption(QFileDialog::DontUseNativeDialog);
  d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  d.setFileMode(save || !options_.Contains(ofFileMustExist) ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (save && !options_.Contains(ofOverwritePrompt)) d.setOption(QFileDialog::DontConfirmOverwrite);
  if (!GetTitle().empty()) d.setWindowTitle(gbk::ToQString(GetTitle()));
  const QStringList filters = vcl::NameFilters(filter_);
  if (!filters.isEmpty()) {
    d.setNameFilters(filters);
    d.selectNameFilter(filters.value(std::clamp(filterIndex_, 1, int(filters.size())) - 1));
  }
  if (!initialDir_.empty()) d.setDirectory(QString::fromStdString(winpath::ToLinux(initialDir_)));
  if (!fileName_.empty()) d.selectFile(QString::fromStdString(winpath::ToLinux(fileName_)));
  if (!defaultExt_.empty()) d.setDefaultSuffix(gbk::ToQString(defaultExt_));
  win::LogDialog(d.windowTitle(), save ? "SaveDialog" : "OpenDialog");

  std::string word, rest;
  bool haveScript = ScriptedAnswer(&word, &rest);
  if (haveScript) {
    AnswerWhenUp(&d, [word] {
      if (word == "FILE") return true;
      if (word != "CANCEL") fprintf(stderr, "TOpenDialog: scripted answer is no file name; cancelling\n");
      return false;
    });
  }
  if (d.exec() != QDialog::Accepted) return false;
  if (haveScript) {
    // The name as the script gives it; a Linux path as the system spells it.
    fileName_ = !rest.empty() && rest[0] == '/' ? winpath::FromLinux(rest) : gbk::FromUtf8(rest);
  } else {
    const QStringList chosen = d.selectedFiles();
    if (chosen.isEmpty()) return false;
    fileName_ = winpath::FromLinux(chosen.first().toStdString());
  }
  if (!defaultExt_.empty() && ExtractFileExt(fileName_).empty()) fileName_ += "." + defaultExt_;
  const int index = filters.indexOf(d.selectedNameFilter());
  if (index >= 0) filterIndex_ = index + 1;
  return true;
}

// ---- TFontDialog ----

namespace {

// "<height> <$BBGGRR> <face>" into the font; false when it is no font.
bool ScriptedFont(const std::string& words, TFont* font) {
  size_t a = words.find(' ');
  size_t b = a == std::string::npos ? a : words.find(' ', a + 1);
  if (b == std::string::npos) return false;
  int height = StrToIntDef(words.substr(0, a), 0), colour = StrToIntDef(words.substr(a + 1, b - a - 1), -1);
  if (height == 0 || colour < 0) return false;
  font->Name = gbk::FromUtf8(words.substr(b + 1));
  font->Height = height;
  font->Color = colour;
  return true;
}

void FromQFont(const QFont& q, TFont* font) {
  font->Name = gbk::FromQString(q.family());
  if (q.pixelSize() > 0)
    font->Height = -q.pixelSize();
  else
    font->Size = int(q.pointSizeF() + 0.5);
  TFontStyles styles;
  if (q.bold()) styles << fsBold;
  if (q.italic()) styles << fsItalic;
  if (q.underline()) styles << fsUnderline;
  if (q.strikeOut()) styles << fsStrikeOut;
  font->Style = styles;
}

}  // namespace

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
  QFontDialog d(font_->ToQFont(), DialogParent());
  d.setOption(QFontDialog::DontUseNativeDialog);
  if (!GetTitle().empty()) d.setWindowTitle(gbk::ToQString(GetTitle()));
  win::LogDialog(d.windowTitle(), "FontDialog");
  auto apply = [this, &d] { vcl::Fire(OnApply, static_cast<TObject*>(this), HWND(d.winId())); };
  if (options_.Contains(fdApplyButton))
    if (auto* box = d.findChild<QDialogButtonBox*>())
      QObject::connect(box->addButton(QDialogButtonBox::Apply), &QPushButton::clicked, [this, &d, apply] {
        FromQFont(d.currentFont(), font_.get());
        apply();
      });
  // Scripted: the Apply presses, then the answer, in order once it is up.
  std::vector<std::string> applies;
  std::string word, rest, chosen;
  bool scripted = false;
  while (ScriptedAnswer(&word, &rest)) {
    scripted = true;
    if (word == "APPLY") {
      applies.push_back(rest);
      continue;
    }
    if (word == "FONT")
      chosen = rest;
    else if (word != "CANCEL")
      fprintf(stderr, "TFontDialog: scripted answer is no font; cancelling\n");
    break;
  }
  if (scripted)
    AnswerWhenUp(&d, [this, applies, chosen, apply] {
      for (const std::string& words : applies)
        if (ScriptedFont(words, font_.get())) apply();
      return !chosen.empty() && ScriptedFont(chosen, font_.get());
    });
  if (d.exec() != QDialog::Accepted) return false;
  if (!scripted) FromQFont(d.selectedFont(), font_.get());
  return true;
}
