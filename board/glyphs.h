// Button and preview pictures, drawn at build time into the program folder
// as "pic\<name>.png". A missing or unreadable picture leaves the control
// without one; nothing is reported.
#pragma once
#include "platform/vcl/buttons.h"
#include "platform/vcl/graphics.h"

void LoadGlyph(TSpeedButton* button, const char* name);
void LoadGlyph(TBitBtn* button, const char* name);
void LoadPicture(TPicture* picture, const char* name);
