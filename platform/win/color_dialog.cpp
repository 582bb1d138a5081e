#include "platform/win/color_dialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QThread>
#include <cstdio>

#include "platform/win/dialog_script.h"

namespace {

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// The colour of an answer: "#rrggbb", or a COLORREF as "$BBGGRR", "0xBBGGRR"
// or decimal; nothing for anything else.
std::optional<COLORREF> ScriptedColour(const QByteArray& text) {
  bool ok = false;
  uint value = 0;
  if (text.startsWith('#') && text.size() == 7) {
    const uint rgb = text.mid(1).toUInt(&ok, 16);
    value = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  } else if (text.startsWith('$')) {
    value = text.mid(1).toUInt(&ok, 16);
  } else if (text.startsWith("0x") || text.startsWith("0X")) {
    value = text.mid(2).toUInt(&ok, 16);
  } else {
    value = text.toUInt(&ok, 10);
  }
  if (!ok || value > 0xFFFFFF) return std::nullopt;
  return COLORREF(value);
}

std::optional<COLORREF> Run(COLORREF initial, const std::function<void(QColorDialog&)>& setup) {
  QColorDialog dialog(ToQColor(initial));
  // Qt's own widgets, not a desktop portal, so that the dialog is the same
  // everywhere and can be answered.
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (setup) setup(dialog);
  win::LogDialog({dialog.windowTitle(), "COLOR", ToQColor(initial).name()});
  if (std::optional<win::ScriptedAnswer> answer = win::TakeScriptedAnswer()) {
    const std::optional<COLORREF> colour =
        answer->word == "COLOR" ? ScriptedColour(answer->rest) : std::nullopt;
    if (!colour && !(answer->word == "CANCEL" && answer->rest.isEmpty()))
      fprintf(stderr, "colour dialog: scripted answer is no colour; cancelling it\n");
    win::AnswerWhenShown(&dialog, [&dialog, colour] {
      if (!colour) return dialog.reject();
      dialog.setCurrentColor(ToQColor(*colour));
      dialog.accept();
    });
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FromQColor(dialog.selectedColor());
}

}  // namespace

namespace win {

std::optional<COLORREF> RunColorDialog(COLORREF initial, const std::function<void(QColorDialog&)>& setup) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!qobject_cast<QApplication*>(app)) return std::nullopt;
  if (QThread::currentThread() == app->thread()) return Run(initial, setup);
  std::optional<COLORREF> r;
  QMetaObject::invokeMethod(
      app, [&] { r = Run(initial, setup); }, Qt::BlockingQueuedConnection);
  return r;
}

}  // namespace win
