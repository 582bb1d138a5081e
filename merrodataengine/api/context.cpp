#include "merrodataengine/api/engine.h"
#include "merrodataengine/dictionary/hanzi_index.h"

namespace engine {

Module& State() {
  static Module module;
  return module;
}

std::recursive_mutex& ModuleLock() {
  static std::recursive_mutex lock;
  return lock;
}

int On_Is_Valid_Context(const EngineContext* c) {
  const Module& m = State();
  return c && m.started == 1 && c->nZero == 0 && c->nToken == m.token && c->nActive != 0 &&
         !c->strRequired2.IsEmpty() && !c->strRequired3.IsEmpty() && c->nState == 1 && !c->strRequired1.IsEmpty() &&
         !c->strCurrentDir.IsEmpty() && c->nPoolSize >= 1 && c->nPoolSize <= kMaxPoolSize;
}

EngineParams* Params(const EngineContext* c) { return c && c->ppParams ? *c->ppParams : nullptr; }

COutLine* On_Character_Outline(const EngineContext* c, const CString& character, int index) {
  int offset = 0, length = 0, fileNumber = 0;
  if (!On_Get_Hanzi_Index(c->strDataFolder, character, offset, length, fileNumber)) return nullptr;
  COutLine* o = On_Get_Free_OutLine(c->nPoolSize, c->strDataFolder, index);
  if (o) o->On_Set_Hanzi(character, (unsigned long)offset, (unsigned long)length, fileNumber);
  return o;
}

}  // namespace engine
