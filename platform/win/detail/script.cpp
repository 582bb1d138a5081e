#include "platform/win/detail/script.h"

#include <QFile>
#include <QSaveFile>

#include <cstdlib>

namespace win::detail {
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

}  // namespace

std::optional<QByteArray> TakeAnswer() {
  const char* path = getenv("QUARVEL_MSGBOX_ANSWERS");
  if (!path || !*path) return std::nullopt;
  QString name = QString::fromLocal8Bit(path);
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

void LogDialog(const QStringList& fields) {
  const char* path = getenv("QUARVEL_MSGBOX_LOG");
  if (!path || !*path) return;
  QFile f(QString::fromLocal8Bit(path));
  if (!f.open(QIODevice::Append)) return;
  QList<QByteArray> escaped;
  for (const QString& field : fields) escaped.append(Escaped(field));
  f.write(escaped.join('\t') + '\n');
}

}  // namespace win::detail
