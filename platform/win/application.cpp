#include "platform/win/application.h"

#include <QApplication>

#include "platform/text/gbk.h"
#include "platform/win/detail/x11.h"
#include "platform/win/hidden_window.h"

#include <unistd.h>

#include <cstdlib>

namespace win {
namespace {
Application* g_instance = nullptr;

// QApplication keeps references to argc and argv for its whole life.
int g_argc = 1;
std::string g_argv0;
char* g_argv[2] = {nullptr, nullptr};
}  // namespace

Application::Application() {
  if (!g_instance) g_instance = this;
}

Application::~Application() {
  if (handle_) DestroyWindow(handle_);
  if (ownsQApp_) delete qApp;
  if (g_instance == this) g_instance = nullptr;
}

Application* Application::Instance() { return g_instance; }

void Application::Initialize() {
  if (!QCoreApplication::instance()) {
    // The cross-process window contract is X11's.
    if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 1);
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    g_argv0 = n > 0 ? std::string(buf, size_t(n)) : "quarvel";
    g_argv[0] = g_argv0.data();
    new QApplication(g_argc, g_argv);
    ownsQApp_ = true;
  }
  if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    gui->setQuitOnLastWindowClosed(false);
  if (!handle_) handle_ = CreateHiddenWindow(title_);
}

void Application::SetTitle(std::string_view gbk) {
  title_ = std::string(gbk);
  if (handle_) x11::WriteName(handle_, gbk::ToUtf8(title_));
}

void Application::Terminate() {
  terminated_ = true;
  if (running_) QCoreApplication::exit(0);
}

int Application::Run() {
  if (terminated_ || !QCoreApplication::instance()) return 0;
  running_ = true;
  int r = QCoreApplication::exec();
  running_ = false;
  return r;
}

}  // namespace win
