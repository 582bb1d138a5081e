// CMerroMap: a string-keyed map of heap values that is saved to and loaded
// from an archive file, plain or in CMerroDao's scrambled form; lookups are
// guarded by the map's mutex; static helpers turn a GB2312 character into its
// row/cell pair and its dense position 0..6762.
//
// Archive file: a 32-bit little-endian count, then that many key and value
// strings in the archived string form; an empty map is an empty file.
//
// The map owns its values. With m_nValueIsString = 1 each value is a heap
// CString (`new CString`); otherwise a raw block from operator new, freed
// with operator delete. A subclass changes loading by overriding
// On_Read_Data: it runs with m_pArchive open for loading over m_pMemFile,
// which holds the whole (plain) file from its first byte, and empties the
// map itself. A loader that runs into the end of its data raises the
// archive's or the file's exception; On_Read then empties the map and gives
// 0. No exception leaves On_Read or On_Export.
//
// Only On_Get_Value takes the mutex; loading, exporting and clearing do not,
// so callers keep them apart from lookups (subclass loaders announce
// themselves through m_nDoing and stop when m_nExit is 1).
#pragma once
#include <atomic>

#include "merrobase/dao.h"
#include "platform/mfc/afx.h"

class CMerroMap : public CMapStringToOb {
 public:
  CMerroMap();
  ~CMerroMap() override;

  // Saves the map to `name` (empty: m_strFile), scrambled when scrambled = 1.
  int On_Export(CString name, int scrambled);
  // Loads the map from `name` (empty: m_strFile) through On_Read_Data.
  int On_Read(CString name, int scrambled);
  // 1 and *value when the key is present; else 0 and *value unchanged.
  int On_Get_Value(CString key, void** value);
  void On_Set_File(CString name);
  int On_Get_Doing();

  static int On_Get_QW(CString ch, int& row, int& cell);
  static CString On_Get_HZ(int row, int cell);
  static long On_Get_Pos(CString ch);

 protected:
  void On_delete_value();
  void On_Reset_Archive();
  virtual void On_Read_Data();
  virtual void On_Write_Data();

  CString m_strFile;
  CMerroDao* m_pDao;
  CFile* m_pFile;
  CMemFile* m_pMemFile;
  CArchive* m_pArchive;
  CMutex* m_pMutex;
  std::atomic<int> m_nExit;   // a loader stops when it reads 1
  std::atomic<int> m_nDoing;  // 1 while a subclass loader runs
  int m_nValueIsString;
  CString m_strValue;

 private:
  void On_Read_Data_Base();
  void On_Write_Data_Base();
  void On_Free_Value(CObject* value) const;
};
