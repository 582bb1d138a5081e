// The engine's module state behind the On_ exports, and the routines the
// exports share: context validation, the character step and the outline
// pool. One engine per loaded library. The host is to call the exports
// from one thread; each export holds the module lock all the same, so that
// a second thread waits instead of corrupting the module's state. Fill
// threads never take it: they touch only their outline and post messages,
// so an export that waits for fills to end holds it without deadlock.
#pragma once
#include <memory>
#include <mutex>
#include <vector>

#include "merrodataengine/api/engine_context.h"
#include "merrodataengine/dictionary/data_files.h"
#include "merrodataengine/dictionary/record_map.h"
#include "merrodataengine/dictionary/text_map.h"
#include "merrodataengine/outline/out_line.h"

class CFreeButton;

namespace engine {

// The maps On_Init_Search builds and On_UnInit_Search releases.
struct SearchMaps {
  std::unique_ptr<CMerroRecordMap> strokeCounts;  // character -> stroke count record
  std::unique_ptr<CMerroMap> index;               // "%d" ordinal -> character
  std::unique_ptr<CMerroTextMap> pinyin, radical; // character -> text
};

struct Module {
  int started = 0;
  int token = -1;             // of the running start; kept by On_Exit
  int largestPoolSize = 0;    // the largest pool size any call has passed
  std::vector<std::unique_ptr<COutLine>> outlines;  // index = pool index
  std::vector<std::unique_ptr<CMerroRecordMap>> soundMaps;  // in creation order
  DataFiles data;
  SearchMaps search;
  // The stroke windows of the last On_Create_Stroke_wnd: an array new[]
  // block of buttons, released with delete[] (which destroys the windows),
  // on the host's thread. A plain pointer, so that a process that ends
  // without On_Exit does not destroy windows after its GUI has gone.
  CFreeButton* strokeButtons = nullptr;
};
Module& State();

// The module lock (recursive: exports call each other), held by every
// export for its whole run.
std::recursive_mutex& ModuleLock();
struct ExportLock {
  std::lock_guard<std::recursive_mutex> guard{ModuleLock()};
};

// 1 when the context passes every check, in order: engine started, nZero 0,
// token, nActive, strRequired2, strRequired3, nState 1, strRequired1,
// strCurrentDir, nPoolSize 1 to kMaxPoolSize. 0 for a null context.
int On_Is_Valid_Context(const EngineContext* context);
// The host's current parameter block; NULL when it has none.
EngineParams* Params(const EngineContext* context);

// The character step: the index record of `character`, an outline of the
// pool (pool index `index`, negative for any idle one) and the character
// loaded into it (unless it is busy or holds it already). NULL when the
// character is not found or no outline is available.
COutLine* On_Character_Outline(const EngineContext* context, const CString& character, int index);

// The pool: an idle outline of pool index `index` (the pool grows to the
// largest size asked for), or for a negative index the first idle one (a
// new one when none is idle and the pool may still grow). NULL for a size
// below 1, an empty folder, an index not below the size, or when the
// outline is busy or cannot be made.
COutLine* On_Get_Free_OutLine(int size, CString folder, int index);
// Appends a new outline reading its stroke files from `folder`; 0 when it
// cannot be made.
int On_New_OutLine(CString folder);
// Sets every pooled outline's exit flag and waits until none is busy.
void On_Stop_All_OutLine();
// Stops and destroys every pooled outline.
void On_Free_OutLine_Pool();

// Destroys the stroke windows, if there are any.
void On_Free_Stroke_Buttons();

// The sound-map pool: an idle sound map, or a new one loaded from
// "<folder>\src_hz_wave.dat" while the pool holds fewer than `size`. NULL
// for a size below 1, an empty folder, or a full pool of busy maps.
CMerroRecordMap* On_Get_Wave_Map(int size, CString folder);
// Sets every sound map's stop flag and waits until none is busy.
void On_Stop_All_Map();
// Stops and destroys every sound map.
void On_Free_Map_Pool();

// The text of `character` in a text dictionary of the start (pinyin,
// English, radical). 0, *out untouched, when the character is not one of
// GB2312 or the dictionary has no text for it. The folder is not read: the
// dictionaries are in memory from the start on.
int On_Read_Pinyin(CString folder, CString character, CString* out);
int On_Read_English(CString folder, CString character, CString* out);
int On_Read_Ppbs(CString folder, CString character, CString* out);

}  // namespace engine
