// The font dialog (QFontDialog with Qt's own widgets, not the desktop's).
// Font is the font offered when the dialog opens and the one chosen after
// OK; Cancel leaves it as it was. The dialog offers the installed faces in
// points; a face that is not installed stays the font's name as long as the
// person keeps the face the dialog showed for it. A colour button opens the
// colour dialog for the font's colour. With OnApply set the dialog has an
// Apply button: it makes Font the font shown and runs OnApply, the dialog
// staying open.
//
// Answering it without a person, for tests: QUARVEL_FONTDIALOG_ANSWERS=<file>
// holds one answer a line, each taken from the file when the dialog uses it:
// "APPLY <font>" presses Apply with that font (the dialog stays; the next
// line is its next answer), "OK <font>" confirms that font, "CANCEL" (or any
// other line) cancels. <font> is "<height> <colour> <styles> <face>": the
// height as Font.Height has it, the colour in decimal, "$BBGGRR" or
// "0xBBGGRR", the styles as letters of B, I, U, S or "-" for none, then the
// face (UTF-8, the rest of the line). The dialog is shown and answered once
// it is up. When the file runs out, the dialog waits for a person.
#pragma once
#include <functional>
#include <memory>

#include "platform/vcl/graphics.h"

typedef std::function<void(TObject* Sender, HWND Wnd)> TFDApplyEvent;

class TFontDialog : public TComponent {
 public:
  explicit TFontDialog(TComponent* owner);
  ~TFontDialog() override;

  // Modal, owned by the active form (or the main form); true on OK.
  bool Execute();

  TFont* GetFont() const { return font_.get(); }
  void SetFont(TFont* f) { font_->Assign(f); }
  VCL_PROPERTY(TFontDialog, TFont*, Font);

  // Sender is the dialog component, Wnd the dialog's window.
  TFDApplyEvent OnApply;

 private:
  std::unique_ptr<TFont> font_;
};
