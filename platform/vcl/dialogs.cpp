#include "platform/vcl/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
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
  fileName_ = winpath::FromLinux(chosen->toStdString());
  if (!defaultExt_.empty() && ExtractFileExt(fileName_).empty()) fileName_ += "." + defaultExt_;
  if (chosenFilter >= 0) filterIndex_ = chosenFilter + 1;
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
  if (!HaveGui()) return false;
  QFontDialog d(font_->ToQFont(), DialogParent());
  d.setOption(QFontDialog::DontUseNativeDialog);
  if (!GetTitle().empty()) d.setWindowTitle(gbk::ToQString(GetTitle()));
  win::LogDialog({d.windowTitle(), "FONT"});
  auto apply = [this, &d] { vcl::Fire(OnApply, static_cast<TObject*>(this), HWND(d.winId())); };
  if (options_.Contains(fdApplyButton))
    if (auto* box = d.findChild<QDialogButtonBox*>())
      QObject::connect(box->addButton(QDialogButtonBox::Apply), &QPushButton::clicked, [this, &d, apply] {
        FromQFont(d.currentFont(), font_.get());
        apply();
      });
  // Scripted: the Apply presses, then the answer, in order once it is up.
  std::vector<std::string> applies;
  std::string chosen;
  bool scripted = false;
  while (std::optional<win::ScriptedAnswer> a = win::TakeScriptedAnswer()) {
    scripted = true;
    if (a->word == "APPLY") {
      applies.push_back(a->rest.toStdString());
      continue;
    }
    if (a->word == "FONT")
      chosen = a->rest.toStdString();
    else if (!IsCancel(*a))
      fprintf(stderr, "TFontDialog: scripted answer is no font; cancelling\n");
    break;
  }
  if (scripted)
    win::AnswerWhenShown(&d, [this, &d, applies, chosen, apply] {
      for (const std::string& words : applies)
        if (ScriptedFont(words, font_.get())) apply();
      const bool ok = !chosen.empty() && ScriptedFont(chosen, font_.get());
      static_cast<QDialog&>(d).done(ok ? QDialog::Accepted : QDialog::Rejected);
    });
  if (d.exec() != QDialog::Accepted) return false;
  if (!scripted) FromQFont(d.selectedFont(), font_.get());
  return true;
}
