// The colour dialog (QColorDialog, Qt's own, not the desktop's). Color is
// the colour offered when the dialog opens and the one chosen after OK;
// Cancel leaves it as it was.
//
// Answering it without a person, for tests: QUARVEL_COLORDIALOG_ANSWERS=<file>
// holds one answer a line, "OK <colour>" (decimal, "$BBGGRR" or "0xBBGGRR")
// or "CANCEL"; each dialog takes the first line and removes it from the file.
// The dialog is still shown and answered as soon as it is up. When the file
// runs out, dialogs wait for a person again.
#pragma once
#include "platform/vcl/classes.h"
#include "platform/vcl/graphics.h"

class TColorDialog : public TComponent {
 public:
  explicit TColorDialog(TComponent* owner) : TComponent(owner) {}

  // Modal, owned by the active form (or the main form); true on OK.
  bool Execute();

  TColor GetColor() const { return colour_; }
  void SetColor(TColor c) { colour_ = c; }
  VCL_PROPERTY(TColorDialog, TColor, Color);

 private:
  TColor colour_ = clBlack;
};
