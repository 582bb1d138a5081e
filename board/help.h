// The help window TForm4 (Unit4): a stay-on-top window showing the help page
// "qvlhelp.mht" of the program folder in a web browser control, anew at
// every showing; closed by its OK button.
#pragma once
#include "platform/vcl/buttons.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/webbrowser.h"

class TForm4 : public TForm {
 public:
  explicit TForm4(TComponent* owner);

  TLabel* Label1;  // title line
  TWebBrowser* WebBrowser1;
  TLabel* Label2;  // footer line
  TBitBtn* BitBtn1;

  void FormShow(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
};

extern TForm4* Form4;
