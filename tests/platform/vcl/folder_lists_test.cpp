// The folder and file list boxes over the mapped drives, on a real X server;
// folders are opened with real X input.
#include <QDir>
#include <QFile>
#include <QListWidget>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/vcl/folder_lists.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

// A file or folder on drive C, made on disk ("pics/a.png"; a trailing '/'
// makes a folder).
void MakeOnC(const std::string& path) {
  const QString full = QString::fromStdString(winpath::DrivesRoot() + "/C/") + gbk::ToQString(path);
  if (path.back() == '/') {
    QDir().mkpath(full);
    return;
  }
  QDir().mkpath(QFileInfo(full).path());
  QFile f(full);
  f.open(QIODevice::WriteOnly);
  f.write("x");
}

std::vector<std::string> Texts(TStrings* s) {
  std::vector<std::string> out;
  for (int i = 0; i < s->Count; ++i) out.push_back(s->Get(i));
  return out;
}

class FolderLists : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    form = new TForm(Application);
    form->BorderStyle = bsNone;
    form->SetBounds(100, 100, 420, 260);
    for (const char* p : {"pics/b.JPG", "pics/a.png", "pics/c.txt", "pics/d.jpeg", "pics/e.gif.bak", "pics/sub/",
                          "pics/Old/", "pics/sub/x.bmp", "图片/照片.png", "图片/琝/y.png"})
      MakeOnC(p);
    dirs = new TDirectoryListBox(form);
    dirs->Parent = form;
    dirs->SetBounds(8, 8, 180, 240);
    files = new TFileListBox(form);
    files->Parent = form;
    files->SetBounds(200, 8, 200, 240);
    files->Mask = "*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff;*.gif";
    dirs->FileList = files;
  }
  void TearDown() override { delete form; }

  TForm* form = nullptr;
  TDirectoryListBox* dirs = nullptr;
  TFileListBox* files = nullptr;
};

}  // namespace

TEST_F(FolderLists, TheFolderListShowsThePathThenTheSubfoldersAndDrivesTheFileList) {
  std::vector<std::string> changes;
  dirs->OnChange = [&](TObject*) { changes.push_back(dirs->Directory); };
  dirs->Directory = "c:\\pics\\";
  EXPECT_EQ(dirs->Directory, "C:\\pics");
  EXPECT_EQ(dirs->Drive, 'C');
  EXPECT_EQ(Texts(dirs->Items), (std::vector<std::string>{"C:\\", "pics", "Old", "sub"}));
  EXPECT_EQ(dirs->ItemIndex, 1);  // the open folder
  EXPECT_EQ(dirs->GetItemPath(0), "C:\\");
  EXPECT_EQ(dirs->GetItemPath(1), "C:\\pics");
  EXPECT_EQ(dirs->GetItemPath(3), "C:\\pics\\sub");
  EXPECT_EQ(dirs->GetItemPath(4), "");
  // The pictures only, in name order, whatever the case of their extension.
  EXPECT_EQ(files->Directory, "C:\\pics");
  EXPECT_EQ(Texts(files->Items), (std::vector<std::string>{"a.png", "b.JPG", "d.jpeg"}));
  EXPECT_EQ(changes, std::vector<std::string>{"C:\\pics"});

  // A folder that does not exist changes nothing.
  dirs->Directory = "C:\\pics\\none";
  EXPECT_EQ(dirs->Directory, "C:\\pics");
  EXPECT_EQ(changes.size(), 1u);

  // Opening the selected item: a subfolder, then the root above.
  dirs->ItemIndex = 3;
  dirs->OpenCurrent();
  EXPECT_EQ(dirs->Directory, "C:\\pics\\sub");
  EXPECT_EQ(Texts(files->Items), std::vector<std::string>{"x.bmp"});
  dirs->ItemIndex = 0;
  dirs->OpenCurrent();
  EXPECT_EQ(dirs->Directory, "C:\\");
  EXPECT_EQ(Texts(dirs->Items), (std::vector<std::string>{"C:\\", "pics", "图片"}));
  EXPECT_TRUE(files->Items->Count == 0);

  // Chinese names, and the selected file with its folder.
  dirs->Directory = "C:\\图片";
  EXPECT_EQ(Texts(files->Items), std::vector<std::string>{"照片.png"});
  files->ItemIndex = 0;
  EXPECT_EQ(files->FileName, "C:\\图片\\照片.png");
  files->ItemIndex = -1;
  EXPECT_EQ(files->FileName, "");
  // A name whose second byte is a '\\' is one name, not two.
  EXPECT_EQ(Texts(dirs->Items), (std::vector<std::string>{"C:\\", "图片", "琝"}));
  dirs->ItemIndex = 2;
  dirs->OpenCurrent();
  EXPECT_EQ(dirs->Directory, "C:\\图片\\琝");
  EXPECT_EQ(Texts(dirs->Items), (std::vector<std::string>{"C:\\", "图片", "琝"}));
  EXPECT_EQ(dirs->ItemIndex, 2);
  EXPECT_EQ(dirs->GetItemPath(1), "C:\\图片");
  EXPECT_EQ(Texts(files->Items), std::vector<std::string>{"y.png"});
}

TEST_F(FolderLists, AFolderIsOpenedByADoubleClickAndTheDriveByItsLetter) {
  dirs->Directory = "C:\\pics";
  form->Show();
  ASSERT_TRUE(test::Shown(form));
  const QRect row = dirs->Inner()->visualItemRect(dirs->Inner()->item(3));  // "sub"
  const QPoint at = dirs->Inner()->viewport()->mapToGlobal(row.center());
  ASSERT_TRUE(test::XdoWhileRunning("mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y()) +
                                    " click --repeat 2 --delay 80 1"));
  EXPECT_TRUE(test::WaitFor([this] { return dirs->Directory == "C:\\pics\\sub"; }));

  QDir().mkpath(QString::fromStdString(winpath::DrivesRoot() + "/D/lessons"));
  dirs->Drive = 'd';
  EXPECT_EQ(dirs->Directory, "D:\\");
  EXPECT_EQ(Texts(dirs->Items), (std::vector<std::string>{"D:\\", "lessons"}));
  dirs->Drive = 'Q';  // no such drive
  EXPECT_EQ(dirs->Directory, "D:\\");
}

TEST(MatchesMask, WildcardsIgnoringCase) {
  const struct {
    const char* name;
    const char* mask;
    bool match;
  } cases[] = {
      {"a.PNG", "*.png", true},      {"a.png.bak", "*.png", false}, {"a.tif", "*.bmp;*.tif", true},
      {"a.tiff", "*.bmp; *.tiff", true}, {"noext", "*.*", true},      {"abc.txt", "a?c.*", true},
      {"照片.jpg", "??.jpg", true},   {"x.jpg", "", false},          {"x.jpeg", "*.jpg", false},
  };
  for (const auto& c : cases) EXPECT_EQ(vcl::MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
  EXPECT_EQ(vcl::JoinPath("C:\\", "a"), "C:\\a");
  EXPECT_EQ(vcl::JoinPath("C:\\pics", "a"), "C:\\pics\\a");
}
