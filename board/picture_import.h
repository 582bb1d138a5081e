// The picture-folder import TForm12 (Unit12) and the gallery's small
// settings bar TForm13 (Unit13). The import turns every picture file of a
// folder, or one chosen file, into a 100 x 100 thumbnail in a row of the
// board's tall gallery picture Image26, and keeps the picture's full path
// as the item of the hidden ListBox1 with the same number as the row.
#pragma once
#include "platform/vcl/buttons.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/filectrl.h"
#include "platform/vcl/folder_lists.h"
#include "platform/vcl/forms.h"

// Rows of Image26: a 100 x 100 thumbnail and a 5-pixel gap each, room for
// 1000 of them; a folder import takes at most 999.
constexpr int kThumbnailSide = 100;
constexpr int kThumbnailRow = 105;
constexpr int kThumbnailRows = 1000;
constexpr int kFolderImportLimit = 999;

class TForm12 : public TForm {
 public:
  explicit TForm12(TComponent* owner);

  TDriveComboBox* DriveComboBox1;
  TDirectoryListBox* DirectoryListBox1;
  TFileListBox* FileListBox1;
  TBitBtn* BitBtn1;  // "浏览": one chosen file
  TBitBtn* BitBtn2;  // "导入": the whole folder
  TCheckBox* CheckBox1;  // "默认文件夹"
  TBitBtn* BitBtn3;  // "确定"
  TListBox* ListBox1;  // hidden: the path of thumbnail n as item n
  TOpenDialog* OpenPictureDialog1;

  void BitBtn2Click(TObject* Sender);  // also the gallery's "其它" tab
  void BitBtn1Click(TObject* Sender);
  void BitBtn3Click(TObject* Sender);
  void DirectoryListBox1Click(TObject* Sender);

  // The thumbnail of a picture file, fitted into the square and centred,
  // into row `row` of Image26's picture. A file that is no picture gets an
  // empty row (in the window colour), so no older thumbnail shows there;
  // false then.
  bool ThumbnailInto(const AnsiString& path, int row);

 private:
  void BuildForm();
};

class TForm13 : public TForm {
 public:
  explicit TForm13(TComponent* owner);

  TSpeedButton* SpeedButton1;  // "设置"
  void SpeedButton1Click(TObject* Sender);
};

extern TForm12* Form12;
extern TForm13* Form13;
