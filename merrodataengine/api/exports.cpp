// The On_ exports of this module: start and end, the pool's small exports,
// the index record, and the validation export.
#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "merrodataengine/api/engine.h"
#include "merrodataengine/dictionary/hanzi_index.h"
#include "platform/fs/folders.h"
#include "platform/mfc/wnd.h"

using namespace engine;

extern "C" {

int On_Exit(EngineContext* c) {
  const ExportLock lock;
  if (!c) return 0;
  Module& m = State();
  m.started = 0;
  c->nState = 0;
  c->nToken = -1;
  c->strRequired3 = "";
  c->strCurrentDir = "";
  On_Free_Stroke_Buttons();
  On_Free_OutLine_Pool();
  On_Free_Map_Pool();
  m.data.Free();
  return On_UnInit_Search(c);
}

int On_Init(EngineContext* c) {
  const ExportLock lock;
  if (!c || c->nZero != 0) return 0;
  Module& m = State();
  if (m.started) {
    // Stopping empties strRequired3, which the host set for this start.
    const CString required3 = c->strRequired3;
    On_Exit(c);
    c->strRequired3 = required3;
  }
  c->nState = 1;
  c->nZero = 0;
  srand(unsigned(time(NULL)));
  m.token = rand();
  c->nToken = m.token;
  c->strCurrentDir = GetCurrentDir().c_str();
  m.data.Load(c->strDataFolder);
  m.started = 1;
  return 1;
}

int On_Set_Exit(EngineContext* c) {
  const ExportLock lock;
  if (!On_Is_Valid_Context(c)) return 0;
  On_Stop_All_OutLine();
  return 1;
}

int On_Get_OutLine_Count(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Params(c);
  if (!On_Is_Valid_Context(c) || !p) return 0;
  p->nSlot04 = int(State().outlines.size());
  return 1;
}

int On_RePaint(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Params(c);
  if (!On_Is_Valid_Context(c) || !p) return 0;
  CWnd* wnd = reinterpret_cast<CWnd*>(p->pSlot28);
  if (!wnd) return 0;
  const Module& m = State();
  const size_t count = std::min(m.outlines.size(), size_t(c->nPoolSize));
  for (size_t i = 0; i < count; ++i) {
    COutLine* o = m.outlines[i].get();
    if (!o || o->On_Get_Doing() == 1) continue;  // a fill is drawing there itself
    if (CDC* dc = wnd->GetDC()) {
      o->On_CopyToDC(dc);
      wnd->ReleaseDC(dc);
    }
  }
  return 1;
}

int On_Set_Delay(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Params(c);
  if (!On_Is_Valid_Context(c) || !p) return 0;
  COutLine* o = On_Get_Free_OutLine(c->nPoolSize, c->strDataFolder, p->nSlot0C);
  if (!o) return 0;
  o->On_Set_Delay(long(int(p->pSlot28)), p->nSlot2C);
  return 1;
}

int On_Get_Hanzi_PL(EngineContext* c) {
  const ExportLock lock;
  EngineParams* p = Params(c);
  if (!On_Is_Valid_Context(c) || !p) return 0;
  int offset = 0, length = 0, fileNumber = 0;
  if (!On_Get_Hanzi_Index(c->strDataFolder, p->strSlot34, offset, length, fileNumber)) return 0;
  p->pSlot28 = offset;
  p->nSlot2C = length;
  return 1;
}

int On_Add_Index(EngineContext* c) {
  const ExportLock lock;
  return On_Is_Valid_Context(c);
}
int On_Export(EngineContext* c) __attribute__((alias("On_Add_Index")));
int On_Export_Index(EngineContext* c) __attribute__((alias("On_Add_Index")));

}  // extern "C"
