#include "board/help.h"

#include "board/toolbar.h"
#include "platform/fs/folders.h"

TForm4* Form4 = nullptr;

namespace {

TLabel* Line(TForm4* form, int left, int top, const char* text) {
  auto* l = new TLabel(form);
  l->Parent = form;
  l->SetBounds(left, top, 0, 0);
  l->Transparent = true;
  l->Font->Style = TFontStyles{fsBold};
  l->Caption = text;
  return l;
}

}  // namespace

TForm4::TForm4(TComponent* owner) : TForm(owner) {
  Caption = "帮助";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  Position = poDesktopCenter;
  ClientWidth = 792;
  ClientHeight = 516;
  Color = TColor(4227327);
  Font->Name = "宋体";
  Font->Height = -12;
  Font->Charset = GB2312_CHARSET;

  Label1 = Line(this, 12, 17, "Quarvel 帮助");
  WebBrowser1 = new TWebBrowser(this);
  WebBrowser1->Parent = this;
  WebBrowser1->SetBounds(0, 46, 791, 389);
  Label2 = Line(this, 12, 452, "阅读完毕后，请点击[确定]返回。");
  BitBtn1 = new TBitBtn(this);
  BitBtn1->Parent = this;
  BitBtn1->SetBounds(353, 484, 81, 29);
  BitBtn1->Kind = bkOK;
  BitBtn1->Caption = "确定";
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };

  OnShow = [this](TObject* s) { FormShow(s); };
}

void TForm4::FormShow(TObject*) { WebBrowser1->Navigate(GetProgramFolder() + "qvlhelp.mht"); }

void TForm4::BitBtn1Click(TObject*) {
  Form1->PaintSource = 1;
  Close();
}
