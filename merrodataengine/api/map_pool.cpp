// The sound-map pool: maps of "src_hz_wave.dat", made on demand up to the
// host's pool size and kept until the engine ends.
#include <algorithm>
#include <new>
#include <thread>

#include "merrodataengine/api/engine.h"

namespace engine {
namespace {

// As for outlines: a few looks for an idle map before the pool grows.
constexpr int kPasses = 5;

bool Busy(CMerroRecordMap& m) { return m.On_Get_Doing() == 1; }

}  // namespace

CMerroRecordMap* On_Get_Wave_Map(int size, CString folder) {
  Module& m = State();
  if (size <= 0 || folder.IsEmpty()) return nullptr;
  for (int pass = 0; pass < kPasses; ++pass)
    for (auto& map : m.soundMaps)
      if (!Busy(*map)) return map.get();
  if (m.soundMaps.size() >= size_t(size)) return nullptr;
  std::unique_ptr<CMerroRecordMap> map(new (std::nothrow) CMerroRecordMap);
  if (!map) return nullptr;
  // A file that does not load leaves the map empty (its loader has named
  // the file to the user); the map is kept all the same.
  map->On_Read(FileIn(folder, "src_hz_wave.dat"), 1);
  m.soundMaps.push_back(std::move(map));
  return m.soundMaps.back().get();
}

void On_Stop_All_Map() {
  Module& m = State();
  if (m.soundMaps.empty()) return;
  for (auto& map : m.soundMaps) map->On_Stop();
  while (std::any_of(m.soundMaps.begin(), m.soundMaps.end(), [](auto& map) { return Busy(*map); }))
    std::this_thread::yield();
}

void On_Free_Map_Pool() {
  On_Stop_All_Map();
  State().soundMaps.clear();
}

}  // namespace engine
