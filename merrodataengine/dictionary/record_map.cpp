#include "merrodataengine/dictionary/record_map.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "merrodataengine/dictionary/text_dictionary.h"

namespace {

constexpr int kKeyBytes = 9;
constexpr int kCountEntry = 5;

}  // namespace

CMerroRecordMap::CMerroRecordMap() = default;
CMerroRecordMap::~CMerroRecordMap() = default;

void CMerroRecordMap::Put(CMapStringToOb& map, const CString& key, CObject* value, bool valueIsString) {
  CObject* old;
  if (map.Lookup(key, old)) {  // a later entry replaces an earlier one
    if (valueIsString)
      delete reinterpret_cast<CString*>(old);
    else
      operator delete(old);
  }
  map.SetAt(key, value);
}

void CMerroRecordMap::On_Read_Data() {
  if (m_nDoing == 1) return;
  On_delete_value();
  m_nDoing = 1;
  unsigned char count[4];
  if (m_nSource == 0 && m_pMemFile->Read(count, 4) == 4) {
    for (int i = 0; i < engine::Int32At(count); ++i) {
      unsigned char* record = static_cast<unsigned char*>(operator new(kSoundRecord, std::nothrow));
      if (!record) break;
      if (m_pMemFile->Read(record, kSoundRecord) != UINT(kSoundRecord)) {
        operator delete(record);
        break;
      }
      const char* key = reinterpret_cast<const char*>(record);
      Put(*this, CString(key, int(strnlen(key, kKeyBytes))), reinterpret_cast<CObject*>(record), false);
    }
  }
  m_nDoing = 0;
}

void CMerroRecordMap::On_Write_Data() {}

int CMerroRecordMap::On_Init_Bhs(CString file) {
  m_nExit = 0;
  On_Set_File(file);
  On_Load_Bhs();
  return 1;
}

int CMerroRecordMap::On_Load_Bhs() {
  if (m_strFile.IsEmpty()) return 0;
  if (m_nDoing == 1) return 1;
  m_nDoing = 1;
  unsigned char* data = NULL;
  long length = 0;
  if (m_pDao->On_JieMi_File(m_strFile, &data, length) != 1) {
    m_nDoing = 0;
    return 0;
  }
  On_delete_value();
  m_nSource = 1;
  for (long i = 0; i < length / kCountEntry && m_nExit != 1; ++i) {
    const unsigned char* entry = data + kCountEntry * i;
    // The count is the entry's own three bytes, whatever follows them.
    const char digits[4] = {char(entry[2]), char(entry[3]), char(entry[4]), '\0'};
    const int count = atoi(digits), ordinal = int(i);
    unsigned char* record = static_cast<unsigned char*>(operator new(kCountRecord, std::nothrow));
    if (!record) break;
    record[0] = entry[0];
    record[1] = entry[1];
    record[2] = 0;
    memcpy(record + 3, &count, 4);
    memcpy(record + 7, &ordinal, 4);
    const CString character(reinterpret_cast<const char*>(entry), 2);
    Put(*this, character, reinterpret_cast<CObject*>(record), false);
    if (!m_pIndexMap) continue;
    CString key;
    key.Format("%d", ordinal);
    if (CString* value = new (std::nothrow) CString(character))
      Put(*m_pIndexMap, key, reinterpret_cast<CObject*>(value), true);
  }
  operator delete(data);
  m_nDoing = 0;
  return 1;
}

int CMerroRecordMap::On_Get_Wave_Pos(CString key, short& minutes, double& start, double& duration) {
  if (m_nDoing == 1 || m_nSource != 0) return 0;
  m_nDoing = 1;
  void* value = NULL;
  const int found = On_Get_Value(key, &value);
  if (found) {
    const unsigned char* r = static_cast<const unsigned char*>(value);
    minutes = short(r[9] | r[10] << 8);
    memcpy(&start, r + 11, sizeof start);
    memcpy(&duration, r + 19, sizeof duration);
  }
  m_nDoing = 0;
  return found;
}
