// Quarvel: the teacher's drawing board.
#include "board/startup.h"
#include "platform/vcl/forms.h"

int main() {
  QuarvelStartUp();
  Application->Run();
  return 0;
}
