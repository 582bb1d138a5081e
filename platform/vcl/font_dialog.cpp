#include "platform/vcl/font_dialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/paint_util.h"

namespace {

// ---- scripted answers ----

// The next line of the answers file, taken out of it; nothing when there
// is none.
std::optional<QByteArray> TakeAnswer() {
  const char* path = getenv("QUARVEL_FONTDIALOG_ANSWERS");
  if (!path || !*path) return std::nullopt;
  const QString name = QString::fromLocal8Bit(path);
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  QList<QByteArray> lines = f.readAll().split('\n');
  f.close();
  QByteArray line;
  while (!lines.isEmpty() && line.isEmpty()) line = lines.takeFirst().trimmed();
  if (line.isEmpty()) return std::nullopt;
  QSaveFile rest(name);
  if (rest.open(QIODevice::WriteOnly)) {
    rest.write(lines.join('\n'));
    rest.commit();
  }
  return line;
}

// "<height> <colour> <styles> <face>" into the font; false when it is not.
bool ParseFont(const QByteArray& text, TFont* font) {
  const QList<QByteArray> w = text.simplified().split(' ');
  if (w.size() < 4) return false;
  bool ok = false;
  const int height = w[0].toInt(&ok);
  const int colour = StrToIntDef(w[1].toStdString(), -1);
  if (!ok || height == 0 || colour < 0 || colour > 0xFFFFFF) return false;
  TFontStyles styles;
  for (char c : w[2].toUpper()) {
    if (c == 'B') styles << fsBold;
    else if (c == 'I') styles << fsItalic;
    else if (c == 'U') styles << fsUnderline;
    else if (c == 'S') styles << fsStrikeOut;
    else if (c != '-') return false;
  }
  TFont f;
  f.Assign(font);
  f.Height = height;
  f.Color = TColor(colour);
  f.Style = styles;
  f.Name = gbk::FromUtf8(w.mid(3).join(' ').toStdString());
  font->Assign(&f);
  return true;
}

// ---- the dialog's fonts: points at 96 pixels per inch ----

QFont DialogFont(const TFont& f) {
  QFont q = f.ToQFont();
  q.setPointSizeF(std::max(1, std::abs(f.GetHeight())) * 72.0 / 96.0);
  return q;
}

// The dialog's choice into `font`; its face only when the person chose
// another than the one the dialog showed for the font's own.
void TakeChoice(const QFont& q, const QString& shownFamily, TColor colour, TFont* font) {
  TFont f;
  f.Assign(font);
  if (q.family() != shownFamily) f.Name = gbk::FromQString(q.family());
  f.Height = -std::max(1, int(std::lround(q.pointSizeF() * 96.0 / 72.0)));
  TFontStyles s;
  if (q.weight() > QFont::Medium) s << fsBold;
  if (q.italic()) s << fsItalic;
  if (q.underline()) s << fsUnderline;
  if (q.strikeOut()) s << fsStrikeOut;
  f.Style = s;
  f.Color = colour;
  font->Assign(&f);
}

QWidget* DialogParent() {
  TForm* f = Screen->ActiveForm;
  if (!f) f = Application->MainForm;
  return f && f->isVisible() ? static_cast<QWidget*>(f) : nullptr;
}

}  // namespace

TFontDialog::TFontDialog(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  QFontDialog dialog(DialogFont(*font_), DialogParent());
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  const QString shownFamily = dialog.currentFont().family();
  TColor colour = font_->GetColor();
  auto apply = [&](const QFont& shown) {
    TakeChoice(shown, shownFamily, colour, font_.get());
    vcl::Fire(OnApply, static_cast<TObject*>(this), HWND(dialog.windowHandle() ? dialog.windowHandle()->winId() : 0));
  };

  if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
    QPushButton* pick = box->addButton(gbk::ToQString("颜色..."), QDialogButtonBox::ActionRole);
    QObject::connect(pick, &QPushButton::clicked, &dialog, [&] {
      const QColor c = QColorDialog::getColor(vcl::QtColour(colour), &dialog, QString(),
                                              QColorDialog::DontUseNativeDialog);
      if (c.isValid()) colour = TColor(RGB(c.red(), c.green(), c.blue()));
    });
    if (OnApply) {
      QPushButton* button = box->addButton(QDialogButtonBox::Apply);
      button->setText(gbk::ToQString("应用"));
      QObject::connect(button, &QPushButton::clicked, &dialog, [&] { apply(dialog.currentFont()); });
    }
  }

  // Scripted answers, taken one by one once the dialog is on the screen.
  bool scripted = false;
  TFont answer;
  QTimer answering;
  QObject::connect(&answering, &QTimer::timeout, &dialog, [&] {
    if (!dialog.windowHandle() || !dialog.windowHandle()->isExposed()) return;
    answering.stop();
    while (std::optional<QByteArray> line = TakeAnswer()) {
      const QByteArray verb = line->split(' ').value(0).toUpper();
      answer.Assign(font_.get());
      const bool parsed = ParseFont(line->mid(verb.size()), &answer);
      if (verb == "APPLY" && parsed) {
        font_->Assign(&answer);
        vcl::Fire(OnApply, static_cast<TObject*>(this), HWND(dialog.windowHandle()->winId()));
        continue;
      }
      scripted = true;
      if (verb == "OK" && parsed) return dialog.accept();
      if (verb != "CANCEL") fprintf(stderr, "TFontDialog: scripted answer '%s' taken as CANCEL\n", line->constData());
      return dialog.reject();
    }
  });
  answering.start(10);

  if (dialog.exec() != QDialog::Accepted) return false;
  if (scripted)
    font_->Assign(&answer);
  else
    TakeChoice(dialog.selectedFont(), shownFamily, colour, font_.get());
  return true;
}
