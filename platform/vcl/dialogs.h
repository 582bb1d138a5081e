// Colour, file and font dialogs over Qt's own (not the desktop's), and
// ShowMessage. Each dialog is modal, owned by the active form (or the main
// form), and false from Execute when the process has no Qt application.
//
// Tests answer them without a person as they answer message boxes
// (platform/win/dialog_script.h): the colour dialog is win::RunColorDialog's
// ("COLOR <colour>"), the open and save dialogs are win::RunFileDialog's
// ("FILE <Linux path>"); a font dialog
// takes "FONT <height> <$BBGGRR> <face>" (UTF-8 face; lines "APPLY <height>
// <$BBGGRR> <face>" before it press Apply with that font first) and logs
// "<title><TAB>FONT". "CANCEL" cancels any of them, and so does an answer
// that does not fit (with a note on stderr).
#pragma once
#include "platform/vcl/controls.h"

// A box with the text, an OK button and the application title as caption.
void ShowMessage(const AnsiString& text);

class TCommonDialog : public TComponent {
 public:
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  AnsiString GetTitle() const { return title_; }
  void SetTitle(const AnsiString& t) { title_ = t; }
  VCL_PROPERTY(TCommonDialog, AnsiString, Title);
  // True when the person (or the script) accepted.
  virtual bool Execute() = 0;

 private:
  AnsiString title_;
};

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
typedef vcl::EnumSet<TColorDialogOption> TColorDialogOptions;

class TColorDialog : public TCommonDialog {
 public:
  explicit TColorDialog(TComponent* owner) : TCommonDialog(owner) {}
  // Starts at Color; on OK Color is the chosen colour, Cancel leaves it.
  bool Execute() override;
  TColor GetColor() const { return colour_; }
  void SetColor(TColor c) { colour_ = c; }
  TColorDialogOptions GetOptions() const { return options_; }
  void SetOptions(const TColorDialogOptions& o) { options_ = o; }
  VCL_PROPERTY(TColorDialog, TColor, Color);
  VCL_PROPERTY(TColorDialog, TColorDialogOptions, Options);

 private:
  TColor colour_ = clBlack;
  TColorDialogOptions options_;
};

enum TOpenOption { ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
                   ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
                   ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
                   ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing };
typedef vcl::EnumSet<TOpenOption> TOpenOptions;

// Filter is "text|mask[;mask]|text|mask..." ("*.*": every file); masks
// match names ignoring case. FilterIndex counts from 1. FileName and
// InitialDir are the system's (GBK Windows) paths; a bare FileName lies in
// InitialDir, else in the current folder. Without a Title the dialog is
// "打开" (open) or "另存为" (save). The current folder never changes.
class TOpenDialog : public TCommonDialog {
 public:
  explicit TOpenDialog(TComponent* owner) : TCommonDialog(owner) {}
  bool Execute() override { return Run(false); }

  AnsiString GetFilter() const { return filter_; }
  void SetFilter(const AnsiString& f) { filter_ = f; }
  int GetFilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int i) { filterIndex_ = i; }
  AnsiString GetFileName() const { return fileName_; }
  void SetFileName(const AnsiString& f) { fileName_ = f; }
  AnsiString GetInitialDir() const { return initialDir_; }
  void SetInitialDir(const AnsiString& d) { initialDir_ = d; }
  AnsiString GetDefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const AnsiString& e) { defaultExt_ = e; }
  TOpenOptions GetOptions() const { return options_; }
  void SetOptions(const TOpenOptions& o) { options_ = o; }

  VCL_PROPERTY(TOpenDialog, AnsiString, Filter);
  VCL_PROPERTY(TOpenDialog, int, FilterIndex);
  VCL_PROPERTY(TOpenDialog, AnsiString, FileName);
  VCL_PROPERTY(TOpenDialog, AnsiString, InitialDir);
  VCL_PROPERTY(TOpenDialog, AnsiString, DefaultExt);
  VCL_PROPERTY(TOpenDialog, TOpenOptions, Options);

 protected:
  bool Run(bool save);

 private:
  AnsiString filter_, fileName_, initialDir_, defaultExt_;
  int filterIndex_ = 1;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
};

// Asks before it replaces a file unless ofOverwritePrompt is taken out of
// its Options.
class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) { SetOptions(GetOptions() << ofOverwritePrompt); }
  bool Execute() override { return Run(true); }
};

enum TFontDialogOption { fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist,
                         fdNoFaceSel, fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts,
                         fdShowHelp, fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton };
typedef vcl::EnumSet<TFontDialogOption> TFontDialogOptions;
typedef std::function<void(TObject* Sender, HWND Wnd)> TFDApplyEvent;

// Starts at Font; on OK (and at each Apply) Font is the chosen font, its
// colour from the dialog's colour button. An OnApply handler (or
// fdApplyButton) gives the dialog an Apply button.
class TFontDialog : public TCommonDialog {
 public:
  explicit TFontDialog(TComponent* owner);
  ~TFontDialog() override;
  bool Execute() override;
  TFont* GetFont() const { return font_.get(); }
  void SetFont(TFont* f) { font_->Assign(f); }
  TFontDialogOptions GetOptions() const { return options_; }
  void SetOptions(const TFontDialogOptions& o) { options_ = o; }
  VCL_PROPERTY(TFontDialog, TFont*, Font);
  VCL_PROPERTY(TFontDialog, TFontDialogOptions, Options);
  TFDApplyEvent OnApply;

 private:
  std::unique_ptr<TFont> font_;
  TFontDialogOptions options_{fdEffects};
};

