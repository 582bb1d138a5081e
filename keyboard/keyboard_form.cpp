#include "keyboard/keyboard_form.h"

#include "keyboard/exception_display.h"
#include "keyboard/form_pictures.h"
#include "platform/vcl/jpeg.h"
#include "platform/win/input.h"
#include "platform/win/window_style.h"

TForm1* Form1 = nullptr;

namespace {

using tappel::Guarded;

constexpr TColor kKeyColour = TColor(12676128);  // $C16C20

struct Face {
  tappel::KeyFace face;
  const char* name;
  int height;
};
const Face kFaces[] = {
    {tappel::kFaceStandard, "MS Sans Serif", -11},
    {tappel::kFaceTall, "MS Sans Serif", -13},
    {tappel::kFaceSong, "宋体", -11},
    {tappel::kFaceKai, "楷体_GB2312", -12},
};

bool Down(SHORT state) { return (state & 0xF000) != 0; }

}  // namespace

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {
  Name = "Form1";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  Color = clSkyBlue;
  Caption = "%*Y";
  ClientWidth = 396;
  ClientHeight = 137;
  Font->Name = "MS Sans Serif";
  Font->Height = -11;
  OnCreate = Guarded([this](TObject* Sender) { FormCreate(Sender); });

  // The key field first: the keys of the form lie above it.
  Panel99 = new TPanel(this);
  Panel99->Name = "Panel99";
  Panel99->Parent = this;
  Panel99->SetBounds(-5, 18, 403, 123);
  Panel99->ParentColor = true;
  Panel99->Caption = "%*X";

  MakeTitle();
  MakeKeys();

  Timer1 = new TTimer(this);
  Timer1->Name = "Timer1";
  Timer1->Interval = 100;
  Timer1->OnTimer = Guarded([this](TObject* Sender) { Timer1Timer(Sender); });
}

void TForm1::MakeTitle() {
  Image2 = new TImage(this);
  Image2->Name = "Image2";
  Image2->Parent = this;
  Image2->SetBounds(0, 0, 395, 17);
  Image2->AutoSize = true;
  TJPEGImage title;
  if (title.SetBytes(std::vector<BYTE>(tappel::kTitlePicture, tappel::kTitlePicture + tappel::kTitlePictureSize)))
    Image2->Picture->Graphic = &title;

  Panel56 = new TPanel(this);
  Panel56->Name = "Panel56";
  Panel56->Parent = this;
  Panel56->SetBounds(377, 0, 21, 16);
  Panel56->BevelOuter = bvNone;
  Panel56->ParentColor = true;

  SpeedButton1 = new TSpeedButton(this);
  SpeedButton1->Name = "SpeedButton1";
  SpeedButton1->Parent = Panel56;
  SpeedButton1->SetBounds(-1, -1, 21, 17);
  SpeedButton1->Flat = true;
  TMemoryStream glyph;
  glyph.WriteBuffer(tappel::kCloseGlyph, int64_t(tappel::kCloseGlyphSize));
  glyph.Position = 0;
  SpeedButton1->Glyph->LoadFromStream(&glyph);
  SpeedButton1->OnClick = Guarded([this](TObject* Sender) { SpeedButton1Click(Sender); });
}

void TForm1::MakeKeys() {
  for (const tappel::Key& key : tappel::Keys()) {
    auto* panel = new TPanel(this);
    const bool inField = tappel::InKeyField(key);
    panel->Parent = inField ? Panel99 : static_cast<TWinControl*>(this);
    panel->SetBounds(inField ? key.x + 5 : key.x, inField ? key.y - 18 : key.y, key.width, tappel::kKeyHeight);
    panel->Caption = tappel::KeyText(key);
    for (const Face& f : kFaces)
      if (f.face == key.face) {
        panel->Font->Name = f.name;
        panel->Font->Height = f.height;
        panel->Font->Color = kKeyColour;
      }

    auto* button = new TSpeedButton(this);
    button->Parent = panel;
    button->SetBounds(key.buttonLeft, 0, key.buttonWidth ? key.buttonWidth : key.width, tappel::kKeyHeight);
    button->Caption = key.label;
    if (key.group) {
      button->GroupIndex = key.group;
      button->AllowAllUp = true;
      button->OnClick = [this, button](TObject*) { ReleaseGroupMates(button); };
    }
    KeyWindows.push_back({&key, panel, button});
  }
  SpeedButton31 = ButtonOf('D');
  SpeedButton44 = ButtonOf('F');
  SpeedButton56 = ButtonOf('T');
  SpeedButton57 = ButtonOf('I');
  SpeedButton63 = ButtonOf('H');
  SpeedButton31->Name = "SpeedButton31";
  SpeedButton44->Name = "SpeedButton44";
  SpeedButton56->Name = "SpeedButton56";
  SpeedButton57->Name = "SpeedButton57";
  SpeedButton63->Name = "SpeedButton63";
}

TSpeedButton* TForm1::ButtonOf(char code) const {
  for (const KeyWindow& k : KeyWindows)
    if (k.key->code == code) return k.button;
  return nullptr;
}

void TForm1::ReleaseGroupMates(TSpeedButton* button) {
  if (!button->Down || !button->GroupIndex) return;
  for (const KeyWindow& k : KeyWindows)
    if (k.button != button && k.button->GroupIndex == button->GroupIndex) k.button->Down = false;
}

void TForm1::SetModifierDown(TSpeedButton* button, bool down) {
  if (button->Down == down) return;
  button->Down = down;
  ReleaseGroupMates(button);
}

void TForm1::FormCreate(TObject*) {
  // No taskbar button for the program.
  SetWindowLong(Application->Handle, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  Left = Screen->Width / 2 - 202;
  Top = Screen->Height - 171;
}

// The keys' state as the X server has it, whichever window has the focus:
// a click on Shift, Ctrl or Alt lasts until the next tick.
void TForm1::Timer1Timer(TObject*) {
  SetModifierDown(SpeedButton44, Down(GetKeyState(VK_SHIFT)));
  SetModifierDown(SpeedButton63, Down(GetKeyState(VK_CONTROL)));
  SetModifierDown(SpeedButton57, Down(GetKeyState(VK_MENU)));
  const TColor caps = (GetKeyState(VK_CAPITAL) & 0x0F) != 0 ? clRed : kKeyColour;
  if (SpeedButton31->Font->Color != caps) SpeedButton31->Font->Color = caps;
}

void TForm1::SpeedButton1Click(TObject*) { Close(); }

// Only the form's own surface asks: the title picture and the gaps beside
// the close button. Pressed there, the window follows the pointer.
void TForm1::WMNCHitTest(TWMNCHitTest& Message) {
  Message.Result = GetAsyncKeyState(VK_LBUTTON) < 0 ? HTCAPTION : HTCLIENT;
}

void TForm1::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST: {
      TWMNCHitTest hitTest(Message);
      Guarded([this](TWMNCHitTest& m) { WMNCHitTest(m); })(hitTest);
      break;
    }
    default: TForm::Dispatch(Message); break;
  }
}
