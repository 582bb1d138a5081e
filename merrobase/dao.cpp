#include "merrobase/dao.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>

#include "merrobase/read_exactly.h"
#include "platform/fs/files.h"

namespace {

const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const int kAlphabetSize = 62;
// Mask letters for an odd and an even total length. Any pair reads any file:
// the letters never reach the data keys.
const char kMaskOdd = 'M';
const char kMaskEven = 'B';
const long kHead = 6;

struct OperatorDelete {
  void operator()(unsigned char* p) const { operator delete(p); }
};
// Buffers handed to callers come from operator new, as they free them.
typedef std::unique_ptr<unsigned char, OperatorDelete> Buffer;

Buffer NewBuffer(long n) { return Buffer(static_cast<unsigned char*>(operator new(size_t(n), std::nothrow))); }

std::string_view View(const void* data, size_t n) { return std::string_view(static_cast<const char*>(data), n); }

// Runs one operation: a file error raised after an open, or memory running
// out, ends it with 0 instead of leaving the library.
template <class F>
int Guarded(F body) {
  try {
    return body();
  } catch (CException* e) {
    e->Delete();
  } catch (std::exception&) {
  }
  return 0;
}

// XORs p[i] with keys[i mod 3]. Runs over 48-byte blocks (16 key periods)
// so the compiler can use vector registers; the data moves at memory speed.
void XorKeys(unsigned char* p, long n, const char keys[3]) {
  unsigned char pattern[48];
  for (int i = 0; i < 48; ++i) pattern[i] = (unsigned char)keys[i % 3];
  long i = 0;
  for (; i + 48 <= n; i += 48)
    for (int j = 0; j < 48; ++j) p[i + j] ^= pattern[j];
  for (; i < n; ++i) p[i] ^= pattern[i % 48];
}

}  // namespace

CMerroDao::CMerroDao() : m_nSleep(120), m_Dao{}, m_nLength(0) {}

CMerroDao::~CMerroDao() {}

CMerroDao& CMerroDao::operator=(const CMerroDao& other) {
  m_nSleep = other.m_nSleep;
  memcpy(m_Dao, other.m_Dao, sizeof m_Dao);
  m_nLength = other.m_nLength;
  m_fnKeySource = other.m_fnKeySource;
  return *this;
}

void CMerroDao::test() {}

// ---- header ---------------------------------------------------------------

// Each draw reseeds from the clock, so draws within one second give the same
// character.
int CMerroDao::On_Create_Key() {
  if (m_fnKeySource) return m_fnKeySource();
  srand((unsigned)time(NULL));
  return rand();
}

void CMerroDao::On_Create_Dao() {
  unsigned char raw[6];
  for (int k = 0; k < 6; ++k) {
    int v = On_Create_Key();
    raw[k] = (unsigned char)kAlphabet[(v % kAlphabetSize + kAlphabetSize) % kAlphabetSize];
    if (k < 5 && m_nSleep > 0) std::this_thread::sleep_for(std::chrono::milliseconds(m_nSleep));
  }
  memset(m_Dao, 0, sizeof m_Dao);
  memcpy(m_Dao, raw, sizeof raw);
}

char CMerroDao::On_Get_0() { return (m_nLength % 2) ? kMaskOdd : kMaskEven; }

void CMerroDao::On_JiaMiDao() {
  unsigned char m = (unsigned char)On_Get_0();
  unsigned char h[6];
  memcpy(h, m_Dao, 6);
  m_Dao[0] = h[0] ^ m;
  m_Dao[1] = h[0] ^ h[1];
  m_Dao[2] = h[0] ^ h[2];
  m_Dao[3] = h[3] ^ h[1] ^ h[2];
  m_Dao[4] = h[4] ^ h[1] ^ h[2];
  m_Dao[5] = h[5] ^ h[1] ^ h[2];
}

void CMerroDao::On_JieMiDao() {
  unsigned char m = (unsigned char)On_Get_0();
  m_Dao[0] ^= m;
  m_Dao[1] ^= m_Dao[0];
  m_Dao[2] ^= m_Dao[0];
  m_Dao[3] ^= m_Dao[1] ^ m_Dao[2];
  m_Dao[4] ^= m_Dao[1] ^ m_Dao[2];
  m_Dao[5] ^= m_Dao[1] ^ m_Dao[2];
}

// ---- data -----------------------------------------------------------------

int CMerroDao::On_Get_Dao_Key(long pos, char& key) {
  if (pos < 0) return 0;
  key = (char)m_Dao[3 + pos % 3];
  return 1;
}

