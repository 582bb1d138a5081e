#include "merrodataengine/dictionary/data_files.h"

#include <new>

#include "merrobase/dao.h"

namespace engine {

CString FileIn(const CString& folder, const char* name) {
  CString path;
  path.Format("%s\\%s", static_cast<LPCTSTR>(folder), name);
  return path;
}

namespace {

// The whole plain file; a short read leaves the buffer empty.
void ReadPlain(const CString& name, DataBuffer& out) {
  CFile file;
  if (!file.Open(name, CFile::modeRead | CFile::shareDenyNone)) return;
  try {
    const ULONGLONG length = file.GetLength();
    if (length == 0 || length > ULONGLONG(INT32_MAX)) return;
    unsigned char* data = static_cast<unsigned char*>(operator new(size_t(length), std::nothrow));
    if (!data) return;
    if (file.Read(data, UINT(length)) != length) {
      operator delete(data);
      return;
    }
    out.data = data;
    out.length = long(length);
  } catch (CException* e) {
    e->Delete();
  }
}

void ReadScrambled(CMerroDao& dao, const CString& name, DataBuffer& out) {
  unsigned char* data = NULL;
  long length = 0;
  if (dao.On_JieMi_File(name, &data, length) != 1) {
    operator delete(data);
    return;
  }
  out.data = data;
  out.length = length;
}

}  // namespace

void DataBuffer::Free() {
  operator delete(data);
  data = nullptr;
  length = 0;
}

void DataFiles::Load(const CString& folder) {
  Free();
  if (folder.IsEmpty()) return;  // "\name" would be a file of the root folder
  ReadPlain(FileIn(folder, "merrovoice.1"), voice);
  CMerroDao dao;
  ReadScrambled(dao, FileIn(folder, "src_hz_pinyin.dat"), pinyinText);
  ReadScrambled(dao, FileIn(folder, "src_hz_pinyin.idx"), pinyinOffsets);
  ReadScrambled(dao, FileIn(folder, "src_hz_english.dat"), englishText);
  ReadScrambled(dao, FileIn(folder, "src_hz_english.idx"), englishOffsets);
  ReadScrambled(dao, FileIn(folder, "src_hz_ppbs.dat"), radicalText);
  ReadScrambled(dao, FileIn(folder, "src_hz_ppbs.idx"), radicalOffsets);
}

void DataFiles::Free() {
  for (DataBuffer* b : {&voice, &pinyinText, &pinyinOffsets, &englishText, &englishOffsets, &radicalText,
                        &radicalOffsets})
    b->Free();
}

}  // namespace engine
