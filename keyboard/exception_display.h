// The program's display of an exception that nothing else handled: the
// class library's exceptions with their message, any other exception as
// one of them with an empty message; the application's standard display
// either way, after which the program goes on.
#pragma once
#include <utility>

namespace tappel {

// Shows the exception being handled; call it inside a catch block.
void ShowCurrentException();

// The handler, with its exceptions shown as above instead of leaving it.
template <class F>
auto Guarded(F handler) {
  return [handler](auto&&... args) {
    try {
      handler(std::forward<decltype(args)>(args)...);
    } catch (...) {
      ShowCurrentException();
    }
  };
}

}  // namespace tappel
