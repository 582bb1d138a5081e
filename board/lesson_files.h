// A teacher's lessons on disk: the board's pages saved under a teacher, a
// volume and a lesson, and opened again into the page store. The lesson
// manager's open and save buttons (TForm6::SpeedButton1Click,
// SpeedButton2Click) run them.
//
// The data folder of a drive D is D + ":\Program files\Quarvel\data\". It
// holds the index "datb.sec", an INI file with one section per lesson key
// and in it pag = the lesson's number of pages, and three files per page
// named by the page's base name, data folder + lesson key + page number:
//   ".pte"  the page's picture, a PNG of the screen's size;
//   ".sec"  INI, section "edit": vis = the page's panel kind, left, top,
//           width, height = its panel's rectangle;
//   ".te"   a copy of the page's note (the program folder's file named by
//           the page number), when the page has one.
// The lesson key is the teacher's name, the volume and the lesson joined
// without separators, as the lessons the program stored on Windows have
// them, so that those open unchanged: volume 1 lesson 12 and volume 11
// lesson 2 share one key, and so do lesson 1 page 12 and lesson 11 page 2;
// the later save overwrites the other's files.
//
// A save writes every file of every page and the index under temporary
// names first, and puts them in place all together (file_batch.h) only when
// all are complete: a save that fails or is killed before that leaves the
// lesson as it was; one killed or failing later has the new lesson put in
// place at the next start or the next open or save in that folder. The
// pictures are encoded and decoded on worker threads, one page each at a
// time. A picture that does not decode completely leaves its page plain, a
// note that is neither rich text nor GBK text is not taken, and the open
// names those pages.
#pragma once
#include <string>

// D + ":\Program files\Quarvel\data\".
std::string LessonDataFolder(char drive);
// Finishes or clears what saves killed half way left in the data folders of
// all drives (at start-up).
void RecoverLessonFolders();
