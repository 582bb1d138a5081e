// A window control that follows the pointer (a panel dragged by its own
// mouse events): each event's point is taken where the control stands when
// the event is handled, so the press point stays under the pointer however
// fast it moves.
#include "platform/vcl/extctrls.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

class TDrag : public TForm {
 public:
  explicit TDrag(TComponent* owner) : TForm(owner) {
    BorderStyle = bsNone;
    SetBounds(0, 0, 800, 600);
    Panel1 = new TPanel(this);
    Panel1->Parent = this;
    Panel1->SetBounds(100, 100, 200, 150);
    Panel1->Color = clTeal;
    Panel1->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) { startX = x, startY = y; };
    Panel1->OnMouseMove = [this](TObject*, TShiftState s, int x, int y) {
      if (s.Contains(ssLeft)) Panel1->SetBounds(Panel1->Left + x - startX, Panel1->Top + y - startY, 200, 150);
    };
  }
  TPanel* Panel1;
  int startX = 0, startY = 0;
};

}  // namespace

TEST(MovingControl, APanelDraggedByItsOwnEventsEndsWhereThePointerTookIt) {
  test::App();
  TDrag form(Application);
  form.Show();
  ASSERT_TRUE(test::Shown(&form));
  for (int round = 0; round < 6; ++round) {
    const int dx = round % 2 ? -15 : 15, dy = round % 2 ? -10 : 10;
    const int left = form.Panel1->Left(), top = form.Panel1->Top();
    const int x = left + 10, y = top + 10;
    std::string moves;
    for (int step = 1; step <= 12; ++step)
      moves += " mousemove " + std::to_string(x + step * dx) + " " + std::to_string(y + step * dy);
    ASSERT_TRUE(test::XdoWhileRunning("mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown 1" +
                                      moves + " mouseup 1"));
    test::Pump(50);
    EXPECT_EQ(form.Panel1->Left(), left + 12 * dx) << round;
    EXPECT_EQ(form.Panel1->Top(), top + 12 * dy) << round;
  }
}
