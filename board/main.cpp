// Quarvel: the teacher's drawing board.
#include "board/board.h"
#include "board/startup.h"
#include "platform/vcl/forms.h"

int main() {
  QuarvelStartUp();
  // Only the instance that stays clears what an earlier run left.
  if (!Application->Terminated) DeleteStalePanelFiles(Form3->ProgramFolder);
  Application->Run();
  return 0;
}
