// The web browser control over Qt WebEngine. It lives in a library of its
// own (platform_vcl_web), which does not link the engine: the engine's
// library (platform_vcl_webengine, web_engine.h) is loaded, and the engine
// started, when the first page is shown. A program that shows no page
// loads neither WebEngine nor Qt Quick and QML.
//
// The engine draws through Qt Quick's software renderer: a window that gets
// a GPU-composited child after it is on the screen is made anew by Qt (new X
// window, new HWND), which the forms of the system must never see. Without
// $QTWEBENGINE_CHROMIUM_FLAGS the engine gets --no-sandbox when run as root
// and --disable-gpu on a machine without a GPU device.
#pragma once
#include <QUrl>

#include "platform/vcl/controls.h"

class QWebEngineView;

class TWebBrowser : public TWinControl {
 public:
  explicit TWebBrowser(TComponent* owner);
  ~TWebBrowser() override;

  // Shows the page at `address` (GBK): a URL with its scheme ("http://...",
  // "file:///...", "about:blank"), or a file named by the system's path
  // (mapped as the fs facility maps paths: "C:\x\a.htm", the program
  // folder's "/.../a.htm"). The empty address shows a blank page. Loading
  // runs on after the call returns. A file the engine would only download
  // (a Flash movie) is shown embedded in a page of its own, as far as the
  // engine can show it; nothing is ever saved.
  void Navigate(const AnsiString& address);

  // OnEnter and OnExit run when the focus goes into the page, and when it
  // leaves the page for another control of the same form (not when another
  // window becomes active).

  // For tests: the view, made by the first Navigate (nullptr before, and
  // when the engine's library cannot be loaded).
  QWebEngineView* View() const { return view_; }
  // The URL an address stands for (as Navigate goes there).
  static QUrl UrlOf(const AnsiString& address);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  QWebEngineView* MakeView();
  void FocusChanged(QWidget* now);

  QWebEngineView* view_ = nullptr;
  QWidget* viewWidget_ = nullptr;  // the same view as a widget
  QUrl asked_;  // the last address navigated to
  bool focused_ = false;
};
