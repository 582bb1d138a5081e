// The web browser control on a real X server with the real engine: local
// pages named by the system's paths, the blank page, a Flash movie, what the
// screen and the form's canvas show, and the focus events.
#include <QWebEngineView>
#include <QWindow>

#include <fstream>

#include "platform/fs/path.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/webbrowser.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

// A borderless form at the top left with an edit and a browser.
class TPage : public TForm {
 public:
  explicit TPage(TComponent* owner) : TForm(owner) {
    BorderStyle = bsNone;
    Color = clSilver;
    SetBounds(0, 0, 400, 300);
    Edit1 = new TEdit(this);
    Edit1->Parent = this;
    Edit1->SetBounds(0, 0, 100, 24);
    WebBrowser1 = new TWebBrowser(this);
    WebBrowser1->Parent = this;
    WebBrowser1->SetBounds(50, 40, 300, 200);
    WebBrowser1->OnEnter = [this](TObject*) { events += "enter "; };
    WebBrowser1->OnExit = [this](TObject*) { events += "exit "; };
  }
  TEdit* Edit1;
  TWebBrowser* WebBrowser1;
  std::string events;
};

// A page of one colour (CSS colour), as a file of drive C.
std::string ColourPage(const std::string& windowsName, const char* colour) {
  const std::string path = winpath::ToLinux(windowsName);
  std::ofstream(path) << "<html><head><meta charset=\"utf-8\"></head><body style=\"margin:0;background:" << colour
                      << "\">页面</body></html>";
  return path;
}

class Browser : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    form = new TPage(Application);
    form->Show();
    ASSERT_TRUE(test::Shown(form));
  }
  void TearDown() override { delete form; }

  // Navigates and waits until the engine has loaded the page and the screen
  // shows `screen` in the middle of the browser.
  bool ShowsAfter(const AnsiString& address, long screen) {
    form->WebBrowser1->Navigate(address);
    return test::WaitFor([&] { return test::ScreenPixel(200, 140) == screen; }, 30000);
  }
  TColor CanvasPixel(int x, int y) { return form->Canvas->Pixels[x][y]; }

  TPage* form = nullptr;
};

}  // namespace

TEST(BrowserUrl, AddressesBecomeUrlsAsTheSystemNamesThem) {
  const QString c = QString::fromStdString(winpath::ToLinux("C:\\"));
  const struct {
    const char* address;
    QUrl url;
  } cases[] = {
      {"", QUrl("about:blank")},
      {"about:blank", QUrl("about:blank")},
      {"http://example.org/a b.htm", QUrl("http://example.org/a b.htm")},
      {"file:///tmp/a.htm", QUrl("file:///tmp/a.htm")},
      {"C:\\课件\\dream[1].swf", QUrl::fromLocalFile(c + u8"课件/dream[1].swf")},
      {"c:/a.htm", QUrl::fromLocalFile(c + "a.htm")},
      {"/tmp/x y/页.htm", QUrl::fromLocalFile(u8"/tmp/x y/页.htm")},
  };
  for (const auto& k : cases) EXPECT_EQ(TWebBrowser::UrlOf(k.address), k.url) << k.address;
}

