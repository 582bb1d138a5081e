#include "platform/vcl/filectrl.h"

#include <cctype>

#include "platform/fs/drives.h"

namespace {
AnsiString DriveText(char letter) { return AnsiString(1, letter) + ":"; }
}  // namespace

TDriveComboBox::TDriveComboBox(TComponent* owner) : TComboBox(owner) {
  SetStyle(csDropDownList);
  drive_ = CurrentDrive();
  ReadDrives();
}

void TDriveComboBox::ReadDrives() {
  TStrings* items = GetItems();
  items->Clear();
  for (char letter : MappedDrives()) items->Add(DriveText(letter));
  SetItemIndex(items->IndexOf(DriveText(drive_)));
}

void TDriveComboBox::DroppingDown() { ReadDrives(); }

void TDriveComboBox::SetDrive(char letter) {
  letter = char(std::toupper(static_cast<unsigned char>(letter)));
  const int at = GetItems()->IndexOf(DriveText(letter));
  if (at < 0) {
    // A drive made since the list was read counts too.
    ReadDrives();
    if (GetItems()->IndexOf(DriveText(letter)) < 0) return;
  }
  SetItemIndex(GetItems()->IndexOf(DriveText(letter)));
  if (letter == drive_) return;
  drive_ = letter;
  Change();
}

// A person choosing the drive shown again means it too: the folder list
// goes back to its root.
void TDriveComboBox::Chosen(int i) {
  if (i < 0 || i >= GetItems()->GetCount()) return;
  const char letter = GetItems()->Get(i)[0];
  if (letter == drive_)
    Change();
  else
    SetDrive(letter);
}
