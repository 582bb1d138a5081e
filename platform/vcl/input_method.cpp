#include "platform/vcl/input_method.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include "platform/text/gbk.h"

namespace vcl {
namespace {

// The framework the environment names: "ibus", "fcitx" or empty.
QString Framework() {
  QString module = qEnvironmentVariable("QT_IM_MODULE").toLower();
  if (module.isEmpty()) {
    const QString modifiers = qEnvironmentVariable("XMODIFIERS");
    const int at = modifiers.indexOf("@im=");
    if (at >= 0) module = modifiers.mid(at + 4).section('@', 0, 0).trimmed().toLower();
  }
  if (module.startsWith("ibus")) return "ibus";
  if (module.startsWith("fcitx")) return "fcitx";
  return QString();
}

}  // namespace

bool RequestInputMethod(const AnsiString& name) {
  if (name.empty()) return false;
  const QString engine = gbk::ToQString(name);
  const QString framework = Framework();
  if (framework == "ibus") return QProcess::startDetached("ibus", {"engine", engine});
  if (framework == "fcitx")
    return QProcess::startDetached("fcitx5-remote", {"-s", engine}) ||
           QProcess::startDetached("fcitx-remote", {"-s", engine});
  return false;
}

}  // namespace vcl
