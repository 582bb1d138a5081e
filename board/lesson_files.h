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
// A save writes every file of every page under a temporary name first, puts
// them in place only when all are complete, and the index entry last: a
// save that fails, or a program killed during one, leaves the lesson as it
// was before (or, killed while the files are put in place, each file whole).
// The pictures are encoded and decoded on worker threads, one page each at
// a time.
#pragma once
#include <string>

// D + ":\Program files\Quarvel\data\".
std::string LessonDataFolder(char drive);
