// The walk over the top-level windows of all X clients, in stacking order
// from the top, unmapped windows included. Under a reparenting window manager
// a frame is looked through: the top-level is the client window below it that
// carries WM_STATE. GW_HWNDFIRST takes a fresh look at the screen; the
// GW_HWNDNEXT steps of a walk follow that look, so a window created meanwhile
// shows up in the next walk and one destroyed meanwhile has no text.
#pragma once
#include "platform/windef.h"

// GW_HWNDFIRST, GW_HWNDLAST, GW_HWNDNEXT, GW_HWNDPREV among h's siblings (the
// top-level windows when h is one), GW_CHILD: h's topmost child. 0 at the end.
HWND GetWindow(HWND h, UINT cmd);

// The first top-level window from the top whose WM_CLASS name or class equals
// `className` ignoring case (NULL: any) and whose text equals `windowName`
// exactly (NULL: any). 0 when none does.
HWND FindWindow(LPCSTR className, LPCSTR windowName);

// The deepest mapped window at the screen point, of any process: the topmost
// top-level there, then its child there, and so on. A point on a window
// manager's frame gives the frame's client. 0 when no window is there.
HWND WindowFromPoint(POINT p);

// TRUE for an existing X window. Off the GUI thread, which makes no X
// calls, only this process's windows that have a window procedure are
// known: TRUE for those, FALSE for any other.
BOOL IsWindow(HWND h);
