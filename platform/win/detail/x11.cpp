#include <QGuiApplication>
#include <QString>
#include <QThread>
#include <QWindow>

#include "platform/win/detail/x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <deque>
#include <unordered_map>

namespace win::x11 {
namespace {

int g_errors = 0;
int RecordError(Display*, XErrorEvent*) {
  ++g_errors;
  return 0;
}

}  // namespace

Display* Dpy() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app || QThread::currentThread() != app->thread()) return nullptr;
  auto* x = app->nativeInterface<QNativeInterface::QX11Application>();
  return x ? x->display() : nullptr;
}

Window Root() {
  Display* d = Dpy();
  return d ? DefaultRootWindow(d) : 0;
}

Atom AtomOf(const char* name) {
  static Display* cachedFor = nullptr;
  static std::unordered_map<std::string, Atom> cache;
  Display* d = Dpy();
  if (!d) return 0;
  if (cachedFor != d) {
    cache.clear();
    cachedFor = d;
  }
  auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  Atom a = XInternAtom(d, name, False);
  cache.emplace(name, a);
  return a;
}

ErrorTrap::ErrorTrap() : old_(XSetErrorHandler(RecordError)), start_(g_errors) {}

ErrorTrap::~ErrorTrap() { XSetErrorHandler(old_); }

bool ErrorTrap::Failed() {
  if (Display* d = Dpy()) XSync(d, False);
  return g_errors != start_;
}

bool GetProperty(Window w, Atom name, Property* out) {
  Display* d = Dpy();
  if (!d || !w || !name) return false;
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  ErrorTrap trap;
  int r = XGetWindowProperty(d, w, name, 0, 1 << 20, False, AnyPropertyType, &type, &format, &items, &after,
                             &data);
  if (r != Success || type == 0) {
    if (data) XFree(data);
    return false;
  }
  size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
  out->type = type;
  out->format = format;
  out->items = items;
  out->bytes.assign(reinterpret_cast<const char*>(data), items * unit);
  XFree(data);
  return true;
}

bool GetAttributes(Window w, XWindowAttributes* out) {
  Display* d = Dpy();
  if (!d || !w) return false;
  ErrorTrap trap;
  return XGetWindowAttributes(d, w, out) != 0;
}

bool Exists(Window w) {
  XWindowAttributes a;
  return GetAttributes(w, &a);
}

std::vector<Window> Children(Window w) {
  std::vector<Window> out;
  Display* d = Dpy();
  if (!d || !w) return out;
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned int n = 0;
  ErrorTrap trap;
  if (XQueryTree(d, w, &root, &parent, &kids, &n)) out.assign(kids, kids + n);
  if (kids) XFree(kids);
  return out;
}

Window Parent(Window w) {
  Display* d = Dpy();
  if (!d || !w) return 0;
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned int n = 0;
  ErrorTrap trap;
  if (!XQueryTree(d, w, &root, &parent, &kids, &n)) parent = 0;
  if (kids) XFree(kids);
  return parent;
}

bool HasWmState(Window w) {
  Property p;
  return GetProperty(w, AtomOf("WM_STATE"), &p);
}

bool WmRedirects() {
  XWindowAttributes a;
  return GetAttributes(Root(), &a) && (a.all_event_masks & SubstructureRedirectMask);
}

bool EwmhWm() {
  auto checkWindow = [](Window w) -> Window {
    Property p;
    if (!GetProperty(w, AtomOf("_NET_SUPPORTING_WM_CHECK"), &p) || p.format != 32 || p.items < 1) return 0;
    return Window(reinterpret_cast<const long*>(p.bytes.data())[0]);
  };
  Window w = checkWindow(Root());
  return w && checkWindow(w) == w;
}

