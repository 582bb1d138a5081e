// DAT_CAPABILITY for an open source: the capabilities TWAIN applications
// negotiate, each mapped to the device setting or source setting behind it.
#pragma once
#include "platform/twain_dsm/open_source.h"
#include "twain/twain.h"

namespace twain_dsm {

// MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET or MSG_SET; on failure
// *cc tells why. The container the source answers with is the caller's to
// free; the one an application sets stays the application's.
TW_UINT16 CapabilityCall(OpenSource& source, TW_UINT16 msg, TW_CAPABILITY* cap, TW_UINT16* cc);

}  // namespace twain_dsm
