#include "merrodataengine/dictionary/hanzi_index.h"

#include "merrobase/dao.h"
#include "merrobase/map.h"

namespace engine {
namespace {

constexpr long kRecord = 15;
constexpr long kPerFile = 300;
constexpr long kLevel2 = 3755;
constexpr long kLastPosition = 6762;

int Int32At(const unsigned char* p) {
  return int(DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24);
}

}  // namespace

bool IndexPlace(long position, long& fileNumber, long& record) {
  if (position < 0 || position > kLastPosition) return false;
  // Each level's last file also takes the remainder past its 300.
  const bool level2 = position >= kLevel2;
  const long q = level2 ? position - kLevel2 : position;
  const long lastFile = level2 ? 9 : 11;
  long f = q / kPerFile, r = q % kPerFile;
  if (f > lastFile) f = lastFile, r += kPerFile;
  fileNumber = f + 1 + (level2 ? 12 : 0);
  record = r;
  return true;
}

int On_Get_Hanzi_Index(CString folder, CString character, int& offset, int& length, int& fileNumber) {
  long file, record;
  if (folder.IsEmpty() || !IndexPlace(CMerroMap::On_Get_Pos(character), file, record)) return 0;
  CString name;
  name.Format("%s\\Merro%04ld.idx", static_cast<LPCTSTR>(folder), file);
  CMerroDao dao;
  unsigned char* data = NULL;
  long size = 0;
  if (dao.On_JieMi_File(name, &data, size) != 1) return 0;
  int result = 0;
  if ((record + 1) * kRecord <= size) {
    const unsigned char* r = data + record * kRecord;
    const int o = Int32At(r + 3), l = Int32At(r + 7);
    if (o >= 0 && l >= 0) {
      offset = o;
      length = l;
      fileNumber = Int32At(r + 11);
      result = 1;
    }
  }
  operator delete(data);
  return result;
}

}  // namespace engine
