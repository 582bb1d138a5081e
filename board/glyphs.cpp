#include "board/glyphs.h"

#include "platform/fs/folders.h"

namespace {
AnsiString PictureFile(const char* name) { return GetProgramFolder() + "pic\\" + name + ".png"; }
}  // namespace

void LoadPicture(TPicture* picture, const char* name) {
  try {
    picture->LoadFromFile(PictureFile(name));
  } catch (const Exception&) {
    // The control simply shows no picture.
  }
}

namespace {
template <class Button>
void AssignGlyph(Button* button, const char* name) {
  TPicture picture;
  LoadPicture(&picture, name);
  if (picture.Graphic) button->Glyph->Assign(picture.Graphic);
}
}  // namespace

void LoadGlyph(TSpeedButton* button, const char* name) { AssignGlyph(button, name); }
void LoadGlyph(TBitBtn* button, const char* name) { AssignGlyph(button, name); }
