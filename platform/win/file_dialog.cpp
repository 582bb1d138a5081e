#include "platform/win/file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QThread>
#include <QTimer>

#include "platform/win/detail/script.h"

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
  win::detail::LogDialog({dialog.windowTitle(), KindOf(dialog),
                          start.isEmpty() ? dialog.directory().absolutePath() : start.first(),
                          dialog.nameFilters().join(";;")});

  std::optional<QString> scripted;
  const std::optional<QByteArray> line = win::detail::TakeAnswer();
  if (line) {
    const QString path = QString::fromUtf8(line->mid(5).trimmed());
    if (line->left(5).toUpper() == "FILE " && !path.isEmpty())
      scripted = QDir(dialog.directory()).absoluteFilePath(path);
    else if (line->toUpper() != "CANCEL")
      fprintf(stderr, "RunFileDialog: scripted answer does not fit a file dialog; cancelling it\n");
    // Answered once the dialog is up, so that it was really shown.
    const int result = scripted ? QDialog::Accepted : QDialog::Rejected;
    QTimer::singleShot(0, &dialog, [&dialog, result] { static_cast<QDialog&>(dialog).done(result); });
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  if (line) return scripted;
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

}  // namespace win
