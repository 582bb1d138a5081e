// The keyboard form: a borderless, stay-on-top window whose keys are child
// windows with coded window texts. It sends no keystrokes; it only shows
// the keys and the state of Shift, Ctrl, Alt and Caps Lock.
#pragma once
#include <vector>

#include "keyboard/key_layout.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"

class TForm1 : public TForm {
 public:
  // Builds the form as its form description has it.
  explicit TForm1(TComponent* Owner);

  TImage* Image2;
  TPanel* Panel56;
  TSpeedButton* SpeedButton1;
  TPanel* Panel99;
  TTimer* Timer1;
  TSpeedButton* SpeedButton31;  // CapsLock
  TSpeedButton* SpeedButton44;  // Shift
  TSpeedButton* SpeedButton56;  // Esc
  TSpeedButton* SpeedButton57;  // Alt
  TSpeedButton* SpeedButton63;  // Ctrl

  // One window per key, in the order of tappel::Keys().
  struct KeyWindow {
    const tappel::Key* key;
    TPanel* panel;
    TSpeedButton* button;
  };
  std::vector<KeyWindow> KeyWindows;

  void FormCreate(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void WMNCHitTest(TWMNCHitTest& Message);
  void Dispatch(TMessage& Message) override;

 private:
  void MakeTitle();
  void MakeKeys();
  TSpeedButton* ButtonOf(char code) const;
  // Buttons of one group are one radio group across the whole form, though
  // each sits in its own key window: the one that went down lets the
  // others up.
  void ReleaseGroupMates(TSpeedButton* button);
  void SetModifierDown(TSpeedButton* button, bool down);
};

extern TForm1* Form1;
