// Every event handler of the form library runs through Fire: an Exception
// (or std::exception) that leaves the handler is shown by the application's
// default exception display, and the rest of the handler is skipped.
#pragma once
#include <exception>
#include <utility>

#include "platform/vcl/sysutils.h"

namespace vcl {

// The application's display of an exception's message (forms.h).
void ShowExceptionMessage(const AnsiString& message);

// True when the handler ran to its end (or there is none).
template <class F, class... A>
bool Fire(const F& handler, A&&... args) {
  if (!handler) return true;
  try {
    handler(std::forward<A>(args)...);
    return true;
  } catch (const Exception& e) {
    ShowExceptionMessage(e.Message());
  } catch (const std::exception& e) {
    ShowExceptionMessage(e.what());
  }
  return false;
}

}  // namespace vcl
