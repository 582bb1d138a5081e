#include "merrodataengine/dictionary/text_map.h"

#include <new>

#include "merrodataengine/dictionary/text_dictionary.h"

namespace {

long OrdinalsOf(int mode) { return mode == 0 ? 6763 : mode == 1 ? 21003 : 0; }

}  // namespace

CMerroTextMap::CMerroTextMap() { m_nValueIsString = 1; }
CMerroTextMap::~CMerroTextMap() = default;

void CMerroTextMap::Put(const CString& key, const CString& text) {
  CString* value = new (std::nothrow) CString(text);
  if (!value) return;
  CObject* old;
  if (Lookup(key, old)) delete reinterpret_cast<CString*>(old);
  SetAt(key, reinterpret_cast<CObject*>(value));
}

void CMerroTextMap::On_Init_Data(CString file, CMerroMap* index, const unsigned char* offsets, long offsetsLength,
                                 const unsigned char* text, long textLength, int mode) {
  m_nExit = 0;
  On_Set_File(file);
  m_pIndexMap = index;
  m_pOffsets = offsets;
  m_nOffsetsLength = offsetsLength;
  m_pText = text;
  m_nTextLength = textLength;
  m_nMode = mode;
  On_Load_Data();
}

void CMerroTextMap::On_Load_Data() {
  if (!m_pIndexMap || !m_pOffsets || !m_pText || m_nOffsetsLength <= 0 || m_nTextLength <= 0 ||
      m_strFile.IsEmpty() || m_nDoing == 1)
    return;
  m_nDoing = 1;
  On_delete_value();
  for (long i = 0; i < OrdinalsOf(m_nMode); ++i) {
    CString key;
    key.Format("%ld", i);
    void* character = NULL;
    CString text;
    if (m_pIndexMap->On_Get_Value(key, &character) &&
        engine::DictionaryText(m_pOffsets, m_nOffsetsLength, m_pText, m_nTextLength, i, &text))
      Put(*static_cast<CString*>(character), text);
  }
  m_nDoing = 0;
}

void CMerroTextMap::On_Read_Data() {
  if (m_nDoing == 1) return;
  m_nDoing = 1;
  On_delete_value();
  // An empty file is an empty map, as exporting one writes it.
  if (m_pMemFile->GetLength() > 0) {
    int count;
    *m_pArchive >> count;
    for (int i = 0; i < count && m_nExit != 1; ++i) {
      CString key;
      *m_pArchive >> key >> m_strValue;
      Put(key, m_strValue);
    }
  }
  m_nDoing = 0;
}

void CMerroTextMap::On_Write_Data() {}
