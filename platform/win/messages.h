// Window messages. A window of this process registers a procedure for its
// handle; SendMessage runs it at once, PostMessage queues it for the GUI
// thread and may be called from any thread. Windows of other processes take
// only WM_CLOSE, as an ICCCM WM_DELETE_WINDOW request (asynchronous by
// nature: the call returns once the request is sent); every other message to
// them does nothing and returns 0.
#pragma once
#include "platform/windef.h"

#include <functional>

using WindowProc = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;

// Replaces any procedure registered for h. GUI thread.
void RegisterWindowProc(HWND h, WindowProc proc);
// Also stops the window's timers.
void UnregisterWindowProc(HWND h);

namespace win {
// Whether a procedure is registered for h; from any thread.
bool HasWindowProc(HWND h);
}  // namespace win

// Without a procedure, WM_CLOSE to a Qt window of this process runs Qt's close
// path (closeEvent) at once. From another thread the call waits for the GUI
// thread to run it.
LRESULT SendMessage(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);

// FALSE for h = 0 (there are no thread queues), for a window that does not
// exist (checked on the GUI thread only) and without an application object.
BOOL PostMessage(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);

// WM_TIMER (wParam = id) to h's procedure every `ms` milliseconds, on the GUI
// thread. Needs a registered procedure and an id other than 0; returns the id,
// or 0 when refused. A second call with the same id restarts the timer.
UINT_PTR SetTimer(HWND h, UINT_PTR id, UINT ms, void* unusedTimerProc = nullptr);
BOOL KillTimer(HWND h, UINT_PTR id);
