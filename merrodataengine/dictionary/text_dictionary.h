// The text dictionaries (pinyin "src_hz_pinyin", English "src_hz_english",
// radical "src_hz_ppbs"), each a pair of files held in memory: ".idx" is an
// array of int32 byte offsets into ".dat", indexed by character position;
// at each offset ".dat" holds an int32 length L and L bytes of GBK text.
#pragma once
#include "platform/mfc/cstring.h"

namespace engine {

// Little-endian int32 at p.
int Int32At(const unsigned char* p);

// The text of entry `entry`; a text that runs past the end of the text
// buffer is cut there. 0 (and *out untouched) for an entry outside the
// offsets, or an offset or length that does not lie in the text buffer.
int DictionaryText(const unsigned char* offsets, long offsetsLength, const unsigned char* text, long textLength,
                   long entry, CString* out);

}  // namespace engine
