#include "platform/win/dialog_script.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <memory>

namespace win {
namespace {

QByteArray Escaped(const QString& s) {
  QByteArray out;
  for (char c : s.toUtf8()) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

const int kPollMs = 10;
const int kCoveredMs = 2000;

}  // namespace

std::optional<ScriptedAnswer> TakeScriptedAnswer() {
  const char* path = getenv("QUARVEL_MSGBOX_ANSWERS");
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
  qsizetype blank = 0;
  while (blank < line.size() && line[blank] != ' ' && line[blank] != '\t') ++blank;
  return ScriptedAnswer{line.left(blank).toUpper(), line.mid(blank).trimmed()};
}

void LogDialog(const QStringList& fields) {
  const char* path = getenv("QUARVEL_MSGBOX_LOG");
  if (!path || !*path) return;
  QFile f(QString::fromLocal8Bit(path));
  if (!f.open(QIODevice::Append)) return;
  QList<QByteArray> escaped;
  for (const QString& field : fields) escaped.append(Escaped(field));
  f.write(escaped.join('\t') + '\n');
}

void AnswerWhenShown(QDialog* dialog, std::function<void()> answer) {
  auto* poll = new QTimer(dialog);
  auto shownFor = std::make_shared<QElapsedTimer>();
  QObject::connect(poll, &QTimer::timeout, dialog, [dialog, poll, shownFor, answer = std::move(answer)] {
    if (!dialog->isVisible()) return;
    if (!shownFor->isValid()) shownFor->start();
    const QWindow* w = dialog->windowHandle();
    if (!(w && w->isExposed()) && shownFor->elapsed() < kCoveredMs) return;
    poll->stop();
    poll->deleteLater();
    answer();
  });
  poll->start(kPollMs);
}

}  // namespace win
