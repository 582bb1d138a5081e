// The host's interface to MerroDataEngine: its context record, its
// parameter block and the On_ exports.
//
// Both records are the host's: it allocates, fills and owns them; the engine
// reads and writes their fields at each call and keeps no pointer to them.
// They hold the class library's CString objects, so host and engine share
// libplatform_mfc.so. Fields are in this order with their natural alignment;
// the engine addresses them by name only.
//
// Every export is a C function under its plain name, takes one context and
// returns 1 (done) or 0 (refused or failed); nothing is thrown. On_Init and
// On_Exit take any context; every other export first validates it (engine
// started, nZero 0, nToken the start's token, nActive not 0, strRequired2,
// strRequired3 and strRequired1 not empty, nState 1, strCurrentDir not
// empty, nPoolSize 1 to kMaxPoolSize) and returns 0 with no effect when
// that fails.
//
// Threads: the host calls the exports from one thread (its GUI thread).
// Each export holds one module lock for its whole run, so a call from a
// second thread waits for the one running; a fill runs on a thread of its
// own and does not hold it.
#pragma once
#include <cstdint>

#include "platform/mfc/cstring.h"

struct EngineParams;

// The largest pool of outlines a context may ask for; each pooled outline
// keeps a character and a picture of its own.
constexpr int kMaxPoolSize = 1024;

struct EngineContext {
  CString strDataFolder;  // folder of the data files, without trailing separator
  int nState;             // 1 while the engine runs for this context
  CString strRequired1;   // must not be empty
  CString strRequired2;   // must not be empty
  CString strRequired3;   // must not be empty; On_Exit empties it
  int nZero;              // must be 0
  CString strCurrentDir;  // the current folder, written by On_Init
  CString strReserved;    // not read
  int nActive;            // must not be 0
  int nToken;             // written by On_Init, -1 after On_Exit
  int nPoolSize;          // number of pooled outlines; 1 to kMaxPoolSize
  EngineParams** ppParams;  // the host's variable holding the current block, followed at every call
};

// General slots; each export gives some of them its meaning.
struct EngineParams {
  int nSlot00;
  int nSlot04;
  int nSlot08;
  int nSlot0C;
  double dSlot10;
  double dSlot18;
  double dSlot20;
  intptr_t pSlot28;  // a pointer (CWnd*, CDC*, RECT*, address of a CRgn*) or an int, by export
  int nSlot2C;
  int nSlot30;
  CString strSlot34;  // input text: one GB2312 character, or a pinyin syllable
  CString strSlot38;  // output text of lookups, or a file name, by export
  CString strSlot3C;
};

