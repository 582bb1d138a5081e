// The save dialog, over the layer's file dialog (win::RunFileDialog, which
// tests answer and log as they do message boxes: platform/win/file_dialog.h).
// Filter is "text|mask[;mask]|text|mask...", one entry per pair, the first
// one shown. InitialDir is the folder it opens in, FileName the name offered
// there, and after OK the chosen file; an existing file is only replaced
// after the dialog's own question. Paths are the system's (GBK).
#pragma once
#include "platform/vcl/classes.h"

class TSaveDialog : public TComponent {
 public:
  explicit TSaveDialog(TComponent* owner) : TComponent(owner) {}

  // Modal; true when a file name was chosen.
  bool Execute();

  AnsiString GetFilter() const { return filter_; }
  void SetFilter(const AnsiString& f) { filter_ = f; }
  AnsiString GetFileName() const { return fileName_; }
  void SetFileName(const AnsiString& f) { fileName_ = f; }
  AnsiString GetInitialDir() const { return initialDir_; }
  void SetInitialDir(const AnsiString& d) { initialDir_ = d; }
  AnsiString GetTitle() const { return title_; }
  void SetTitle(const AnsiString& t) { title_ = t; }

  VCL_PROPERTY(TSaveDialog, AnsiString, Filter);
  VCL_PROPERTY(TSaveDialog, AnsiString, FileName);
  VCL_PROPERTY(TSaveDialog, AnsiString, InitialDir);
  VCL_PROPERTY(TSaveDialog, AnsiString, Title);

 private:
  AnsiString filter_, fileName_, initialDir_, title_;
};
