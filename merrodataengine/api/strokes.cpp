// The stroke exports: thin calls on a pooled outline that holds the
// character, and the stroke windows, one stroke button per stroke.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>

#include "merrobase/free_button.h"
#include "merrodataengine/api/engine.h"
#include "platform/mfc/gdi_objects.h"
#include "platform/mfc/wnd.h"

namespace engine {

void On_Free_Stroke_Buttons() {
  // Off the module first: destroying the windows runs their last messages.
  CFreeButton* buttons = State().strokeButtons;
  State().strokeButtons = nullptr;
  delete[] buttons;
}

}  // namespace engine

using namespace engine;

namespace {

// Control id of the first stroke button; each further button takes the next.
constexpr UINT kFirstStrokeId = 3029;

// The host's block once the context is valid; NULL otherwise.
EngineParams* Block(EngineContext* c) { return On_Is_Valid_Context(c) ? Params(c) : nullptr; }

// The pool index a text begins with, as atoi reads it (0 without a number),
// held within an int.
int LeadingNumber(const CString& text) {
  const long n = strtol(text, nullptr, 10);
  return int(std::clamp<long>(n, INT_MIN, INT_MAX));
}

// An int slot's value as a stroke number: negative ones are none.
unsigned long StrokeNumber(int n) { return n < 0 ? ULONG_MAX : (unsigned long)n; }

}  // namespace

extern "C" {

int On_Get_Strokes(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Block(c);
  COutLine* o = p ? On_Character_Outline(c, p->strSlot34, p->nSlot04) : nullptr;
  if (!o) return 0;
  p->nSlot04 = o->GetStrokes();
  return 1;
}

int On_Get_Stroke_Name(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Block(c);
  COutLine* o = p ? On_Character_Outline(c, p->strSlot34, p->nSlot04) : nullptr;
  if (!o) return 0;
  // The host learns only whether the stroke exists.
  CString name;
  return o->On_Get_Stroke_Name(long(int(p->pSlot28)), name);
}

int On_Get_Scale(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Block(c);
  const RECT* target = p ? reinterpret_cast<const RECT*>(p->pSlot28) : nullptr;
  COutLine* o = target ? On_Character_Outline(c, p->strSlot34, p->nSlot04) : nullptr;
  if (!o) return 0;
  p->dSlot10 = o->On_Get_Scale(*target);
  return 1;
}

int On_Get_Rect(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Block(c);
  COutLine* o = p ? On_Character_Outline(c, p->strSlot34, p->nSlot04) : nullptr;
  RECT* box = nullptr;
  if (!o || !o->GetRect(&box)) return 0;
  p->pSlot28 = reinterpret_cast<intptr_t>(box);
  return 1;
}

int On_Draw_Stroke(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Block(c);
  CDC* dc = p ? reinterpret_cast<CDC*>(p->pSlot28) : nullptr;
  COutLine* o = dc ? On_Get_Free_OutLine(c->nPoolSize, c->strDataFolder, p->nSlot04) : nullptr;
  return o && o->DrawStrokeRgn(dc, StrokeNumber(p->nSlot2C), 0) == 1 ? 1 : 0;
}

int On_Get_Stroke_Rgn(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Block(c);
  CRgn** out = p ? reinterpret_cast<CRgn**>(p->pSlot28) : nullptr;
  COutLine* o = out && *out ? On_Character_Outline(c, p->strSlot34, p->nSlot0C) : nullptr;
  if (!o) return 0;
  return o->GetStrokeRgn(StrokeNumber(p->nSlot2C), p->nSlot04, p->nSlot08, p->dSlot10, out);
}

int On_Fill_Stroke(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Block(c);
  COutLine* o = p ? On_Character_Outline(c, p->strSlot34, LeadingNumber(p->strSlot34)) : nullptr;
  if (!o) return 0;
  o->m_FillParams = *p;
  return o->On_Fill();
}

int On_Stroke_Order(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Block(c);
  COutLine* o = p ? On_Character_Outline(c, p->strSlot34, LeadingNumber(p->strSlot34)) : nullptr;
  if (!o) return 0;
  return o->On_Stroke_Order(p->strSlot38, int(p->pSlot28), (unsigned long)(unsigned)p->nSlot2C,
                            (unsigned long)(unsigned)p->nSlot30);
}

int On_Create_Stroke_wnd(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Block(c);
  if (!p) return 0;
  unsigned long first = (unsigned)p->nSlot2C, last = (unsigned)p->nSlot30;
  if (last < first) return 0;
  // Buttons without a parent would have no windows; the host's are kept.
  CWnd* parent = reinterpret_cast<CWnd*>(p->pSlot28);
  if (!parent || !parent->GetSafeHwnd()) return 0;
  const int x = std::max(p->nSlot04, 0), y = std::max(p->nSlot08, 0);
  const double scale = p->dSlot10 >= 0 ? p->dSlot10 : 1.0;
  COutLine* o = On_Character_Outline(c, p->strSlot34, p->nSlot0C);
  if (!o) return 0;
  const unsigned long strokes = (unsigned long)std::max(o->GetStrokes(), 0);
  if (last == 0) last = strokes;
  if (first == 0) first = 1;
  // Only strokes there are get buttons, so the array never outgrows them.
  last = std::min(last, strokes);

  On_Free_Stroke_Buttons();
  if (last < first) return 1;
  CFreeButton* buttons = new (std::nothrow) CFreeButton[last - first + 1];
  if (!buttons) return 0;
  State().strokeButtons = buttons;
  CFreeButton* next = buttons;
  UINT id = kFirstStrokeId;
  for (unsigned long k = first; k <= last; ++k) {
    CRgn region;
    CRgn* out = &region;
    if (o->GetStrokeRgn(k, x, y, scale, &out) != 1) continue;
    RECT box;
    region.GetRgnBox(&box);
    // The button copies the region; ours goes with `region`.
    CFreeButton& b = *next++;
    b.Create("", WS_CHILD | WS_VISIBLE, CPoint(box.left, box.top), region, parent, id++);
    b.SetStrokeNo(int(k));
    b.SetHanzi(p->strSlot34);
    const unsigned char code = o->GetStrokeName(int(k - 1));
    b.SetStrokeName(char(code));
    CString name;
    COutLine::GetStrokeName(code, name);
    b.SetStrokeName(name);
    b.ShowWindow(SW_SHOW);
    b.ClearMoveRecord();
    b.SetCorrectRgn();
  }
  return 1;
}

int On_Delete_Stroke_wnd(EngineContext* c) {
  const ExportLock lock;
  if (!On_Is_Valid_Context(c)) return 0;
  On_Free_Stroke_Buttons();
  return 1;
}

}  // extern "C"
