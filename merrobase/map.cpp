#include "merrobase/map.h"

#include <cstdlib>
#include <memory>
#include <new>
#include <stdexcept>

#include "merrobase/read_exactly.h"
#include "platform/fs/files.h"

namespace {

// Rows 16..87 and cells 1..94 hold the GB2312 characters, except row 55,
// whose cells 90..94 are unassigned.
bool IsAssigned(int row, int cell) {
  return row >= 16 && row <= 87 && cell >= 1 && cell <= 94 && !(row == 55 && cell >= 90);
}

// True when the file exists and holds no bytes: what exporting an empty map
// writes, scrambled or not.
bool IsEmptyFile(const CString& name) {
  CFileStatus status;
  return CFile::GetStatus(name, status) && !(status.m_attribute & CFile::directory) && status.m_size == 0;
}

}  // namespace

CMerroMap::CMerroMap()
    : CMapStringToOb(10),
      m_pDao(new CMerroDao),
      m_pFile(new CFile),
      m_pMemFile(new CMemFile(1024)),
      m_pArchive(NULL),
      m_pMutex(new CMutex(FALSE)),
      m_nExit(0),
      m_nDoing(0),
      m_nValueIsString(0) {}

CMerroMap::~CMerroMap() {
  On_delete_value();
  On_Reset_Archive();
  delete m_pMemFile;
  delete m_pDao;
  delete m_pFile;
  delete m_pMutex;
}

void CMerroMap::On_Set_File(CString name) { m_strFile = name; }

int CMerroMap::On_Get_Doing() { return m_nDoing; }

int CMerroMap::On_Get_Value(CString key, void** value) {
  CSingleLock lock(m_pMutex, TRUE);
  CObject* found;
  if (value == NULL || IsEmpty() || !Lookup(key, found)) return 0;
  *value = found;
  return 1;
}

// ---- values ---------------------------------------------------------------

void CMerroMap::On_Free_Value(CObject* value) const {
  if (m_nValueIsString == 1)
    delete reinterpret_cast<CString*>(value);
  else
    operator delete(value);
}

void CMerroMap::On_delete_value() {
  for (POSITION pos = GetStartPosition(); pos;) {
    CString key;
    CObject* value;
    GetNextAssoc(pos, key, value);
    On_Free_Value(value);
  }
  RemoveAll();
}

void CMerroMap::On_Reset_Archive() {
  if (!m_pArchive) return;
  try {
    m_pArchive->Close();
  } catch (CException* e) {
    e->Delete();
  }
  delete m_pArchive;
  m_pArchive = NULL;
}

// ---- saving ---------------------------------------------------------------

int CMerroMap::On_Export(CString name, int scrambled) {
  if (name.IsEmpty()) name = m_strFile;
  On_Reset_Archive();
  // The memory file grows a malloc'd block of its own from 10 bytes on.
  BYTE* block = static_cast<BYTE*>(malloc(10));
  if (!block) return 0;
  m_pMemFile->Attach(block, 10, 256);
  m_pArchive = new CArchive(m_pMemFile, CArchive::store, 4096);
  int written = 1;
  try {
    On_Write_Data();
    m_pArchive->Close();  // flushes into the memory file
  } catch (CException* e) {
    e->Delete();
    written = 0;
  } catch (std::exception&) {
    written = 0;
  }
  On_Reset_Archive();
  m_pMemFile->SeekToBegin();
  size_t length = size_t(m_pMemFile->GetLength());
  block = m_pMemFile->Detach();
  if (written)
    written = WriteWholeFile(static_cast<LPCTSTR>(name), std::string_view(reinterpret_cast<char*>(block), length));
  free(block);
  if (!written) return 0;
  // An empty map stays an empty file: there is nothing to scramble.
  if (scrambled == 1 && length > 0 && m_pDao->On_JiaMi_File(name) != 1) return 0;
  return 1;
}

void CMerroMap::On_Write_Data() { On_Write_Data_Base(); }

