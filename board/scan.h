// The scan dialog TForm11 (Unit11). The board's scan button loads the TWAIN
// component, lists its sources here and shows the dialog modally; 确定 opens
// the chosen source at 150 dpi and switches it on without the driver's own
// dialog. The picture arrives later, when the driver's message reaches the
// component's hidden window: the acquire handler scales it to the screen's
// width and 50 pixels more, passes it through "tmp.bmt" in the program
// folder and hands it to the board as its floating picture. A picture
// taller than the screen continues on the following page: Image2's Tag
// names that page, and the forward page turn shows the rest there.
#pragma once
#include "platform/vcl/buttons.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "twain/twain_link.h"

class TForm11 : public TForm {
 public:
  explicit TForm11(TComponent* owner);

  TLabel* Label1;
  TListBox* ListBox1;  // row i names source i
  TRadioButton* RadioButton1;  // 单页: the picture is cut to the screen's height
  TRadioButton* RadioButton2;  // 双页: the whole picture
  TBitBtn* BitBtn1;  // 确定
  TBitBtn* BitBtn2;  // 取消
  TTwainLink* TwainLink1;

  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  // Image lives only during the call; it is copied first.
  void TwainLink1TwainAcquire(TObject* Sender, const int Index, TBitmap* Image, bool& Cancel);

 private:
  void BuildForm();
};

extern TForm11* Form11;
