// Arbitrary bytes through every reading operation of CMerroDao: whole-file,
// slice, in-place and string unscrambling must agree with each other, and a
// string scrambled with a header drawn from the input must come back.
#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "merrobase/dao.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFiles files;
  std::string name = files.Write("in.dat", data, size);
  CMerroDao dao;
  const bool form = size > 6;

  unsigned char* whole = NULL;
  long len = -1;
  FUZZ_CHECK(dao.On_JieMi_File(name.c_str(), &whole, len) == int(form));
  std::vector<unsigned char> plain;
  if (form) {
    FUZZ_CHECK(len == long(size) - 6);
    plain.assign(whole, whole + len);
  }
  operator delete(whole);

  // Offsets and lengths from the first two bytes, negative ones included.
  long offset = size > 0 ? long(data[0]) - 8 : 0;
  long length = size > 1 ? long(data[1]) - 8 : 0;
  unsigned char* slice = NULL;
  int r = dao.On_JieMi_File(name.c_str(), &slice, offset, length);
  FUZZ_CHECK(r == int(form && offset >= 0 && length >= 0));
  for (long i = 0; r == 1 && i < length; ++i)
    FUZZ_CHECK(slice[i] == (offset + i < long(plain.size()) ? plain[size_t(offset + i)] : 0));
  operator delete(slice);

  CString text(reinterpret_cast<const char*>(data), int(size));
  FUZZ_CHECK(dao.On_JieMi_String(text) == int(form));
  if (form) FUZZ_CHECK(text.GetLength() == long(plain.size()) && !memcmp(text, plain.data(), plain.size()));

  FUZZ_CHECK(dao.On_JieMi_File(name.c_str()) == int(form));

  // Scrambling with a header taken from the input restores exactly.
  CString again(reinterpret_cast<const char*>(data), int(size));
  size_t next = 0;
  dao.m_nSleep = 0;
  dao.m_fnKeySource = [&] { return size ? int(data[next++ % size]) : 0; };
  FUZZ_CHECK(dao.On_JiaMi_String(again) == int(size > 0));
  FUZZ_CHECK(CMerroDao().On_JieMi_String(again) == int(size > 0));
  FUZZ_CHECK(again.GetLength() == int(size) && (size == 0 || !memcmp(again, data, size)));
  return 0;
}