// Every value is written as a CString.
void CMerroMap::On_Write_Data_Base() {
  if (IsEmpty()) return;
  *m_pArchive << int(GetCount());
  for (POSITION pos = GetStartPosition(); pos;) {
    CString key;
    CObject* value;
    GetNextAssoc(pos, key, value);
    *m_pArchive << key << *reinterpret_cast<CString*>(value);
  }
}

// ---- loading --------------------------------------------------------------

int CMerroMap::On_Read(CString name, int scrambled) {
  if (name.IsEmpty()) name = m_strFile;
  unsigned char* data = NULL;
  long length = 0;
  if (scrambled == 1) {
    if (m_pDao->On_JieMi_File(name, &data, length) != 1) {
      // An empty file is an empty map (exporting one writes that); anything
      // else that does not unscramble is named to the user.
      if (!IsEmptyFile(name)) {
        AfxMessageBox(name);
        return 0;
      }
      data = static_cast<unsigned char*>(operator new(0));
      length = 0;
    }
  } else {
    try {
      if (!m_pFile->Open(name, CFile::modeRead | CFile::shareDenyNone)) return 0;
      length = long(m_pFile->GetLength());
      data = static_cast<unsigned char*>(operator new(size_t(length), std::nothrow));
      bool read = data && merro::ReadExactly(*m_pFile, data, size_t(length));
      m_pFile->Close();
      if (!read) {
        operator delete(data);
        return 0;
      }
    } catch (CException* e) {
      e->Delete();
      m_pFile->Abort();
      operator delete(data);
      return 0;
    }
  }

  // The loader sees the whole file in the memory file, from its first byte;
  // the archive over it has taken nothing yet.
  m_pMemFile->Attach(data, UINT(length));
  On_Reset_Archive();
  m_pArchive = new CArchive(m_pMemFile, CArchive::load, 4096);
  int loaded = 1;
  try {
    On_Read_Data();
  } catch (CException* e) {
    e->Delete();
    loaded = 0;
  } catch (std::exception&) {
    loaded = 0;
  }
  if (!loaded) {  // a damaged file leaves no half-loaded map and no busy flag
    On_delete_value();
    m_nDoing = 0;
  }
  On_Reset_Archive();
  m_pMemFile->SeekToBegin();
  m_pMemFile->Detach();
  operator delete(data);
  return loaded;
}

void CMerroMap::On_Read_Data() { On_Read_Data_Base(); }

// The base loader makes every value a heap CString and says so, so that
// clearing frees them as CStrings.
void CMerroMap::On_Read_Data_Base() {
  On_delete_value();
  m_nValueIsString = 1;
  if (m_pMemFile->GetLength() == 0) return;  // an empty map was saved
  int count;
  *m_pArchive >> count;
  for (int i = 0; i < count; ++i) {
    CString key;
    std::unique_ptr<CString> value(new CString);
    *m_pArchive >> key >> *value;
    CObject* old;
    if (Lookup(key, old)) On_Free_Value(old);  // a repeated key replaces the earlier entry
    SetAt(key, reinterpret_cast<CObject*>(value.release()));
  }
}

// ---- character positions --------------------------------------------------

int CMerroMap::On_Get_QW(CString ch, int& row, int& cell) {
  if (ch.GetLength() != 2) return 0;
  row = (unsigned char)ch[0] - 160;
  cell = (unsigned char)ch[1] - 160;
  return 1;
}

CString CMerroMap::On_Get_HZ(int row, int cell) {
  if (!IsAssigned(row, cell)) return CString();
  const char ch[2] = {char(row + 160), char(cell + 160)};
  return CString(ch, 2);
}

// Level-1 characters (rows 16..55) take 0..3754, level-2 (rows 56..87)
// 3755..6762: row 55 is five cells short.
long CMerroMap::On_Get_Pos(CString ch) {
  int row, cell;
  if (!On_Get_QW(ch, row, cell) || !IsAssigned(row, cell)) return -1;
  return (row - 16) * 94 + (cell - 1) - (row > 55 ? 5 : 0);
}
