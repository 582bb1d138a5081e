// The toolbar TForm1 (Unit1): the main form, a small always-on-top strip at
// the top right of the desktop whose buttons open the board, the overlay,
// help, the curtain and writing practice, toggle the on-screen keyboard and
// end the program. It also holds the integers other forms share through it.
#pragma once
#include "platform/vcl/buttons.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner);

  TPanel* Panel1;
  TPanel* Panel2;
  TSpeedButton* SpeedButton1;
  TSpeedButton* SpeedButton2;
  TSpeedButton* SpeedButton3;
  TSpeedButton* SpeedButton4;
  TSpeedButton* SpeedButton5;
  TSpeedButton* SpeedButton6;
  TSpeedButton* SpeedButton7;
  TSpeedButton* SpeedButton8;
  TSpeedButton* SpeedButton9;
  TSpeedButton* SpeedButton10;
  TTimer* Timer1;

  void FormCreate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void Timer1Timer(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);   // exit
  void SpeedButton2Click(TObject* Sender);   // help
  void SpeedButton3Click(TObject* Sender);   // annotate
  void SpeedButton4Click(TObject* Sender);   // board
  void SpeedButton5Click(TObject* Sender);   // shrink
  void SpeedButton6Click(TObject* Sender);   // restore
  void SpeedButton7Click(TObject* Sender);   // key lock
  void SpeedButton8Click(TObject* Sender);   // keyboard
  void SpeedButton9Click(TObject* Sender);   // writing practice
  void SpeedButton10Click(TObject* Sender);  // curtain

  // 2: a lesson image waits to be painted on the board; 0 and 1: the board
  // paints its current page.
  int PaintSource = 0;
  // 1 once DisableTaskKeys has been called in this run.
  int KeysLocked = 0;
  // The window that was under (500, 360) when annotation began.
  HWND ReturnWindow = 0;
};

extern TForm1* Form1;
