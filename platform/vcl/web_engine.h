// Between the web browser control and the library that holds the engine
// (platform_vcl_webengine). The control's library does not link Qt
// WebEngine: the engine library, and with it WebEngine, Qt Quick and QML,
// is loaded when the first page is shown, so a program that never shows
// one never loads them (nor the OpenGL stack WebEngine sets up at start).
#pragma once
#include <QUrl>
#include <functional>

class QWebEngineView;
class QWidget;

namespace vcl {

struct WebEngine {
  // A view filling `parent`, shown; `asked` tells the address last asked
  // for, so that a file the engine would only download is embedded in a
  // page instead.
  QWebEngineView* (*make)(QWidget* parent, std::function<QUrl()> asked);
  QWidget* (*widget)(QWebEngineView* view);
  void (*load)(QWebEngineView* view, const QUrl& url);
};

}  // namespace vcl

// The engine library's one export.
#define QUARVEL_WEB_ENGINE_ENTRY "QuarvelWebEngine"
extern "C" const vcl::WebEngine* QuarvelWebEngine();
