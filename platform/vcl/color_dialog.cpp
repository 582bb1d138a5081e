#include "platform/vcl/color_dialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/gdi/colour.h"
#include "platform/vcl/forms.h"

namespace {

struct Answer {
  bool ok = false;
  COLORREF colour = 0;
};

// The next scripted answer, taken out of the file; nothing when there is
// none. A line that is no answer counts as CANCEL.
std::optional<Answer> NextAnswer() {
  const char* path = getenv("QUARVEL_COLORDIALOG_ANSWERS");
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
  const QList<QByteArray> words = line.simplified().split(' ');
  Answer a;
  if (words.size() == 2 && words[0].toUpper() == "OK") {
    const int value = StrToIntDef(words[1].toStdString(), -1);
    if (value >= 0 && value <= 0xFFFFFF) return Answer{true, COLORREF(value)};
  }
  if (words[0].toUpper() != "CANCEL")
    fprintf(stderr, "TColorDialog: scripted answer '%s' taken as CANCEL\n", line.constData());
  return a;
}

QWidget* DialogParent() {
  TForm* f = Screen->ActiveForm;
  if (!f) f = Application->MainForm;
  return f && f->isVisible() ? static_cast<QWidget*>(f) : nullptr;
}

}  // namespace

bool TColorDialog::Execute() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  QColorDialog dialog(gdi::ToQColor(ColorToRGB(colour_)), DialogParent());
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  QTimer answering;
  if (std::optional<Answer> answer = NextAnswer()) {
    // Answered once the dialog is on the screen, so that it was really shown.
    QObject::connect(&answering, &QTimer::timeout, &dialog, [&dialog, &answering, a = *answer] {
      if (!dialog.windowHandle() || !dialog.windowHandle()->isExposed()) return;
      answering.stop();
      if (!a.ok) return dialog.reject();
      dialog.setCurrentColor(gdi::ToQColor(a.colour));
      dialog.accept();
    });
    answering.start(10);
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  const QColor chosen = dialog.selectedColor();
  colour_ = TColor(RGB(chosen.red(), chosen.green(), chosen.blue()));
  return true;
}
