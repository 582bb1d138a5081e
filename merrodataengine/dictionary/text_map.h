// CMerroTextMap: a CMerroMap of character -> heap CString text, built from
// a text dictionary held in memory (see text_dictionary.h) through an index
// map of ordinal ("%ld") -> character, or loaded from a map archive.
//
// The dictionary buffers and the index map stay their owners'. The loaders
// mark the map busy while they run. Exporting such a map writes no entries.
#pragma once
#include "merrobase/map.h"

class CMerroTextMap : public CMerroMap {
 public:
  CMerroTextMap();
  ~CMerroTextMap() override;

  // Keeps the sources (mode 0: ordinals 0..6762; 1: 0..21002; other: none)
  // and loads the map from them.
  void On_Init_Data(CString file, CMerroMap* index, const unsigned char* offsets, long offsetsLength,
                    const unsigned char* text, long textLength, int mode);
  // For every ordinal the index map knows: the text at the ordinal's entry
  // of the dictionary under the ordinal's character. Nothing happens while
  // busy, without a file name, or without all three sources.
  void On_Load_Data();
  // Asks a running archive loader to stop between entries.
  void On_Stop() { m_nExit = 1; }

 protected:
  // Archive form: count, then key and value strings.
  void On_Read_Data() override;
  void On_Write_Data() override;

  CMerroMap* m_pIndexMap = nullptr;
  const unsigned char* m_pOffsets = nullptr;
  long m_nOffsetsLength = 0;
  const unsigned char* m_pText = nullptr;
  long m_nTextLength = 0;
  int m_nMode = 0;

 private:
  void Put(const CString& key, const CString& text);
};
