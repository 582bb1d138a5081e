// Top-level X windows that are created and never mapped: the application's
// own window, message-only windows. Other processes see them in their walks.
#pragma once
#include "platform/windef.h"

#include <string_view>
#include <vector>

namespace win {

// An unmapped top-level window titled `gbkTitle`; 0 without an X display.
// A window class name, when given, is its WM_CLASS (name and class), which
// FindWindow matches.
HWND CreateHiddenWindow(std::string_view gbkTitle, std::string_view className = {});
// Those made and not yet destroyed.
std::vector<HWND> HiddenWindows();

}  // namespace win

// Destroys a window made by CreateHiddenWindow (its procedure and timers go
// with it). Other windows are not this process's to destroy: FALSE.
BOOL DestroyWindow(HWND h);
