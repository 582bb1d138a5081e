// Arbitrary bytes as a CMerroMap archive, plain and scrambled: reading never
// throws or crashes, and whatever loads exports and loads back the same.
#include "fuzz_input.h"
#include "merrobase/map.h"

namespace {
struct FuzzMap : CMerroMap {
  FuzzMap() { m_pDao->m_nSleep = 0; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFiles files;
  std::string name = files.Write("in.map", data, size);
  std::string out = files.Path("out.map");
  FuzzMap map;
  if (map.On_Read(name.c_str(), 0) == 1) {
    FUZZ_CHECK(map.On_Export(out.c_str(), 0) == 1);
    FuzzMap back;
    FUZZ_CHECK(back.On_Read(out.c_str(), 0) == 1 && back.GetCount() == map.GetCount());
    for (POSITION pos = map.GetStartPosition(); pos;) {
      CString key;
      CObject* value;
      map.GetNextAssoc(pos, key, value);
      void* found = NULL;
      FUZZ_CHECK(back.On_Get_Value(key, &found) == 1 &&
                 *static_cast<CString*>(found) == *reinterpret_cast<CString*>(value));
    }
  } else {
    FUZZ_CHECK(map.IsEmpty());
  }
  // Scrambled: files of 1..6 bytes would only raise the file-name message.
  if (size == 0 || size > 6) {
    FuzzMap scrambled;
    scrambled.On_Read(name.c_str(), 1);
  }
  return 0;
}
