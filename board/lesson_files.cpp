// The lesson manager's open and save: the page store to and from the data
// folder's files.
#include "board/lesson_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "board/board.h"
#include "board/lessons.h"
#include "platform/fs/file_batch.h"
#include "platform/fs/files.h"
#include "platform/fs/folders.h"
#include "platform/fs/ini_text.h"
#include "platform/fs/inifile.h"
#include "platform/gdiplus/png_encoder.h"
#include "platform/text/gbk.h"
#include "platform/vcl/rtf.h"

namespace {

const char kIndexFile[] = "datb.sec";
const char kPanelSection[] = "edit";

// A page's text panel as its ".sec" file holds it.
struct PanelRecord {
  int kind = 0;
  int left = 0, top = 40, width = 368, height = 0;
};

const struct PanelKey {
  const char* key;
  int PanelRecord::*field;
} kPanelKeys[] = {{"vis", &PanelRecord::kind},
                  {"left", &PanelRecord::left},
                  {"top", &PanelRecord::top},
                  {"width", &PanelRecord::width},
                  {"height", &PanelRecord::height}};

std::string PageBase(const std::string& folder, const std::string& key, int page) {
  return folder + key + IntToStr(page);
}

// The program folder's note of a page.
std::string NoteFile(const std::string& programFolder, int page) { return programFolder + IntToStr(page); }

// Runs job(i) for i = 1..count on worker threads and hands each result to
// take(i, result) on the calling thread, in the order of i, as soon as it
// and those before it are there. A job that throws gives a default Result.
template <class Result, class Job, class Take>
void InOrder(int count, Job job, Take take) {
  if (count < 1) return;
  std::vector<std::optional<Result>> results(size_t(count) + 1);
  std::mutex m;
  std::condition_variable ready;
  std::atomic<int> next{1};
  const int workers = std::clamp(int(std::thread::hardware_concurrency()), 1, std::min(count, 16));
  std::vector<std::thread> threads;
  // Joined however this ends (a take that throws too).
  struct Joined {
    std::vector<std::thread>& threads;
    ~Joined() {
      for (std::thread& t : threads) t.join();
    }
  } joined{threads};
  for (int w = 0; w < workers; ++w)
    threads.emplace_back([&] {
      for (int i; (i = next++) <= count;) {
        Result r{};
        try {
          r = job(i);
        } catch (...) {
        }
        std::lock_guard<std::mutex> lock(m);
        results[size_t(i)] = std::move(r);
        ready.notify_one();
      }
    });
  for (int i = 1; i <= count; ++i) {
    std::optional<Result> r;
    {
      std::unique_lock<std::mutex> lock(m);
      ready.wait(lock, [&] { return results[size_t(i)].has_value(); });
      r.swap(results[size_t(i)]);
    }
    take(i, *r);
  }
}

// ---- saving ----

// One page's files, complete and on disk under temporary names; the save's
// batch puts them in place.
struct PageFiles {
  std::unique_ptr<FileReplacement> picture, panel, note;  // no note: the page has none
  bool written = false;
};

// Written and finished on a worker, so that the pages' encoding and their
// flushes to disk run side by side.
bool Finished(const std::unique_ptr<FileReplacement>& f, const void* data, size_t size) {
  return f->Write(data, size) && f->Finish();
}

PageFiles WritePage(const std::string& base, const gdi::Bitmap& pixels, const PanelRecord& record,
                    const std::string& noteFile) {
  PageFiles f;
  std::string png;
  if (Gdiplus::EncodePng(pixels, &png) != Gdiplus::Ok) return f;
  f.picture = std::make_unique<FileReplacement>(base + ".pte");
  if (!Finished(f.picture, png.data(), png.size())) return f;

  // The panel's keys go into what the file holds already, as an INI file
  // is written; a file that is there but cannot be read is not replaced.
  const std::string secName = base + ".sec";
  const std::optional<std::string> old = ReadWholeFile(secName);
  if (!old && FileExists(secName)) return f;
  IniText sec(old.value_or(std::string()));
  for (const PanelKey& k : kPanelKeys) sec.Set(kPanelSection, k.key, std::to_string(record.*k.field));
  const std::string text = sec.Bytes();
  f.panel = std::make_unique<FileReplacement>(secName);
  if (!Finished(f.panel, text.data(), text.size())) return f;

  if (const std::optional<std::string> note = ReadWholeFile(noteFile)) {
    f.note = std::make_unique<FileReplacement>(base + ".te");
    if (!Finished(f.note, note->data(), note->size())) return f;
  }
  f.written = true;
  return f;
}

// The index with the lesson's page count; nothing when the index is there
// but cannot be read (it is never replaced then).
std::unique_ptr<FileReplacement> WriteIndex(const std::string& folder, const std::string& key, int count) {
  const std::string name = folder + kIndexFile;
  const std::optional<std::string> old = ReadWholeFile(name);
  if ((!old && FileExists(name)) || !IniText::CanHoldSection(key)) return nullptr;
  IniText index(old.value_or(std::string()));
  index.Set(key, "pag", std::to_string(count));
  const std::string text = index.Bytes();
  auto f = std::make_unique<FileReplacement>(name);
  return Finished(f, text.data(), text.size()) ? std::move(f) : nullptr;
}

void ShowPage(int page) {
  if (Form3->Pages[page]) Form3->Canvas->Draw(0, 0, Form3->Pages[page].get());
}

// While a lesson is saved the board shows the page being saved, but no
// more than ten pages a second: each is a redraw of the whole screen, which
// would take longer than the saving itself.
class SaveProgress {
 public:
  void Show(int page) {
    Form3->Edit2->Text = IntToStr(page);
    const auto now = std::chrono::steady_clock::now();
    if (page != 1 && now - shown_ < std::chrono::milliseconds(100)) return;
    shown_ = now;
    ShowPage(page);
  }

