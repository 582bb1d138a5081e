#include "platform/mfc/collections.h"

BOOL CMapStringToOb::Lookup(LPCTSTR key, CObject*& rValue) const {
  auto it = m_map.find(key ? key : "");
  if (it == m_map.end()) return FALSE;
  rValue = it->second;
  return TRUE;
}

POSITION CMapStringToOb::GetStartPosition() const { return m_map.empty() ? NULL : At(m_map.begin()); }

void CMapStringToOb::GetNextAssoc(POSITION& rNextPosition, CString& rKey, CObject*& rValue) const {
  // A position is the address of an entry; its successor is found from its key.
  const Map::value_type* entry = reinterpret_cast<const Map::value_type*>(rNextPosition);
  rKey = CString(entry->first.data(), int(entry->first.size()));
  rValue = entry->second;
  rNextPosition = Next(m_map.find(entry->first));
}