TEST_F(Browser, ALocalPageShowsOnTheScreenAndInTheFormsCanvasAndTheEmptyAddressBlanksIt) {
  // White until something is shown; the engine is not even started.
  EXPECT_EQ(form->WebBrowser1->View(), nullptr);
  EXPECT_TRUE(test::WaitFor([] { return test::ScreenPixel(200, 140) == 0xFFFFFF; }));
  const HWND before = form->Handle;

  ASSERT_EQ(system(("mkdir -p '" + winpath::ToLinux("C:\\课件") + "'").c_str()), 0);
  ColourPage("C:\\课件\\红.htm", "#ff0000");
  ASSERT_TRUE(ShowsAfter("C:\\课件\\红.htm", 0x0000FF));
  const QString red = QString::fromStdString(winpath::ToLinux("C:\\课件\\红.htm"));
  EXPECT_EQ(form->WebBrowser1->View()->url(), QUrl::fromLocalFile(red));
  // What the form's canvas reads there is what the screen shows.
  EXPECT_EQ(CanvasPixel(200, 140), clRed);
  EXPECT_EQ(CanvasPixel(20, 100), clSilver);
  // The form kept its window.
  EXPECT_EQ(form->Handle, before);
  EXPECT_EQ(HWND(form->windowHandle()->winId()), before);

  // A Linux path, as the program folder's files are named.
  const std::string green = ColourPage(test::Shell("pwd | tr -d '\\n'") + "/绿.htm", "#00ff00");
  ASSERT_TRUE(ShowsAfter(winpath::FromLinux(green), 0x00FF00));

  ASSERT_TRUE(ShowsAfter("", 0xFFFFFF));
  // The screen may turn white on the way, before the blank page is there.
  EXPECT_TRUE(test::WaitFor([&] { return form->WebBrowser1->View()->url() == QUrl("about:blank"); }))
      << form->WebBrowser1->View()->url().toString().toStdString();
  EXPECT_EQ(CanvasPixel(200, 140), clWhite);
}

TEST_F(Browser, AFlashMovieShowsWhatTheEngineCanShowAndAFileItWouldDownloadIsEmbedded) {
  const std::string movie = winpath::ToLinux("C:\\dream[1].swf");
  std::ofstream(movie) << "FWS\x06" << std::string(64, '\0');
  std::ofstream(winpath::ToLinux("C:\\data.bin")) << std::string(64, '\x01');
  bool loaded = false;
  QMetaObject::Connection watching;
  auto load = [&](const AnsiString& address, const std::string& path) {
    loaded = false;
    form->WebBrowser1->Navigate(address);
    if (!watching)
      watching =
          QObject::connect(form->WebBrowser1->View(), &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
    return test::WaitFor([&] {
      return loaded && form->WebBrowser1->View()->url() == QUrl::fromLocalFile(QString::fromStdString(path));
    }, 30000);
  };
  auto html = [&] {
    QString text;
    bool read = false;
    form->WebBrowser1->View()->page()->toHtml([&](const QString& h) { text = h, read = true; });
    test::WaitFor([&] { return read; });
    return text;
  };
  EXPECT_TRUE(load("C:\\dream[1].swf", movie));
  EXPECT_TRUE(load("C:\\data.bin", winpath::ToLinux("C:\\data.bin")));
  // The embedding page comes after the engine gave up the download.
  EXPECT_TRUE(test::WaitFor([&] { return html().contains("<embed"); }, 30000)) << html().toStdString();
  // Nothing was saved anywhere.
  EXPECT_EQ(test::Shell("find \"$HOME\" \"$XDG_RUNTIME_DIR\" -name 'data*.bin' -o -name '*.swf'"), "");

  ColourPage("C:\\blue.htm", "#0000ff");
  EXPECT_TRUE(ShowsAfter("C:\\blue.htm", 0xFF0000));
}

TEST_F(Browser, EnterAndExitFollowTheFocusIntoThePageAndToAnotherControl) {
  ColourPage("C:\\focus.htm", "#ffff00");
  ASSERT_TRUE(ShowsAfter("C:\\focus.htm", 0x00FFFF));
  form->windowHandle()->requestActivate();
  ASSERT_TRUE(test::WaitFor([&] { return form->isActiveWindow(); }));
  form->Edit1->SetFocus();
  ASSERT_TRUE(test::WaitFor([&] { return form->Edit1->Inner()->hasFocus(); }));
  EXPECT_EQ(form->events, "");

  ASSERT_TRUE(test::XdoWhileRunning("mousemove 200 140 click 1"));
  EXPECT_TRUE(test::WaitFor([&] { return form->events == "enter "; })) << form->events;
  ASSERT_TRUE(test::XdoWhileRunning("mousemove 20 10 click 1"));
  EXPECT_TRUE(test::WaitFor([&] { return form->events == "enter exit "; })) << form->events;
  form->WebBrowser1->SetFocus();
  EXPECT_TRUE(test::WaitFor([&] { return form->events == "enter exit enter "; })) << form->events;
}
