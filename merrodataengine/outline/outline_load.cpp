// Life cycle of an outline and the loaders: stroke files, font files, test
// files.
#include <algorithm>
#include <cstring>
#include <new>

#include "merrobase/dao.h"
#include "merrodataengine/outline/out_line.h"
#include "platform/mfc/dc.h"

namespace {

// Scrambled files begin with this many header bytes before their data.
constexpr ULONGLONG kScrambleHeader = 6;

// The whole content of a plain file; false when it cannot be read.
bool ReadPlainFile(const CString& name, std::vector<BYTE>& out) {
  CFile file;
  if (!file.Open(name, CFile::modeRead | CFile::shareDenyNone)) return false;
  try {
    const ULONGLONG length = file.GetLength();
    if (length > ULONGLONG(INT32_MAX)) return false;
    std::vector<BYTE> bytes(static_cast<size_t>(length));
    if (file.Read(bytes.data(), UINT(length)) != length) return false;
    out.swap(bytes);
    return true;
  } catch (CException* e) {
    e->Delete();
  } catch (std::bad_alloc&) {
  }
  return false;
}

}  // namespace

COutLine::COutLine()
    : m_strSysFontFile("ttf.dll"), m_strUserFontFile("user.dat"), m_strUserIndexFile("user.idx") {
  Init();
  On_Init_MemDc();
}

COutLine::~COutLine() {
  // A fill still running stops at once; no thread outlives the outline.
  m_nExit = 1;
  for (auto& t : m_FillThreads) t->thread.join();
  On_UnInit_MemDc();
  KillAll();
  UnLoadFontFile();
}

int COutLine::Init() {
  m_nOffsetX = m_nOffsetY = 0;
  m_nFillDelay = 18;
  m_nStrokeDelay = 120;
  m_nStrokes = 0;
  m_rcBox = RECT{0, 0, 0, 0};
  m_nDoing = 0;
  m_dXScale = m_dYScale = 1.0;
  m_nSplineDepth = 4;
  return 1;
}

void COutLine::On_Set_Hanzi_File(CString folder) { m_strDataFolder = folder; }

void COutLine::On_Set_Delay(long fill, long stroke) {
  m_nFillDelay = int(std::min(std::labs(fill), long(INT32_MAX)));
  m_nStrokeDelay = int(std::min(std::labs(stroke), long(INT32_MAX)));
}

// ---- arrays ----------------------------------------------------------------

void COutLine::KillAll() {
  m_StrokeCodes.clear();
  KillWordBuf();
  m_Points.clear();
  m_VertexIndices.clear();
  m_StrokeStarts.clear();
  m_StrokeBufLens.clear();
  m_CtrlPoints.clear();
  m_SegmentStarts.clear();
  m_StartVertices.clear();
  m_StartCtrls.clear();
  m_ZheCuts.clear();
  m_RgnPoints.clear();
  m_ZheStarts.clear();
  m_ZheFlags.clear();
  // An emptied outline has no strokes, so nothing bounded by the stroke
  // count can reach into the empty arrays.
  m_nStrokes = 0;
  m_rcBox = RECT{0, 0, 0, 0};
}

void COutLine::AddPointToArray(int x, int y, unsigned char /*kind*/) {
  if (m_Points.empty()) {
    m_rcBox = RECT{x, y, x, y};
  } else {
    m_rcBox.left = std::min<LONG>(m_rcBox.left, x);
    m_rcBox.top = std::min<LONG>(m_rcBox.top, y);
    m_rcBox.right = std::max<LONG>(m_rcBox.right, x);
    m_rcBox.bottom = std::max<LONG>(m_rcBox.bottom, y);
  }
  m_Points.push_back(POINT{x, y});
}

bool COutLine::AddWordBuf(unsigned long length) {
  KillWordBuf();
  m_pWordBuf = static_cast<BYTE*>(operator new(length, std::nothrow));
  if (!m_pWordBuf) return false;
  m_nBufLen = int(length);
  return true;
}

void COutLine::KillWordBuf() {
  operator delete(m_pWordBuf);
  m_pWordBuf = NULL;
  m_nBufLen = 0;
}

void COutLine::LoadRecord(bool read) {
  if (read && GetPoint(1)) return;
  KillAll();
  // Not current: asking for the character again tries again.
  m_strHanzi.Empty();
}

// ---- stroke files ----------------------------------------------------------

