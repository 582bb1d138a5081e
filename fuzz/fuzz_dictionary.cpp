// Arbitrary bytes as each of the engine's scrambled dictionary files: the
// sound map, the stroke-count file and a text dictionary (the data's first
// half as offsets, the rest as texts). Reading never crashes, and what is
// read stays within the data.
#include "fuzz_input.h"
#include "merrobase/dao.h"
#include "merrodataengine/dictionary/record_map.h"
#include "merrodataengine/dictionary/text_dictionary.h"
#include "merrodataengine/dictionary/text_map.h"

namespace {

struct IndexMap : CMerroMap {
  IndexMap() { m_nValueIsString = 1; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Shorter files are not of the scrambled form: the sound map would only
  // name the file in a message.
  if (size <= 6) return 0;
  FuzzFiles files;
  const std::string name = files.Write("in.dat", data, size);
  const size_t length = size - 6;

  CMerroRecordMap sound;
  sound.On_Read(name.c_str(), 1);
  FUZZ_CHECK(size_t(sound.GetCount()) <= length / CMerroRecordMap::kSoundRecord && sound.On_Get_Doing() == 0);
  for (POSITION pos = sound.GetStartPosition(); pos;) {
    CString key;
    CObject* value;
    sound.GetNextAssoc(pos, key, value);
    short minutes;
    double start, duration;
    FUZZ_CHECK(key.GetLength() <= 9 && sound.On_Get_Wave_Pos(key, minutes, start, duration) == 1);
  }

  IndexMap index;
  CMerroRecordMap counts;
  counts.On_Set_Index_Map(&index);
  FUZZ_CHECK(counts.On_Init_Bhs(name.c_str()) == 1);
  FUZZ_CHECK(size_t(counts.GetCount()) <= length / 5 && size_t(index.GetCount()) == length / 5);

  CMerroDao dao;
  unsigned char* plain = NULL;
  long n = 0;
  FUZZ_CHECK(dao.On_JieMi_File(name.c_str(), &plain, n) == 1 && size_t(n) == length);
  const long half = n / 2;
  for (long entry = 0; entry <= half / 4; ++entry) {
    CString text;
    if (engine::DictionaryText(plain, half, plain + half, n - half, entry, &text))
      FUZZ_CHECK(text.GetLength() <= n - half - 4);
  }
  CMerroTextMap texts;
  texts.On_Init_Data("in.dat", &index, plain, half, plain + half, n - half, 1);
  FUZZ_CHECK(texts.GetCount() <= index.GetCount());
  operator delete(plain);
  return 0;
}
