// The open dialog, over the layer's file dialog (win::RunFileDialog, which
// tests answer and log as they do message boxes: platform/win/file_dialog.h).
// Filter is "text|mask[;mask]|text|mask...", one entry per pair, the first
// one shown; masks match names ignoring case, as on the system the programs
// come from. InitialDir is the folder it opens in, FileName the name offered
// there, and after OK the chosen file. Paths are the system's (GBK).
#pragma once
#include "platform/vcl/classes.h"

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}

  // Modal; true when a file was chosen.
  bool Execute();

  AnsiString GetFilter() const { return filter_; }
  void SetFilter(const AnsiString& f) { filter_ = f; }
  AnsiString GetFileName() const { return fileName_; }
  void SetFileName(const AnsiString& f) { fileName_ = f; }
  AnsiString GetInitialDir() const { return initialDir_; }
  void SetInitialDir(const AnsiString& d) { initialDir_ = d; }
  AnsiString GetTitle() const { return title_; }
  void SetTitle(const AnsiString& t) { title_ = t; }

  VCL_PROPERTY(TOpenDialog, AnsiString, Filter);
  VCL_PROPERTY(TOpenDialog, AnsiString, FileName);
  VCL_PROPERTY(TOpenDialog, AnsiString, InitialDir);
  VCL_PROPERTY(TOpenDialog, AnsiString, Title);

 private:
  AnsiString filter_, fileName_, initialDir_, title_;
};