void SendRootMessage(Window w, Atom type, long d0, long d1, long d2, long d3, long d4) {
  Display* d = Dpy();
  if (!d) return;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = type;
  ev.xclient.format = 32;
  long data[5] = {d0, d1, d2, d3, d4};
  for (int i = 0; i < 5; ++i) ev.xclient.data.l[i] = data[i];
  ErrorTrap trap;
  XSendEvent(d, Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  XFlush(d);
}

void ChangeNetWmState(Window w, bool add, Atom a, Atom b) {
  Display* d = Dpy();
  if (!d || !w) return;
  Atom state = AtomOf("_NET_WM_STATE");
  if (EwmhWm() && HasWmState(w)) {
    // Source 2: a pager-like request, which window managers carry out
    // without applying their focus-stealing rules.
    SendRootMessage(w, state, add ? 1 : 0, long(a), long(b), 2);
    return;
  }
  std::vector<long> atoms;
  Property p;
  if (GetProperty(w, state, &p) && p.format == 32) {
    const long* v = reinterpret_cast<const long*>(p.bytes.data());
    atoms.assign(v, v + p.items);
  }
  for (Atom x : {a, b}) {
    if (!x) continue;
    auto it = std::find(atoms.begin(), atoms.end(), long(x));
    if (add && it == atoms.end()) atoms.push_back(long(x));
    if (!add && it != atoms.end()) atoms.erase(it);
  }
  ErrorTrap trap;
  XChangeProperty(d, w, state, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(atoms.data()),
                  int(atoms.size()));
  XFlush(d);
}

QWindow* OwnWindow(HWND h) {
  if (!h || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
  for (QWindow* w : QGuiApplication::allWindows())
    if (w->handle() && HWND(w->winId()) == h) return w;
  return nullptr;
}

Window ClientOfRootChild(Window rootChild, bool lookThrough) {
  if (!lookThrough || HasWmState(rootChild)) return rootChild;
  // Frames hold their client one to three levels down.
  std::deque<std::pair<Window, int>> queue{{rootChild, 0}};
  while (!queue.empty()) {
    auto [w, depth] = queue.front();
    queue.pop_front();
    if (depth > 0 && HasWmState(w)) return w;
    if (depth < 3)
      for (Window c : Children(w)) queue.push_back({c, depth + 1});
  }
  return rootChild;
}

HWND TopLevelOf(HWND h) {
  Window root = Root();
  if (!root || !h || h == root || !Exists(h)) return 0;
  bool wm = WmRedirects();
  Window w = h;
  for (;;) {
    if (wm && HasWmState(w)) return w;
    Window parent = Parent(w);
    if (!parent) return 0;
    if (parent == root) return ClientOfRootChild(w, wm);
    w = parent;
  }
}

bool ReadUtf8Text(Window w, Atom name, std::string* utf8) {
  Property p;
  if (!GetProperty(w, name, &p) || p.format != 8) return false;
  if (p.type == AtomOf("UTF8_STRING")) {
    *utf8 = p.bytes;
    return true;
  }
  if (p.type == AtomOf("COMPOUND_TEXT")) {
    XTextProperty tp;
    tp.value = reinterpret_cast<unsigned char*>(p.bytes.data());
    tp.encoding = p.type;
    tp.format = 8;
    tp.nitems = p.bytes.size();
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(Dpy(), &tp, &list, &count) >= Success && list) {
      utf8->clear();
      for (int i = 0; i < count; ++i) utf8->append(list[i]);
      XFreeStringList(list);
      return true;
    }
  }
  // STRING, and anything else readable as text, is Latin-1.
  QByteArray u = QString::fromLatin1(p.bytes.data(), qsizetype(p.bytes.size())).toUtf8();
  utf8->assign(u.constData(), size_t(u.size()));
  return true;
}

void WriteName(Window w, const std::string& utf8) {
  Display* d = Dpy();
  if (!d || !w) return;
  QString s = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
  QByteArray latin1 = s.toLatin1();
  bool isLatin1 = QString::fromLatin1(latin1) == s;
  ErrorTrap trap;
  auto put = [&](Atom name, Atom type, const QByteArray& bytes) {
    XChangeProperty(d, w, name, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()));
  };
  QByteArray u(utf8.data(), qsizetype(utf8.size()));
  put(AtomOf("_NET_WM_NAME"), AtomOf("UTF8_STRING"), u);
  if (isLatin1)
    put(XA_WM_NAME, XA_STRING, latin1);
  else
    put(XA_WM_NAME, AtomOf("UTF8_STRING"), u);
  XFlush(d);
}

}  // namespace win::x11
