#include "platform/vcl/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/paint_util.h"
#include "platform/win/color_dialog.h"
#include "platform/win/dialog_script.h"
#include "platform/win/file_dialog.h"

namespace {

bool HaveGui() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

// The active form, else the main form, while it is on the screen and takes
// input (a disabled owner would disable the dialog).
QWidget* DialogParent() {
  TForm* f = Screen->ActiveForm;
  if (!f) f = Application->MainForm;
  return f && f->isVisible() && f->isEnabled() ? f : nullptr;
}

bool IsCancel(const win::ScriptedAnswer& a) { return a.word == "CANCEL" && a.rest.isEmpty(); }

}  // namespace

void ShowMessage(const AnsiString& text) { Application->MessageBox(text, Application->Title, MB_OK); }

// ---- TColorDialog ----

bool TColorDialog::Execute() {
  const std::optional<COLORREF> chosen = win::RunColorDialog(ColorToRGB(colour_), [this](QColorDialog& d) {
    if (QWidget* parent = DialogParent()) d.setParent(parent, d.windowFlags());
    if (!GetTitle().empty()) d.setWindowTitle(gbk::ToQString(GetTitle()));
  });
  if (!chosen) return false;
  colour_ = TColor(*chosen);
  return true;
}

// ---- TOpenDialog / TSaveDialog ----

bool TOpenDialog::Run(bool save) {
  const QStringList filters = win::NameFilters(gbk::ToQString(filter_));
  int chosenFilter = -1;
  const std::optional<QString> chosen = win::RunFileDialog([&](QFileDialog& d) {
    if (QWidget* parent = DialogParent()) d.setParent(parent, d.windowFlags());
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save || !options_.Contains(ofFileMustExist) ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) d.setOption(QFileDialog::DontConfirmOverwrite, !options_.Contains(ofOverwritePrompt));
    d.setWindowTitle(gbk::ToQString(!GetTitle().empty() ? GetTitle() : save ? AnsiString("另存为") : AnsiString("打开")));
    // Masks match names ignoring case, as on the system the programs come from.
    d.setFilter(d.filter() & ~QDir::CaseSensitive);
    if (!filters.isEmpty()) {
      d.setNameFilters(filters);
      d.selectNameFilter(filters.value(std::clamp(filterIndex_, 1, int(filters.size())) - 1));
    }
    const QDir start(initialDir_.empty() ? QDir::currentPath() : QString::fromStdString(winpath::ToLinux(initialDir_)));
    d.setDirectory(start);
    // A bare name is offered in the dialog's folder.
    const bool bare = fileName_.find_first_of("\\/:") == AnsiString::npos;
    if (!fileName_.empty())
      d.selectFile(start.absoluteFilePath(bare ? gbk::ToQString(fileName_)
                                               : QString::fromStdString(winpath::ToLinux(fileName_))));
    if (!defaultExt_.empty()) d.setDefaultSuffix(gbk::ToQString(defaultExt_));
    QObject::connect(&d, &QFileDialog::filterSelected, [&](const QString& f) { chosenFilter = int(filters.indexOf(f)); });
  });
  if (!chosen) return false;
  fileName_ = winpath::ToWindows(chosen->toStdString());
  if (!defaultExt_.empty() && ExtractFileExt(fileName_).empty()) fileName_ += "." + defaultExt_;
  if (chosenFilter >= 0) filterIndex_ = chosenFilter + 1;
  return true;
}

// ---- TFontDialog ----

