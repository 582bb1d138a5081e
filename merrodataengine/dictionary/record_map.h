// CMerroRecordMap: a CMerroMap whose values are fixed records in raw heap
// blocks. It serves two files:
// - the sound map "src_hz_wave.dat" (scrambled, loaded by On_Read): an
//   int32 count, then 27-byte records {9 bytes pinyin syllable with tone
//   digit, NUL-terminated within them; int16 minutes and double seconds of
//   the start time; double duration in seconds}, keyed by the syllable;
// - the stroke-count file "src_hz_bhs.dat" (scrambled, On_Init_Bhs):
//   5-byte entries {2 bytes GBK character, 3 bytes decimal stroke count},
//   kept as 11-byte records {character, NUL, int32 count, int32 ordinal of
//   the entry}, keyed by the character; the index map, when one is given,
//   gets the ordinal ("%d") -> a heap CString of the character.
//
// The loaders mark the map busy (On_Get_Doing) while they run; lookups are
// refused meanwhile. Exporting such a map writes no entries.
#pragma once
#include "merrobase/map.h"

class CMerroRecordMap : public CMerroMap {
 public:
  static constexpr int kSoundRecord = 27;
  static constexpr int kCountRecord = 11;

  CMerroRecordMap();
  ~CMerroRecordMap() override;

  // The map that gets ordinal -> character while building from the
  // stroke-count file; not owned. Its values must be CStrings.
  void On_Set_Index_Map(CMerroMap* index) { m_pIndexMap = index; }
  // Asks a running loader to stop (the stroke-count loader stops between
  // entries).
  void On_Stop() { m_nExit = 1; }

  // Builds the map from the stroke-count file `file`: 1, also when the file
  // cannot be read (the map then stays as it was).
  int On_Init_Bhs(CString file);
  // 0 without a file name or when the file cannot be read; 1 when loaded or
  // when busy (nothing loaded then).
  int On_Load_Bhs();

  // The start (minutes and seconds) and duration of a syllable of the sound
  // map. 0 when it is not there, while busy, or for a stroke-count map.
  int On_Get_Wave_Pos(CString key, short& minutes, double& start, double& duration);

 protected:
  // Sound records from the memory file; a record cut short by the end of
  // the file ends the loading.
  void On_Read_Data() override;
  void On_Write_Data() override;

  int m_nSource = 0;  // 1 once built from the stroke-count file
  CMerroMap* m_pIndexMap = nullptr;

 private:
  void Put(CMapStringToOb& map, const CString& key, CObject* value, bool valueIsString);
};
