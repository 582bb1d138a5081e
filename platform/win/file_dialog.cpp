#include "platform/win/file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QThread>

#include "platform/win/dialog_script.h"

#include <cstdio>

namespace {

QString KindOf(const QFileDialog& dialog) {
  if (dialog.acceptMode() == QFileDialog::AcceptSave) return "SAVE";
  return dialog.fileMode() == QFileDialog::Directory ? "FOLDER" : "OPEN";
}

std::optional<QString> Show(const std::function<void(QFileDialog&)>& setup) {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  setup(dialog);
  const QStringList start = dialog.selectedFiles();
  win::LogDialog({dialog.windowTitle(), KindOf(dialog),
                  start.isEmpty() ? dialog.directory().absolutePath() : start.first(),
                  dialog.nameFilters().join(";;")});

  std::optional<QString> scripted;
  const std::optional<win::ScriptedAnswer> answer = win::TakeScriptedAnswer();
  if (answer) {
    const QString path = QString::fromUtf8(answer->rest);
    if (answer->word == "FILE" && !path.isEmpty())
      scripted = QDir(dialog.directory()).absoluteFilePath(path);
    else if (answer->word != "CANCEL" || !answer->rest.isEmpty())
      fprintf(stderr, "RunFileDialog: scripted answer does not fit a file dialog; cancelling it\n");
    const int result = scripted ? QDialog::Accepted : QDialog::Rejected;
    win::AnswerWhenShown(&dialog, [&dialog, result] { static_cast<QDialog&>(dialog).done(result); });
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  if (answer) return scripted;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.first();
}

}  // namespace

namespace win {

std::optional<QString> RunFileDialog(const std::function<void(QFileDialog&)>& setup) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!qobject_cast<QApplication*>(app)) return std::nullopt;
  if (QThread::currentThread() == app->thread()) return Show(setup);
  std::optional<QString> r;
  QMetaObject::invokeMethod(
      app, [&] { r = Show(setup); }, Qt::BlockingQueuedConnection);
  return r;
}

QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts))
      patterns << (p.trimmed() == "*.*" ? QString("*") : p.trimmed());
    // Qt reads the patterns from the last parentheses.
    out << parts[i] + " (" + patterns.join(' ') + ")";
  }
  return out;
}

}  // namespace win
