// The pointer and the keyboard as the X server sees them, whichever window
// has the focus (the on-screen keyboard never has it).
#pragma once
#include "platform/windef.h"

// Moves the pointer; the point is clamped to the screen.
BOOL SetCursorPos(int x, int y);
BOOL GetCursorPos(POINT* p);

// VK_SHIFT, VK_CONTROL, VK_MENU (either key of the pair), VK_CAPITAL,
// VK_LBUTTON, VK_RBUTTON, VK_MBUTTON: 0x8000 set while down; for VK_CAPITAL
// bit 0 is set while Caps Lock is on. Other keys: 0.
SHORT GetKeyState(int vk);
// The same state; bit 0 ("pressed since the last call") is never set.
SHORT GetAsyncKeyState(int vk);
