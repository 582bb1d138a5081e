#include "platform/win/color_dialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "platform/win/detail/script.h"

namespace {

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// The scripted answer: a colour, or an empty QColor for cancel; nothing
// when there is no script.
std::optional<QColor> ScriptedAnswer() {
  std::optional<QByteArray> line = win::detail::TakeAnswer();
  if (!line) return std::nullopt;
  QList<QByteArray> words = line->simplified().split(' ');
  if (words.size() == 2 && words[0].toUpper() == "COLOR") {
    QColor c(QString::fromLatin1(words[1]));
    if (c.isValid() && words[1].startsWith('#') && words[1].size() == 7) return c;
  }
  if (line->toUpper() != "CANCEL")
    fprintf(stderr, "colour dialog: scripted answer \"%s\" cancels it\n", line->constData());
  return QColor();
}

std::optional<COLORREF> Run(COLORREF initial) {
  QColorDialog dialog(ToQColor(initial));
  // Qt's own widgets, not a desktop portal, so that the dialog is the same
  // everywhere and can be answered.
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  win::detail::LogDialog({dialog.windowTitle(), "COLOR", ToQColor(initial).name()});
  if (std::optional<QColor> answer = ScriptedAnswer()) {
    QTimer::singleShot(0, &dialog, [&dialog, answer] {
      if (answer->isValid()) {
        dialog.setCurrentColor(*answer);
        dialog.accept();
      } else {
        dialog.reject();
      }
    });
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FromQColor(dialog.selectedColor());
}

}  // namespace

namespace win {

std::optional<COLORREF> RunColorDialog(COLORREF initial) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!qobject_cast<QApplication*>(app)) return std::nullopt;
  if (QThread::currentThread() == app->thread()) return Run(initial);
  std::optional<COLORREF> r;
  QMetaObject::invokeMethod(
      app, [&] { r = Run(initial); }, Qt::BlockingQueuedConnection);
  return r;
}

}  // namespace win