namespace {

// "<height> <colour> [<styles>] <face>" over `font`: the height as Font.Height
// has it, the colour in decimal, "$BBGGRR" or "0xBBGGRR", the styles as
// letters of B, I, U, S or "-" for none; false when it is no font.
// A styles word: letters of B, I, U, S, or "-" for none.
bool StylesWord(const QByteArray& word, TFontStyles* styles) {
  static const struct {
    char letter;
    TFontStyle style;
  } kLetters[] = {{'B', fsBold}, {'I', fsItalic}, {'U', fsUnderline}, {'S', fsStrikeOut}};
  if (word == "-") return true;
  for (char c : word.toUpper()) {
    auto* l = std::find_if(std::begin(kLetters), std::end(kLetters), [c](const auto& k) { return k.letter == c; });
    if (l == std::end(kLetters)) return false;
    *styles << l->style;
  }
  return true;
}

bool ScriptedFont(const QByteArray& text, TFont* font) {
  QList<QByteArray> w = text.simplified().split(' ');
  if (w.size() < 3) return false;
  bool ok = false;
  const int height = w[0].toInt(&ok), colour = StrToIntDef(w[1].toStdString(), -1);
  if (!ok || height == 0 || colour < 0 || colour > 0xFFFFFF) return false;
  TFontStyles styles;
  const bool hasStyles = w.size() > 3 && StylesWord(w[2], &styles);
  if (hasStyles) {
    font->Style = styles;
    w.removeAt(2);
  }
  font->Name = gbk::FromUtf8(w.mid(2).join(' ').toStdString());
  font->Height = height;
  font->Color = TColor(colour);
  return true;
}

// The dialog offers sizes in points, at the 96 pixels per inch fonts are
// given in.
QFont DialogFont(const TFont& f) {
  QFont q = f.ToQFont();
  q.setPointSizeF(std::max(1, std::abs(f.GetHeight())) * 72.0 / 96.0);
  return q;
}

// The dialog's choice into `font`. Its face only when the person chose
// another than the one the dialog showed for the font's own: a face that is
// not installed (隶书 on most desktops) keeps its name.
void TakeChoice(const QFont& q, const QString& shownFamily, TColor colour, TFont* font) {
  if (q.family() != shownFamily) font->Name = gbk::FromQString(q.family());
  font->Height = -std::max(1, int(std::lround(q.pointSizeF() * 96.0 / 72.0)));
  TFontStyles s;
  if (q.weight() > QFont::Medium) s << fsBold;
  if (q.italic()) s << fsItalic;
  if (q.underline()) s << fsUnderline;
  if (q.strikeOut()) s << fsStrikeOut;
  font->Style = s;
  font->Color = colour;
}

}  // namespace

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
  if (!HaveGui()) return false;
  QFontDialog d(DialogFont(*font_), DialogParent());
  d.setOption(QFontDialog::DontUseNativeDialog);
  if (!GetTitle().empty()) d.setWindowTitle(gbk::ToQString(GetTitle()));
  win::LogDialog({d.windowTitle(), "FONT"});
  const QString shownFamily = d.currentFont().family();
  TColor colour = font_->GetColor();
  auto apply = [this, &d] { vcl::Fire(OnApply, static_cast<TObject*>(this), HWND(d.winId())); };
  if (auto* box = d.findChild<QDialogButtonBox*>()) {
    QPushButton* pick = box->addButton(gbk::ToQString("颜色..."), QDialogButtonBox::ActionRole);
    QObject::connect(pick, &QPushButton::clicked, &d, [&] {
      const QColor c = QColorDialog::getColor(vcl::QtColour(colour), &d, QString(), QColorDialog::DontUseNativeDialog);
      if (c.isValid()) colour = TColor(RGB(c.red(), c.green(), c.blue()));
    });
    // As on the system: an Apply handler gives the dialog its Apply button.
    if (options_.Contains(fdApplyButton) || OnApply) {
      QPushButton* button = box->addButton(QDialogButtonBox::Apply);
      button->setText(gbk::ToQString("应用"));
      QObject::connect(button, &QPushButton::clicked, &d, [&, apply] {
        TakeChoice(d.currentFont(), shownFamily, colour, font_.get());
        apply();
      });
    }
  }
  // Scripted: the Apply presses, then the answer, in order once it is up.
  std::vector<QByteArray> applies;
  QByteArray chosen;
  bool scripted = false;
  while (std::optional<win::ScriptedAnswer> a = win::TakeScriptedAnswer()) {
    scripted = true;
    if (a->word == "APPLY") {
      applies.push_back(a->rest);
      continue;
    }
    if (a->word == "FONT")
      chosen = a->rest;
    else if (!IsCancel(*a))
      fprintf(stderr, "TFontDialog: scripted answer is no font; cancelling\n");
    break;
  }
  if (scripted)
    win::AnswerWhenShown(&d, [this, &d, applies, chosen, apply] {
      for (const QByteArray& words : applies)
        if (ScriptedFont(words, font_.get())) apply();
      TFont answer;
      answer.Assign(font_.get());
      const bool ok = !chosen.isEmpty() && ScriptedFont(chosen, &answer);
      if (ok) font_->Assign(&answer);
      static_cast<QDialog&>(d).done(ok ? QDialog::Accepted : QDialog::Rejected);
    });
  if (d.exec() != QDialog::Accepted) return false;
  if (!scripted) TakeChoice(d.selectedFont(), shownFamily, colour, font_.get());
  return true;
}
