#include "merrodataengine/dictionary/text_dictionary.h"

#include <algorithm>
#include <cstdint>

namespace engine {

int Int32At(const unsigned char* p) {
  return int(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

int DictionaryText(const unsigned char* offsets, long offsetsLength, const unsigned char* text, long textLength,
                   long entry, CString* out) {
  if (!offsets || !text || !out || entry < 0 || entry > (offsetsLength - 4) / 4 || offsetsLength < 4) return 0;
  const long at = Int32At(offsets + 4 * entry);
  // The length field must be there; the text may end early.
  if (at < 0 || at > textLength - 4) return 0;
  const long length = Int32At(text + at);
  if (length < 0) return 0;
  const long available = std::min(long(length), textLength - at - 4);
  *out = CString(reinterpret_cast<const char*>(text + at + 4), int(available));
  return 1;
}

}  // namespace engine
