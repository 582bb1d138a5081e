#include "keyboard/exception_display.h"

#include "platform/vcl/forms.h"

namespace tappel {

void ShowCurrentException() {
  try {
    throw;
  } catch (const Exception& e) {
    Application->ShowException(e.Message());
  } catch (...) {
    Application->ShowException(AnsiString());  // as an exception with an empty message
  }
}

}  // namespace tappel
