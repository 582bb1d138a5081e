// The image triplets of an open source that has a picture for the
// application (states 6 and 7): its description, and its transfer as a
// native DIB, as memory strips or as a BMP file. On failure *cc tells why.
#pragma once
#include "platform/twain_dsm/open_source.h"
#include "twain/twain.h"

namespace twain_dsm {

TW_UINT16 ImageInfo(OpenSource& s, TW_IMAGEINFO* info, TW_UINT16* cc);
// *handle receives a GlobalAlloc block with the packed DIB, the
// application's to free.
TW_UINT16 NativeTransfer(OpenSource& s, TW_HANDLE* handle, TW_UINT16* cc);
TW_UINT16 SetupMemory(OpenSource& s, TW_SETUPMEMXFER* setup, TW_UINT16* cc);
// Whole rows, top-down, each padded to 4 bytes, samples red, green, blue.
TW_UINT16 MemoryTransfer(OpenSource& s, TW_IMAGEMEMXFER* strip, TW_UINT16* cc);
TW_UINT16 SetupFile(OpenSource& s, TW_UINT16 msg, TW_SETUPFILEXFER* setup, TW_UINT16* cc);
TW_UINT16 FileTransfer(OpenSource& s, TW_UINT16* cc);
TW_UINT16 Palette(OpenSource& s, TW_PALETTE8* palette, TW_UINT16* cc);

}  // namespace twain_dsm