void COutLine::On_Set_Hanzi(CString hanzi, unsigned long offset, unsigned long length, long fileNumber) {
  if (m_nDoing == 1 || hanzi.IsEmpty() || hanzi == m_strHanzi) return;
  m_strHanzi = hanzi;
  KillAll();
  CString name;
  name.Format("%s\\Merro%04ld.dat", static_cast<LPCTSTR>(m_strDataFolder), fileNumber);
  LoadRecord(Load_A_hz(name, offset, length) == 1);
}

int COutLine::Load_A_hz(CString file, unsigned long offset, unsigned long length) {
  KillWordBuf();
  // A record must lie inside the file's data: an index record pointing
  // elsewhere is damaged, and reading it would only give zeros.
  CFileStatus status;
  if (length > ULONGLONG(INT32_MAX) || !CFile::GetStatus(file, status) || status.m_size < kScrambleHeader ||
      ULONGLONG(offset) + length > status.m_size - kScrambleHeader)
    return 0;
  CMerroDao dao;
  unsigned char* buf = NULL;
  if (dao.On_JieMi_File(file, &buf, long(offset), long(length)) != 1) return 0;
  m_pWordBuf = buf;
  m_nBufLen = int(length);
  return 1;
}

// ---- font files ------------------------------------------------------------

void COutLine::SetSysFontFile(CString file) { m_strSysFontFile = file; }

void COutLine::SetUserFontFile(CString file, CString indexFile) {
  m_strUserFontFile = file;
  m_strUserIndexFile = indexFile;
}

void COutLine::LoadFontFile(bool system) {
  m_nFontLoaded = 0;
  m_nFontKind = system ? 1 : 0;
  if (!system) LoadUserFontIndexFile();
  std::vector<BYTE> bytes;
  if (!ReadPlainFile(system ? m_strSysFontFile : m_strUserFontFile, bytes)) return;
  UnLoadFontFile();
  m_FontBuf.swap(bytes);
  m_nFontLoaded = 1;
}

void COutLine::UnLoadFontFile() {
  m_FontBuf.clear();
  m_FontBuf.shrink_to_fit();
  m_nFontLoaded = 0;
}

void COutLine::LoadUserFontIndexFile() {
  m_UserFontLens.clear();
  std::vector<BYTE> bytes;
  if (!ReadPlainFile(m_strUserIndexFile, bytes)) return;
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
    m_UserFontLens.push_back(DWORD(bytes[i]) | DWORD(bytes[i + 1]) << 8 | DWORD(bytes[i + 2]) << 16 |
                             DWORD(bytes[i + 3]) << 24);
}

int COutLine::GetSysIndex(int, unsigned long*, unsigned long*) { return 0; }

int COutLine::GetUserIndex(int index, unsigned long* offset, unsigned long* length) {
  if (index < 0 || size_t(index) >= m_UserFontLens.size() || !offset || !length) return 0;
  unsigned long sum = 0;
  for (int i = 0; i < index; ++i) sum += m_UserFontLens[i];
  *offset = sum;
  *length = m_UserFontLens[index];
  return 1;
}

void COutLine::On_Set_HZ(int index, HDC) {
  // A fill thread reads the arrays while busy.
  if (m_nDoing == 1) return;
  KillAll();
  // Whatever was current is no longer held.
  m_strHanzi.Empty();
  if (!m_nFontLoaded) return;
  unsigned long offset = 0, length = 0;
  const int found = m_nFontKind == 1 ? GetSysIndex(index, &offset, &length) : GetUserIndex(index, &offset, &length);
  // The record must lie inside the font file.
  if (!found || offset > m_FontBuf.size() || length > m_FontBuf.size() - offset || !AddWordBuf(length)) return;
  if (length > 0) memcpy(m_pWordBuf, m_FontBuf.data() + offset, length);
  if (!GetPoint(0)) KillAll();
  m_dXScale = m_dYScale = 1.0;
}

void COutLine::On_Set_Hanzi_TEST(CString hanzi) {
  if (m_nDoing == 1 || hanzi.IsEmpty() || hanzi == m_strHanzi) return;
  m_strHanzi = hanzi;
  KillAll();
  std::vector<BYTE> bytes;
  bool read = ReadPlainFile("test\\" + hanzi + ".zhe.dat", bytes) && AddWordBuf(bytes.size());
  if (read && !bytes.empty()) memcpy(m_pWordBuf, bytes.data(), bytes.size());
  LoadRecord(read);
}
