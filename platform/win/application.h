// The application object: Qt's application, the message loop, and the
// program's own top-level window, which is never mapped and whose window
// text is the application title (other processes find it in their walks).
#pragma once
#include "platform/windef.h"

#include <string>
#include <string_view>

namespace win {

class Application {
 public:
  Application();
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The one that exists, or nullptr.
  static Application* Instance();

  // Creates the QApplication unless one exists (on Qt's xcb platform unless
  // QT_QPA_PLATFORM names another), then the application window. The loop
  // does not end when the last window closes: the program ends when its
  // main form closes, through Terminate.
  void Initialize();

  // Window text of the application window (WM_NAME and _NET_WM_NAME).
  void SetTitle(std::string_view gbk);
  const std::string& Title() const { return title_; }

  // 0 before Initialize or without an X display.
  HWND Handle() const { return handle_; }

  // True in one process only of those on the display that ask under the same
  // title: the first to ask, for as long as it runs (its application window
  // owns an X selection named after the title). A process that asks before
  // it has a title or a display gets true.
  bool FirstOfTitle();

  // Ends the message loop; called before Run, Run returns as soon as it
  // starts.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Runs the message loop; returns its exit code.
  int Run();

 private:
  std::string title_;
  HWND handle_ = 0;
  bool terminated_ = false;
  bool running_ = false;
  bool ownsQApp_ = false;
  int first_ = -1;  // FirstOfTitle's answer, once asked
};

}  // namespace win
