// The search maps: stroke counts, ordinal -> character, and the pinyin and
// radical texts by character, built from the data folder and the text
// dictionaries of the start. No export looks anything up in them.
#include <chrono>
#include <new>
#include <thread>

#include "merrodataengine/api/engine.h"

using namespace engine;

namespace {

// The index map holds heap CStrings.
struct IndexMap : CMerroMap {
  IndexMap() { m_nValueIsString = 1; }
};

// Gives a loader that runs elsewhere time to see its stop flag.
constexpr std::chrono::milliseconds kStopPause{50};

template <class T>
std::unique_ptr<T> New() {
  return std::unique_ptr<T>(new (std::nothrow) T);
}

}  // namespace

extern "C" {

int On_UnInit_Search(EngineContext*) {
  const ExportLock lock;
  SearchMaps& s = State().search;
  if (!s.strokeCounts && !s.pinyin && !s.radical && !s.index) return 1;
  if (s.strokeCounts) s.strokeCounts->On_Stop();
  if (s.pinyin) s.pinyin->On_Stop();
  if (s.radical) s.radical->On_Stop();
  std::this_thread::sleep_for(kStopPause);
  s.strokeCounts.reset();
  s.pinyin.reset();
  s.radical.reset();
  s.index.reset();
  return 1;
}

int On_Init_Search(EngineContext* c) {
  const ExportLock lock;
  if (!c) return 1;
  On_UnInit_Search(c);
  Module& m = State();
  SearchMaps& s = m.search;
  const DataFiles& d = m.data;
  s.strokeCounts = New<CMerroRecordMap>();
  s.index = New<IndexMap>();
  if (s.strokeCounts) {
    s.strokeCounts->On_Set_Index_Map(s.index.get());
    // Without a folder the name would be a file of the root folder.
    if (!c->strDataFolder.IsEmpty()) s.strokeCounts->On_Init_Bhs(FileIn(c->strDataFolder, "src_hz_bhs.dat"));
  }
  if ((s.pinyin = New<CMerroTextMap>()))
    s.pinyin->On_Init_Data(FileIn(c->strDataFolder, "src_hz_pinyin.dat"), s.index.get(), d.pinyinOffsets.data,
                           d.pinyinOffsets.length, d.pinyinText.data, d.pinyinText.length, 1);
  if ((s.radical = New<CMerroTextMap>()))
    s.radical->On_Init_Data(FileIn(c->strDataFolder, "src_hz_ppbs.dat"), s.index.get(), d.radicalOffsets.data,
                            d.radicalOffsets.length, d.radicalText.data, d.radicalText.length, 1);
  return 1;
}

}  // extern "C"
