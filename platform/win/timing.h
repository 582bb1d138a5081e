// Waiting and the millisecond clock.
#pragma once
#include "platform/windef.h"

void Sleep(DWORD ms);
// Milliseconds since the system started (monotonic), wrapping at 2^32.
DWORD GetTickCount();