extern "C" {

// Starts the engine for the context (stopping it first when it runs, the
// context's required texts kept): nState 1, nZero 0, a new token,
// strCurrentDir; loads the voice image and the dictionary files of the data
// folder (missing ones stay empty). 0, context unchanged, when nZero is not 0.
int On_Init(EngineContext* context);
// Stops the engine: nState 0, nToken -1, strRequired3 and strCurrentDir
// emptied; the stroke buttons destroyed, every pooled object and loaded file
// released. Returns 1.
int On_Exit(EngineContext* context);
// Stops every fill of the pooled outlines and returns once none is busy.
int On_Set_Exit(EngineContext* context);
// nSlot04 := the number of pooled outlines.
int On_Get_OutLine_Count(EngineContext* context);
// Copies the pictures of the idle outlines among the first nPoolSize to the
// window pSlot28 (a CWnd*). 0 without a window.
int On_RePaint(EngineContext* context);
// Outline of pool index nSlot0C: fill delay := pSlot28 ms (an int), stroke
// delay := nSlot2C ms. 0 when that outline is not available.
int On_Set_Delay(EngineContext* context);
// The index record of the character strSlot34: pSlot28 := offset of its
// stroke record, nSlot2C := its length. 0 when it is not found.
int On_Get_Hanzi_PL(EngineContext* context);
// Builds the search maps from the data folder (the stroke-count file and
// the pinyin and radical dictionaries of the start), replacing earlier ones.
// No validation; returns 1.
int On_Init_Search(EngineContext* context);
// Releases the search maps. No validation; returns 1.
int On_UnInit_Search(EngineContext* context);
// strSlot38 := the pinyin, English gloss or radical text of the character
// strSlot34, "" when there is none. 1 once the context is valid.
int On_Get_Pinyin(EngineContext* context);
int On_Get_English(EngineContext* context);
int On_Get_Ppbs(EngineContext* context);
// Plays the pinyin syllable strSlot34 (tone 1 when it ends in no digit)
// from the voice image, returning once it has played. 0 without a voice
// image, for an invalid context, an empty syllable (after the message
// "拼音为空!") or when no sound map is available; otherwise 1, also when
// the syllable is not in the sound map.
int On_Sound_Pinyin(EngineContext* context);
// ---- strokes of a character ----
// Each loads the character strSlot34 into a pooled outline (the pool index
// named; negative: any idle outline) and answers from it. 0, block
// untouched, when the context is not valid, the character is not found or
// the outline is not available (a fill runs on it).

// nSlot04 (pool index) := the stroke count.
int On_Get_Strokes(EngineContext* context);
// 1 when stroke pSlot28 (an int, 1-based) exists. Pool index nSlot04.
int On_Get_Stroke_Name(EngineContext* context);
// dSlot10 := the scale that fits the character, with a margin, into the
// RECT that pSlot28 points to; it also becomes the outline's fill area.
// Pool index nSlot04. 0 without a RECT.
// Placement: drawing, regions and the fill put font point p at
// trunc(p * scale) + offset, so at scale s and offset (x, y) the character
// covers trunc(box.left * s) + x .. trunc(box.right * s) + x (box from
// On_Get_Rect), likewise in y. Boxes rarely start at 0, so at this scale
// the character may reach past the RECT: the fill's picture grows to hold
// it, but a host that wants it inside a W x H area picks
// s <= min((W - x) / box.right, (H - y) / box.bottom) for offsets x, y >= 0
// (the fill takes negative offsets as 0), or centres it for drawing and
// regions with x = (W - (box.right - box.left) * s) / 2 - box.left * s.
int On_Get_Scale(EngineContext* context);
// pSlot28 := the address of the outline's bounding box (a RECT in font
// units, 0..255), valid while that outline holds the character. Pool
// index nSlot04.
int On_Get_Rect(EngineContext* context);
// Paints stroke nSlot2C of whatever the outline of pool index nSlot04 holds
// (no character is loaded) in black into the CDC pSlot28, at the outline's
// scale and offset. 1 when it painted.
int On_Draw_Stroke(EngineContext* context);
// The region of stroke nSlot2C at scale dSlot10 (without offset) attached
// to the host's empty CRgn whose pointer pSlot28 points to; the host owns
// and deletes it. The outline (pool index nSlot0C) keeps the scale and the
// offset (nSlot04, nSlot08) for its drawing.
int On_Get_Stroke_Rgn(EngineContext* context);
// Starts the animated fill of the outline of pool index = the number
// strSlot34 begins with (0 for a character) on a thread of its own, with
// the whole block as its parameters: nSlot00 1 draws the outline first;
// strokes nSlot04 (<= 0: 1) to nSlot08 (<= 0: the last); offset nSlot0C,
// nSlot30 (negative: 0); scale dSlot10 (negative: 1.0); delays dSlot18 per
// swept line and dSlot20 per stroke in ms (negative: 10, 60); pSlot28 the
// CWnd that is drawn on and gets progress message WM_USER + 2000; nSlot2C
// the stroke colour; strSlot38 the background colour in decimal. 1 once
// the thread runs (the fill may still refuse and tell the window so). 0,
// nothing sent, before an On_Get_Scale has given the outline an area to
// fill. Strokes land where On_Draw_Stroke paints them at the same scale and
// offset. The window may be deleted during the fill: its messages are then
// dropped.
int On_Fill_Stroke(EngineContext* context);
// Writes the stroke-order strip as the BMP file strSlot38: cells pSlot28
// (an int) pixels high, background nSlot2C, strokes nSlot30. Pool index as
// for On_Fill_Stroke. 0 when there are no strokes, the box has no height,
// pSlot28 is not above 0, or the file cannot be written.
int On_Stroke_Order(EngineContext* context);
// One stroke button (CFreeButton) per stroke nSlot2C (0: 1) to nSlot30
// (0: the last; beyond the last: the last), children of the CWnd pSlot28,
// shaped and placed as the stroke's region at scale dSlot10 (not >= 0:
// 1.0) with the buttons' ids counting from 3029. The outline (pool index
// nSlot0C) keeps the scale and the offset (nSlot04, nSlot08; negative: 0).
// The buttons of an earlier call go first. 0, earlier buttons kept, when
// nSlot30 is below nSlot2C (as unsigned numbers) or there is no parent
// window; the engine keeps the buttons until On_Delete_Stroke_wnd,
// On_Exit or the next call.
int On_Create_Stroke_wnd(EngineContext* context);
// Destroys the stroke buttons. 1 once the context is valid.
int On_Delete_Stroke_wnd(EngineContext* context);

// Three names of one export: 1 exactly when the context is valid.
int On_Add_Index(EngineContext* context);
int On_Export(EngineContext* context);
int On_Export_Index(EngineContext* context);
}
