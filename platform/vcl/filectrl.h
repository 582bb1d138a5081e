// Controls that show the drives and folders of the file system.
#pragma once
#include "platform/vcl/combo_boxes.h"

// The mapped drives ("C:", "D:" ...; platform/fs/drives.h), upper case, in
// order; the list is read again each time it drops down. Drive is the
// chosen letter, upper case, at first CurrentDrive(); setting a letter that
// is not a mapped drive leaves the box as it was. OnChange runs whenever
// Drive changes, and when a person chooses the drive shown again.
class TDriveComboBox : public TComboBox {
 public:
  explicit TDriveComboBox(TComponent* owner);

  char GetDrive() const { return drive_; }
  void SetDrive(char letter);
  VCL_PROPERTY(TDriveComboBox, char, Drive);

 protected:
  void DroppingDown() override;
  void Chosen(int i) override;

 private:
  void ReadDrives();
  char drive_ = 0;
};
