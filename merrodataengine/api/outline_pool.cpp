#include <algorithm>
#include <new>
#include <thread>

#include "merrodataengine/api/engine.h"

namespace engine {
namespace {

// The get routine looks this many times over the pool for an idle outline
// (fills end on their own threads) before it grows the pool.
constexpr int kPasses = 5;

bool Busy(const COutLine& o) { return o.On_Get_Doing() == 1; }

}  // namespace

int On_New_OutLine(CString folder) {
  std::unique_ptr<COutLine> outline(new (std::nothrow) COutLine);
  if (!outline) return 0;
  State().outlines.push_back(std::move(outline));
  COutLine& o = *State().outlines.back();
  if (o.Init() != 1) return 0;
  o.On_Set_Hanzi_File(folder);
  return 1;
}

COutLine* On_Get_Free_OutLine(int size, CString folder, int index) {
  Module& m = State();
  if (size <= 0 || folder.IsEmpty()) return nullptr;
  m.largestPoolSize = std::max(m.largestPoolSize, size);
  if (index >= size) return nullptr;
  if (index >= 0) {
    while (m.outlines.size() < size_t(m.largestPoolSize))
      if (!On_New_OutLine(folder)) return nullptr;
    COutLine* o = m.outlines[size_t(index)].get();
    return Busy(*o) ? nullptr : o;
  }
  for (int pass = 0; pass < kPasses; ++pass)
    for (auto& o : m.outlines)
      if (!Busy(*o)) return o.get();
  if (m.outlines.size() < size_t(m.largestPoolSize) && On_New_OutLine(folder)) return m.outlines.back().get();
  return nullptr;
}

void On_Stop_All_OutLine() {
  Module& m = State();
  if (m.outlines.empty()) return;
  for (auto& o : m.outlines) o->m_nExit = 1;
  // Fills clear their busy flags as they stop.
  while (std::any_of(m.outlines.begin(), m.outlines.end(), [](const auto& o) { return Busy(*o); }))
    std::this_thread::yield();
}

void On_Free_OutLine_Pool() {
  On_Stop_All_OutLine();
  State().outlines.clear();
}

}  // namespace engine
