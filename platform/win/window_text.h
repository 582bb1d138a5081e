// Window texts, for windows of every process: _NET_WM_NAME (UTF-8), else
// WM_NAME (UTF-8, Latin-1 or compound text), always handed out as GBK.
#pragma once
#include "platform/windef.h"

#include <string>
#include <string_view>

class QWidget;

// Copies at most n - 1 bytes of the GBK text and a NUL; a GBK character that
// would not fit whole is left out rather than split. Returns the bytes copied
// (0 for no text, no window, or n <= 0).
int GetWindowText(HWND h, LPSTR buf, int n);

// A Qt window of this process gets the text as its title; any other window
// gets WM_NAME and _NET_WM_NAME. FALSE when h is no window.
BOOL SetWindowText(HWND h, LPCSTR text);

namespace win {

// The whole text as GBK; empty for none.
std::string WindowText(HWND h);

// Makes w a native X child window whose window text is `gbk`, readable by
// other processes (the panels whose texts the keyboard protocol publishes).
// The text follows the widget when Qt creates its native window again.
void PublishWindowText(QWidget* w, std::string_view gbk);

// Gives a top-level window of this process exactly this text as its
// window text, the empty text included (Qt names an untitled window after
// the program, and another instance of the program would count that as
// its title). Written again whenever the window is shown, exposed or made
// anew.
void SetOwnWindowText(QWidget* topLevel, std::string_view gbk);

}  // namespace win
