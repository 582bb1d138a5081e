// Character index files "Merro%04ld.idx" (numbers 1 to 22, scrambled): one
// 15-byte record per character position, {3 bytes not read, int32 offset
// and int32 length of the character's stroke record, int32 number of the
// stroke file "Merro%04ld.dat" holding it}, little-endian.
//
// Level-1 positions (0..3754) lie 300 to a file in files 1..12, the last
// holding 455; level-2 positions (3755..6762) likewise in files 13..22, the
// last holding 308.
#pragma once
#include "platform/mfc/cstring.h"

namespace engine {

// Index file number (1..22) and record of a character position; false for
// a position outside 0..6762.
bool IndexPlace(long position, long& fileNumber, long& record);

// The index record of `character` (one GB2312 character) read from the
// index file in `folder` (read anew at every call). 0 for an empty folder
// name, any other text, a missing or unreadable file, a record outside it,
// or a record whose offset or length is negative (damaged).
int On_Get_Hanzi_Index(CString folder, CString character, int& offset, int& length, int& fileNumber);

}  // namespace engine
