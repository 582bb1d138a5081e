// Private to platform/win: Xlib on Qt's own X connection. Include after any
// Qt header (Xlib defines macros such as None, Bool and Status).
#pragma once
#include "platform/windef.h"

#include <X11/Xlib.h>
// X event names that are also QEvent names; this layer uses Qt's.
#undef Expose
#undef FocusIn
#undef FocusOut
#undef KeyPress
#undef KeyRelease

#include <string>
#include <vector>

class QWindow;

namespace win::x11 {

// Qt's display; nullptr without an xcb platform or off the GUI thread (the
// connection is not shared with other threads).
Display* Dpy();
Window Root();
Atom AtomOf(const char* name);

// Collects the errors of the requests made while it lives, so that a window
// vanishing under a call gives a failed result instead of a stray error.
class ErrorTrap {
 public:
  ErrorTrap();
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Waits for the server's answer to every request so far.
  bool Failed();

 private:
  int (*old_)(Display*, XErrorEvent*);
  int start_;
};

struct Property {
  Atom type = 0;
  int format = 0;
  std::string bytes;  // items of 8 bits; of 32-bit items, longs as Xlib hands them
  unsigned long items = 0;
};
bool GetProperty(Window w, Atom name, Property* out);
bool GetAttributes(Window w, XWindowAttributes* out);
bool Exists(Window w);

// Children in stacking order, bottom first; empty on failure.
std::vector<Window> Children(Window w);
Window Parent(Window w);
bool HasWmState(Window w);

// A window manager redirects the root's substructure; an EWMH one also names
// its check window.
bool WmRedirects();
bool EwmhWm();

// The EWMH client message to the root about window w.
void SendRootMessage(Window w, Atom type, long d0, long d1 = 0, long d2 = 0, long d3 = 0, long d4 = 0);

// _NET_WM_STATE: change one or two states of window w. With a window manager
// that manages w this asks it (action 0 remove, 1 add); otherwise the
// property is written, which is what a window manager reads when mapping.
void ChangeNetWmState(Window w, bool add, Atom a, Atom b = 0);

// The Qt window of this process whose X window is h, or nullptr.
QWindow* OwnWindow(HWND h);

// The top-level window (the client under a window manager's frame) that h
// belongs to: h itself for a top-level, 0 when h is not a window.
HWND TopLevelOf(HWND h);
// The top-level for a child of the root, looking through a frame.
Window ClientOfRootChild(Window rootChild, bool lookThrough);

// Text properties: UTF-8 from UTF8_STRING, STRING (Latin-1) or COMPOUND_TEXT.
bool ReadUtf8Text(Window w, Atom name, std::string* utf8);
// WM_NAME (STRING when Latin-1 suffices, else UTF8_STRING) and _NET_WM_NAME.
void WriteName(Window w, const std::string& utf8);

}  // namespace win::x11