 private:
  std::chrono::steady_clock::time_point shown_;
};

// ---- opening ----

// A note as the panel keeps it: rich text (a stream cut short reads as far
// as it goes), or plain GBK text of printable characters and line ends.
bool IsNote(const std::string& bytes) {
  if (vcl::rtf::IsRtf(bytes)) return true;
  const QString text = gbk::ToQString(bytes);
  for (const QChar c : text)
    if (c == QChar(0xFFFD) || (c.unicode() < 0x20 && c != '\t' && c != '\r' && c != '\n') || c.unicode() == 0x7F)
      return false;
  return true;
}

struct LoadedPage {
  gdi::Bitmap pixels;
  bool picture = false;  // the page's picture was read
  // There is a picture that does not decode, a note that is neither rich
  // text nor GBK text.
  bool badPicture = false, badNote = false;
  PanelRecord panel;
};

// A page of the screen's size in the background colour with the page's
// picture drawn on it at its natural size (a picture that is missing or
// does not decode completely leaves the plain page); its panel; its note
// copied into the program folder, or a note there of the page before
// removed.
LoadedPage ReadPage(const std::string& base, int width, int height, COLORREF background,
                    const std::string& noteFile) {
  LoadedPage p;
  p.pixels.SetSize(width, height, background);
  Gdiplus::Image picture(base + ".pte");
  gdi::DC dc(&p.pixels);
  p.picture = Gdiplus::Graphics(&dc).DrawImage(&picture, 0, 0) == Gdiplus::Ok;
  p.badPicture = picture.GetLastStatus() != Gdiplus::Ok && picture.GetLastStatus() != Gdiplus::FileNotFound;

  const TIniFile sec(base + ".sec");
  p.panel.height = height - 40;
  for (const PanelKey& k : kPanelKeys) p.panel.*k.field = sec.ReadInteger(kPanelSection, k.key, p.panel.*k.field);
  if (p.panel.kind < 0 || p.panel.kind > 2) p.panel.kind = 0;

  const std::optional<std::string> note = ReadWholeFile(base + ".te");
  p.badNote = note && !IsNote(*note);
  if (!note || p.badNote || !WriteWholeFile(noteFile, *note)) DeleteFile(noteFile);
  return p;
}

// What the lesson's pages held that could not be read, a line for pictures
// and one for notes: "第2、5页的图像无法读取！".
std::string Unreadable(const std::vector<int>& pictures, const std::vector<int>& notes) {
  std::string text;
  for (const auto& [pages, what] : {std::pair{&pictures, "图像"}, std::pair{&notes, "注释"}}) {
    if (pages->empty()) continue;
    std::string list;
    for (int n : *pages) list += (list.empty() ? "" : "、") + IntToStr(n);
    text += (text.empty() ? "" : "\n") + ("第" + list + "页的" + what + "无法读取！");
  }
  return text;
}

}  // namespace

void RecoverLessonFolders() {
  for (char drive = 'A'; drive <= 'Z'; ++drive)
    if (DirectoryExists(LessonDataFolder(drive))) RecoverFileBatches(LessonDataFolder(drive));
}

std::string LessonDataFolder(char drive) { return std::string(1, drive) + ":\\Program files\\Quarvel\\data\\"; }

