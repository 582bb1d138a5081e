// The application's life: forms made in order with OnCreate after their
// construction, the first as the main form, the loop ending when the main
// form closes while other forms' closes only hide them.
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/win/window_text.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> g_events;

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner) : TForm(owner) {
    BorderStyle = bsNone;
    FormStyle = fsStayOnTop;
    ClientWidth = 343;
    ClientHeight = 39;
    Caption = "toolbar";
    Visible = true;
    Timer1 = new TTimer(this);
    Timer1->Interval = 50;
    Timer1->Enabled = false;
    OnCreate = [this](TObject*) { FormCreate(); };
    OnCloseQuery = [](TObject*, bool& canClose) { g_events.push_back("CloseQuery1"), canClose = true; };
  }
  void FormCreate();
  TTimer* Timer1;
};

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* owner) : TForm(owner) {
    g_events.push_back("construct2");
    OnCreate = [](TObject*) { g_events.push_back("create2"); };
    OnShow = [this](TObject*) { g_events.push_back(std::string("show2 mapped=") + (windowHandle()->isExposed() ? "1" : "0")); };
    OnHide = [](TObject*) { g_events.push_back("hide2"); };
  }
};

TForm1* Form1;
TForm2* Form2;

void TForm1::FormCreate() {
  g_events.push_back(std::string("create1 form1set=") + (Form1 == this ? "1" : "0"));
  Left = Screen->Width - 436;
  Top = 0;
  int ticks = 0;
  Timer1->OnTimer = [this, ticks](TObject*) mutable {
    ++ticks;
    if (ticks == 1) {
      g_events.push_back(std::string("tick main visible=") + (Visible ? "1" : "0") + " left=" + IntToStr(Left));
      Form2->Show();
    } else if (ticks == 3) {
      Form2->Close();  // not the main form: hidden
      g_events.push_back(std::string("form2 visible=") + (Form2->Visible ? "1" : "0"));
    } else if (ticks == 4) {
      Close();  // the main form: the loop ends
    }
  };
  Timer1->Enabled = true;
}

}  // namespace

TEST(Application, CreateFormRunAndTheMainFormsClose) {
  Application->Initialize();
  Application->Title = "Quarvel";
  Application->CreateForm(Form1);
  Application->CreateForm(Form2);
  EXPECT_EQ(Application->MainForm(), Form1);
  EXPECT_FALSE(Form1->Visible);  // shown by Run
  EXPECT_EQ(win::WindowText(Application->Handle), "Quarvel");
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  const std::vector<std::string> want = {
      "create1 form1set=1", "construct2", "create2", "tick main visible=1 left=588", "show2 mapped=0",
      "hide2", "form2 visible=0", "CloseQuery1"};
  EXPECT_EQ(g_events, want);
  EXPECT_FALSE(Form1->Visible);
}
