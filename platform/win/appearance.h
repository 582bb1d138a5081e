// What the system looks like to the programs: the colours of 3-D elements
// and the border metrics. X11 has no such settings, so the layer keeps one
// fixed scheme (the classic light theme's values), the same on every
// desktop so that what is drawn with them is predictable.
#pragma once
#include "platform/windef.h"

// COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNTEXT, COLOR_BTNHIGHLIGHT,
// COLOR_3DDKSHADOW, COLOR_3DLIGHT; 0 (black) for another index.
COLORREF GetSysColor(int index);

// SM_CXBORDER and SM_CYBORDER: 1; 0 for another index.
int GetSystemMetrics(int index);
