// Driving modal forms with real input from inside their own loops (message
// boxes and the library's dialogs are answered through their answers file
// instead): each step waits for its condition, then acts; X input goes out
// on a thread of its own, so that the loops keep handling events. Stuck for
// 40 s, the script ends the modal loops of the forms it was given.
#pragma once
#include <QTimer>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/vcl/forms.h"
#include "tests/board/board_test.h"

namespace boardtest {

class ModalScript {
 public:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
  };
  ModalScript(std::vector<TForm*> modal, std::vector<Step> steps) : modal_(std::move(modal)), steps_(std::move(steps)) {
    start_ = std::chrono::steady_clock::now();
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    timer_.start(20);
  }
  ~ModalScript() {
    for (std::thread& t : input_) t.join();
  }
  bool Finished() const { return next_ == steps_.size(); }
  std::string Stuck() const { return stuck_; }

  // xdotool with these arguments, without waiting for it.
  void Input(const std::string& args) {
    input_.emplace_back([args] { Shell("xdotool " + args + " 2>&1"); });
  }

 private:
  void Tick() {
    if (busy_) return;
    if (std::chrono::steady_clock::now() - start_ > std::chrono::seconds(40)) {
      timer_.stop();
      stuck_ = "stuck before step " + std::to_string(next_ + 1);
      for (TForm* f : modal_)
        if (f->Modal()) f->ModalResult = mrCancel;
      return;
    }
    if (Finished()) return timer_.stop();
    if (!steps_[next_].ready()) return;
    busy_ = true;
    steps_[next_++].act();
    busy_ = false;
  }

  std::vector<TForm*> modal_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  bool busy_ = false;
  QTimer timer_;
  std::chrono::steady_clock::time_point start_;
  std::vector<std::thread> input_;
  std::string stuck_;
};

// A click in the middle of a control, then a short pause.
inline std::string ClickOn(TControl* c) {
  const TPoint p = c->ClientToScreen(Point(c->Width / 2, c->Height / 2));
  return " mousemove " + std::to_string(p.X) + " " + std::to_string(p.Y) + " click 1 sleep 0.05";
}

}  // namespace boardtest
