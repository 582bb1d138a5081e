// Tappel, the on-screen keyboard: one keyboard window until it is closed.
#include "keyboard/exception_display.h"
#include "keyboard/keyboard_form.h"

int main() {
  try {
    Application->Initialize();
    // The title a program without one of its own shows: its file name.
    Application->Title = "tappel";
    Application->CreateForm(Form1);
    Application->Run();
    delete Application;
    Application = nullptr;
  } catch (...) {
    tappel::ShowCurrentException();
  }
  return 0;
}
