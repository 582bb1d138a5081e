// The source's own dialog, shown when the application enables it with its
// user interface: resolution, pixel type, a Scan and a Cancel button. The
// settings go to the device when Scan is pressed.
#pragma once
#include "platform/twain_dsm/backend.h"

#include <functional>
#include <string>

class QDialog;

namespace twain_dsm {

class ScanDialog {
 public:
  // `titleGbk` names the source. Scan applies the settings and calls
  // onScan; Cancel, Escape and closing the window call onCancel.
  ScanDialog(const std::string& titleGbk, Device* device, bool modal, std::function<void()> onScan,
             std::function<void()> onCancel);
  ~ScanDialog();
  ScanDialog(const ScanDialog&) = delete;
  ScanDialog& operator=(const ScanDialog&) = delete;

  void Show();
  void Hide();
  // While a picture is read: the settings and Scan are locked.
  void SetBusy(bool busy);

 private:
  QDialog* dialog_;
};

}  // namespace twain_dsm