void TForm6::SpeedButton2Click(TObject*) {
  if (!CheckUnlocked()) return;
  DataFolder = LessonDataFolder(DriveComboBox1->Drive);
  if (!ForceDirectories(DataFolder)) return ShowPlainMessage("课程保存失败！");
  // What the workers need, so that they touch no form.
  const std::string folder = DataFolder, key = LessonKey(), notes = Form3->ProgramFolder;
  TForm3* board = Form3;
  const int count = std::clamp(board->PageCount, 0, kMaxPages);
  // The pages as they are now, shared with the store, not copied.
  std::vector<gdi::Bitmap> pixels(size_t(count) + 1);
  std::vector<PanelRecord> panels(size_t(count) + 1);
  for (int n = 1; n <= count; ++n) {
    if (board->Pages[n]) pixels[size_t(n)] = board->Pages[n]->Pixels();
    panels[size_t(n)] = {board->PanelKind(n), board->PanelLeft[n], board->PanelTop[n], board->PanelWidth[n],
                         board->PanelHeight[n]};
  }
  // What a save killed earlier left is put right first; a journal that
  // cannot be carried out would later undo this save.
  if (!RecoverFileBatches(folder)) return ShowPlainMessage("课程保存失败！");
  Hide();

  std::vector<PageFiles> files(size_t(count) + 1);
  bool saved = true;
  SaveProgress progress;
  InOrder<PageFiles>(
      count,
      [&](int n) {
        return WritePage(PageBase(folder, key, n), pixels[size_t(n)], panels[size_t(n)], NoteFile(notes, n));
      },
      [&](int n, PageFiles& f) {
        saved = saved && f.written;
        files[size_t(n)] = std::move(f);
        progress.Show(n);
      });
  // Only a lesson complete under temporary names replaces the old one, all
  // its files at once: a program killed while they are put in place has
  // them put in place at its next start (or the lesson's next open or save).
  std::unique_ptr<FileReplacement> index;
  if (saved) index = WriteIndex(folder, key, count);
  saved = saved && index;
  if (saved) {
    FileBatch batch(folder);
    for (int n = 1; n <= count; ++n) {
      PageFiles& f = files[size_t(n)];
      for (FileReplacement* r : {f.picture.get(), f.panel.get(), f.note.get()})
        if (r) batch.Replace(r);
      // A page without a note keeps no note of an earlier save of this name.
      if (!f.note) batch.Remove(PageBase(folder, key, n) + ".te");
    }
    batch.Replace(index.get());
    saved = batch.Commit();
  }
  files.clear();

  board->Edit2->Text = IntToStr(board->CurrentPage);
  ShowPage(board->CurrentPage);
  if (!saved) {
    ShowPlainMessage("课程保存失败！");
    Show();
    return;
  }
  Close();
}

void TForm6::SpeedButton1Click(TObject*) {
  if (!CheckUnlocked()) return;
  DataFolder = LessonDataFolder(DriveComboBox1->Drive);
  // A save killed half way is finished before anything is read.
  RecoverFileBatches(DataFolder);
  const std::string key = LessonKey();
  const TIniFile index(DataFolder + kIndexFile);
  // A lesson the index does not hold is missing as much as the index.
  const int pages = FileExists(index.FileName()) ? index.ReadInteger(key, "pag", 0) : 0;
  if (pages < 1) return ShowPlainMessage("系统找不到指定的文件！");
  TForm3* board = Form3;
  const std::string folder = DataFolder, notes = board->ProgramFolder;
  const int count = std::min(pages, kMaxPages);
  const int width = Screen->Width, height = Screen->Height;
  const COLORREF background = ColorToRGB(board->RCP->Color);
  Hide();

  std::vector<int> badPictures, badNotes;
  InOrder<LoadedPage>(
      count,
      [&](int n) { return ReadPage(PageBase(folder, key, n), width, height, background, NoteFile(notes, n)); },
      [&](int n, LoadedPage& p) {
        auto page = std::make_unique<TBitmap>();
        page->SetImage(p.pixels.Image());
        board->Pages[n] = std::move(page);
        // A page that could not be made whole (no memory) is a plain one.
        if (board->Pages[n]->Width != width || board->Pages[n]->Height != height) {
          board->Pages[n]->SetSize(width, height);
          board->FillPage(n, board->RCP->Color);
          p.picture = false;
        }
        if (p.badPicture) badPictures.push_back(n);
        if (p.badNote) badNotes.push_back(n);
        board->SetPanelKind(n, p.panel.kind);
        board->PageState[n] = p.picture ? 2 : 1;
        board->PanelOnPage[n] = 0;
        board->PanelLeft[n] = p.panel.left;
        board->PanelTop[n] = p.panel.top;
        board->PanelWidth[n] = p.panel.width;
        board->PanelHeight[n] = p.panel.height;
        board->Edit2->Text = IntToStr(n);
      });
  // The pages above the lesson's are no part of it any more: they start
  // afresh when the board turns to them, without a note of their own.
  for (int n = count + 1; n <= kMaxPages; ++n) {
    board->PageState[n] = 0;
    board->SetPanelKind(n, 0);
    board->PanelOnPage[n] = 0;
    DeleteFile(NoteFile(notes, n));
  }
  board->PageCount = count;
  board->CurrentPage = std::min(board->CurrentPage, count);
  board->LayerActive = 0;
  board->ScrollBar1->Max = count;
  board->InvalidateUndo();

  board->Edit2->Text = IntToStr(board->CurrentPage);
  ShowPage(board->CurrentPage);
  // A text note comes back with its page; a web or media view is no part of
  // a lesson and stays hidden.
  if (board->PanelKind(board->CurrentPage) == 1) {
    board->ArrivePanel(board->CurrentPage);
  } else {
    board->Panel4->Hide();
    board->RichEdit1->Lines->Clear();
  }
  Close();
  if (!badPictures.empty() || !badNotes.empty()) ShowPlainMessage(Unreadable(badPictures, badNotes));
}
