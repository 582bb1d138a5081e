// The lesson and teacher manager TForm6 (Unit6). The board's paint draws a
// lesson image through it: LessonImage drawn by LessonGraphics (a drawing
// surface on the board's canvas) is captured into Pages[LoadingPage].
#pragma once
#include <memory>

#include "platform/gdiplus/gdiplus.h"
#include "platform/vcl/forms.h"

class TForm6 : public TForm {
 public:
  explicit TForm6(TComponent* owner);

  // 1 while the selected teacher's password has been given.
  int TeacherUnlocked = 0;
  std::unique_ptr<Gdiplus::Image> LessonImage;
  std::unique_ptr<Gdiplus::Graphics> LessonGraphics;
  int LoadingPage = 0;
};

extern TForm6* Form6;
