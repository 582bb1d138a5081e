#include "platform/vcl/webbrowser.h"

#include <QApplication>
#include <QRegularExpression>

#include <dlfcn.h>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/web_engine.h"

namespace {

// What Qt says when its web engine is loaded after the application object
// is made, which is how it is meant to be loaded here: no OpenGL context is
// shared from the start, the engine draws in software.
bool LateLoadingNotice(const QString& message) {
  return message.startsWith("Qt WebEngine seems to be initialized from a plugin") ||
         message.startsWith("WebEngineContext used before QtWebEngineCore::initialize") ||
         message.startsWith("No suitable graphics backend found");
}

QtMessageHandler forwardedTo = nullptr;
void WithoutLateLoadingNotices(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && LateLoadingNotice(message)) return;
  if (forwardedTo) forwardedTo(type, context, message);
}

// Runs `f` with the notices above kept out of the program's output.
template <class F>
auto Quietly(F f) {
  forwardedTo = qInstallMessageHandler(WithoutLateLoadingNotices);
  auto result = f();
  qInstallMessageHandler(forwardedTo);
  forwardedTo = nullptr;
  return result;
}

// The engine library's path: beside this library. Named in full, since a
// bare name is looked up in the run path of whoever calls dlopen, which is
// not this library when a sanitizer's runtime stands in between.
std::string EnginePath() {
  Dl_info self{};
  const std::string me = dladdr(reinterpret_cast<void*>(&EnginePath), &self) && self.dli_fname ? self.dli_fname : "";
  return me.substr(0, me.rfind('/') + 1) + "libplatform_vcl_webengine.so";
}

// The engine library, loaded once; null, said once, when it cannot be loaded.
const vcl::WebEngine* Engine() {
  static const vcl::WebEngine* engine = [] {
    const vcl::WebEngine* loaded = Quietly([]() -> const vcl::WebEngine* {
      void* library = dlopen(EnginePath().c_str(), RTLD_NOW | RTLD_LOCAL);
      auto entry = library ? reinterpret_cast<decltype(&QuarvelWebEngine)>(dlsym(library, QUARVEL_WEB_ENGINE_ENTRY))
                           : nullptr;
      return entry ? entry() : nullptr;
    });
    if (!loaded) qWarning("The web engine could not be loaded: %s", dlerror());
    return loaded;
  }();
  return engine;
}

}  // namespace

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner) {
  // White until a page is shown, as a blank page is.
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  setFocusPolicy(Qt::StrongFocus);
  resize(300, 150);
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
    QObject::connect(app, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

// The view and its page go before the control's other children.
TWebBrowser::~TWebBrowser() { delete viewWidget_; }

QUrl TWebBrowser::UrlOf(const AnsiString& address) {
  if (address.empty()) return QUrl("about:blank");
  const QString text = gbk::ToQString(address);
  // Two letters at least before the colon: "C:" is a drive.
  static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
  if (scheme.match(text).hasMatch()) return QUrl(text);
  return QUrl::fromLocalFile(QString::fromStdString(winpath::ToLinux(address)));
}

QWebEngineView* TWebBrowser::MakeView() {
  if (view_) return view_;
  const vcl::WebEngine* engine = Engine();
  if (!engine) return nullptr;
  view_ = Quietly([&] { return engine->make(this, [this] { return asked_; }); });
  viewWidget_ = engine->widget(view_);
  setFocusProxy(viewWidget_);
  return view_;
}

void TWebBrowser::Navigate(const AnsiString& address) {
  asked_ = UrlOf(address);
  if (MakeView()) Engine()->load(view_, asked_);
}

void TWebBrowser::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  if (viewWidget_) viewWidget_->setGeometry(rect());
}

// Focus is followed through the application (it sits in the engine's inner
// widgets), so the control's own focus events do not fire OnEnter/OnExit.
void TWebBrowser::focusInEvent(QFocusEvent* e) { QWidget::focusInEvent(e); }
void TWebBrowser::focusOutEvent(QFocusEvent* e) { QWidget::focusOutEvent(e); }

void TWebBrowser::FocusChanged(QWidget* now) {
  const bool inside = now && (now == this || isAncestorOf(now));
  if (inside && !focused_) {
    focused_ = true;
    vcl::Fire(OnEnter, static_cast<TObject*>(this));
  } else if (!inside && focused_ && now && now->window() == window()) {
    focused_ = false;
    vcl::Fire(OnExit, static_cast<TObject*>(this));
  }
}