void CMerroDao::On_Deal(unsigned char** data, long start, long length) {
  if (data == NULL || *data == NULL || length <= 0) return;
  unsigned char* p = *data;
  if (start < 0) {  // positions before the data have no key
    long skip = std::min(-start, length);
    p += skip;
    length -= skip;
    start = 0;
  }
  char keys[3];
  for (int i = 0; i < 3; ++i) On_Get_Dao_Key(start + i, keys[i]);
  XorKeys(p, length, keys);
}

int CMerroDao::On_JiaMi(unsigned char* data, long start, long length) {
  if (data == NULL || length < 1) return 0;
  m_nLength = length + kHead;
  On_Create_Dao();
  On_Deal(&data, start, length);
  On_JiaMiDao();
  return 1;
}

int CMerroDao::On_JieMi(unsigned char** data, long start, long length) {
  if (data == NULL || *data == NULL || length < 1) return 0;
  On_JieMiDao();
  On_Deal(data, start, length);
  return 1;
}

int CMerroDao::On_Get_DAO(CFile* file) {
  if (file == NULL) return 0;
  m_nLength = long(file->GetLength());
  if (m_nLength <= kHead) {
    m_nLength = 0;
    return 0;
  }
  file->SeekToBegin();
  return merro::ReadExactly(*file, m_Dao, kHead) ? 1 : 0;
}

int CMerroDao::On_Get_DAO(const CString& text) {
  if (text.GetLength() < 1) return 0;
  m_nLength = text.GetLength();
  if (m_nLength <= kHead) {
    m_nLength = 0;
    return 0;
  }
  memcpy(m_Dao, static_cast<LPCTSTR>(text), kHead);
  return 1;
}

// ---- files ----------------------------------------------------------------

int CMerroDao::On_JiaMi_File(CString name) {
  return Guarded([&] {
    CFile file;
    if (!file.Open(name, CFile::modeRead | CFile::shareDenyNone)) return 0;
    long length = long(file.GetLength());
    if (length <= 0) return 0;  // an empty file stays as it is
    // The data is read behind room for the header, so the new form is
    // written from one buffer.
    Buffer form = NewBuffer(kHead + length);
    if (!form || !merro::ReadExactly(file, form.get() + kHead, size_t(length))) return 0;
    file.Close();
    On_JiaMi(form.get() + kHead, 0, length);
    memcpy(form.get(), m_Dao, kHead);
    return WriteWholeFile(static_cast<LPCTSTR>(name), View(form.get(), size_t(kHead + length))) ? 1 : 0;
  });
}

// Reads the n data bytes from the file's position into `data`, unscrambled
// as On_JieMi does it (header unmixed, then every byte from data position
// 0), one piece at a time while the piece is still in the cache: the XOR
// then costs next to nothing beside the read. A short read leaves the
// header stored, as it was taken.
bool CMerroDao::On_Read_JieMi(CFile& file, unsigned char* data, long n) {
  const long kPiece = 256 << 10;
  On_JieMiDao();
  for (long done = 0; done < n;) {
    const long piece = std::min(kPiece, n - done);
    unsigned char* at = data + done;
    if (!merro::ReadExactly(file, at, size_t(piece))) {
      On_JiaMiDao();
      return false;
    }
    On_Deal(&at, done, piece);
    done += piece;
  }
  return true;
}

int CMerroDao::On_JieMi_File(CString name, unsigned char** buf, long& len) {
  if (buf == NULL) return 0;
  return Guarded([&] {
    CFile file;
    if (!file.Open(name, CFile::modeRead | CFile::shareDenyNone)) return 0;
    if (!On_Get_DAO(&file)) return 0;
    len = m_nLength - kHead;
    operator delete(*buf);
    *buf = NULL;
    Buffer data = NewBuffer(len);
    if (!data) return 0;
    file.Seek(kHead, CFile::begin);
    if (!On_Read_JieMi(file, data.get(), len)) return 0;
    file.Close();
    *buf = data.release();
    return 1;
  });
}

int CMerroDao::On_JieMi_File(CString name, unsigned char** buf, long offset, long length) {
  if (buf == NULL || offset < 0 || length < 0) return 0;
  return Guarded([&] {
    CFile file;
    if (!file.Open(name, CFile::modeRead | CFile::shareDenyNone)) return 0;
    if (!On_Get_DAO(&file)) return 0;
    operator delete(*buf);
    *buf = NULL;
    Buffer data = NewBuffer(length);
    if (!data) return 0;
    // Only the part of the slice inside the data is read; the rest is zero.
    long inside = std::clamp(m_nLength - kHead - offset, 0L, length);
    if (inside > 0) {
      file.Seek(kHead + offset, CFile::begin);
      if (!merro::ReadExactly(file, data.get(), size_t(inside))) return 0;
    }
    memset(data.get() + inside, 0, size_t(length - inside));
    file.Close();
    *buf = data.release();
    On_JieMi(buf, offset, inside);
    return 1;
  });
}

int CMerroDao::On_JieMi_File(CString name) {
  return Guarded([&] {
    CFile file;
    if (!file.Open(name, CFile::modeRead | CFile::shareDenyNone)) return 0;
    if (!On_Get_DAO(&file)) return 0;
    long length = m_nLength - kHead;
    Buffer data = NewBuffer(length);
    if (!data) return 0;
    file.Seek(kHead, CFile::begin);
    if (!On_Read_JieMi(file, data.get(), length)) return 0;
    file.Close();
    unsigned char* plain = data.get();
    return WriteWholeFile(static_cast<LPCTSTR>(name), View(plain, size_t(length))) ? 1 : 0;
  });
}

// ---- strings --------------------------------------------------------------

int CMerroDao::On_JiaMi_String(CString& text) {
  return Guarded([&] {
    long n = text.GetLength();
    if (n < 1 || n > INT32_MAX - kHead) return 0;
    Buffer data = NewBuffer(n);
    if (!data) return 0;
    memcpy(data.get(), static_cast<LPCTSTR>(text), size_t(n));
    On_JiaMi(data.get(), 0, n);
    char* out = text.GetBufferSetLength(int(n + kHead));
    memcpy(out, m_Dao, kHead);
    memcpy(out + kHead, data.get(), size_t(n));
    text.ReleaseBuffer(int(n + kHead));
    return 1;
  });
}

int CMerroDao::On_JieMi_String(CString& text) {
  return Guarded([&] {
    if (!On_Get_DAO(text)) return 0;
    long n = m_nLength - kHead;
    Buffer data = NewBuffer(n);
    if (!data) return 0;
    memcpy(data.get(), static_cast<LPCTSTR>(text) + kHead, size_t(n));
    unsigned char* plain = data.get();
    On_JieMi(&plain, 0, n);
    text = CString(reinterpret_cast<LPCTSTR>(plain), int(n));
    return 1;
  });
}

// ---- merging --------------------------------------------------------------

// Appends the plain bytes of a merge input to `out`: unscrambled when the
// flag is 1 and the file holds the scrambled form, else the bytes as they
// are on disk. 0 when the file cannot be read.
int CMerroDao::On_Read_Plain(const CString& name, int scrambled, std::vector<BYTE>& out) {
  unsigned char* data = NULL;
  long length = 0;
  if (scrambled == 1 && On_JieMi_File(name, &data, length) == 1) {
    out.insert(out.end(), data, data + length);
    operator delete(data);
    return 1;
  }
  std::optional<std::string> bytes = ReadWholeFile(static_cast<LPCTSTR>(name));
  if (!bytes) return 0;
  out.insert(out.end(), bytes->begin(), bytes->end());
  return 1;
}

int CMerroDao::On_Merge_File(CString first, CString second, int scrambled) {
  return Guarded([&] {
    // Copies of both inputs as they were; a failed copy does not stop the merge.
    CopyFile(static_cast<LPCTSTR>(first), static_cast<LPCTSTR>(first + ".bak"), FALSE);
    CopyFile(static_cast<LPCTSTR>(second), static_cast<LPCTSTR>(second + ".bak"), FALSE);
    // Both inputs are taken into memory behind room for the new header;
    // neither is rewritten on the way, so a failure leaves both as they
    // were. A missing first file counts as empty.
    std::vector<BYTE> form(kHead);
    if (!On_Read_Plain(first, scrambled, form) && FileExists(static_cast<LPCTSTR>(first))) return 0;
    if (!On_Read_Plain(second, scrambled, form)) return 0;
    // The first file becomes the scrambled form of both, in one replacement.
    if (!On_JiaMi(form.data() + kHead, 0, long(form.size()) - kHead)) return 0;
    memcpy(form.data(), m_Dao, kHead);
    return WriteWholeFile(static_cast<LPCTSTR>(first), View(form.data(), form.size())) ? 1 : 0;
  });
}
