// A second X client for the window tests, plain Xlib. Its windows are
// described on the command line (titles in UTF-8):
//   --top TITLE           a top-level window (_NET_WM_NAME and WM_NAME)
//   --latin1              ... whose title is only a Latin-1 WM_NAME
//   --unmapped            ... left unmapped
//   --nodelete            ... not taking WM_DELETE_WINDOW
//   --geom X Y W H        ... placed there
//   --class NAME CLASS    ... with that WM_CLASS
//   --child TEXT X Y W H  a mapped child window of the last top-level
//   --send-close ID       only send WM_DELETE_WINDOW to window ID and exit
// Prints "win N 0xID" for each window in order, then "ready" once every mapped
// window is mapped; prints "closed N" and destroys a window when asked to
// close it, and exits when no top-level window is left.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

struct Win {
  std::string title;
  bool top = true, latin1 = false, mapped = true, takesDelete = true;
  int x = 10, y = 10, w = 200, h = 100;
  std::string resName, resClass;
  int parent = -1;
  Window id = 0;
  bool alive = true;
};

int main(int argc, char** argv) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 2;
  Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False), del = XInternAtom(d, "WM_DELETE_WINDOW", False);
  Atom netName = XInternAtom(d, "_NET_WM_NAME", False), utf8 = XInternAtom(d, "UTF8_STRING", False);
  std::vector<Win> wins;
  int lastTop = -1;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto need = [&](int n) {
      if (i + n >= argc) exit(3);
    };
    if (a == "--send-close") {
      need(1);
      XEvent ev{};
      ev.xclient.type = ClientMessage;
      ev.xclient.window = strtoul(argv[++i], nullptr, 0);
      ev.xclient.message_type = protocols;
      ev.xclient.format = 32;
      ev.xclient.data.l[0] = long(del);
      XSendEvent(d, ev.xclient.window, False, NoEventMask, &ev);
      XSync(d, False);
      return 0;
    } else if (a == "--top") {
      need(1);
      wins.push_back({});
      wins.back().title = argv[++i];
      lastTop = int(wins.size()) - 1;
    } else if (a == "--child") {
      need(5);
      Win c;
      c.top = false;
      c.parent = lastTop;
      c.title = argv[++i];
      c.x = atoi(argv[++i]);
      c.y = atoi(argv[++i]);
      c.w = atoi(argv[++i]);
      c.h = atoi(argv[++i]);
      wins.push_back(c);
    } else if (lastTop < 0) {
      return 3;
    } else if (a == "--latin1") {
      wins[lastTop].latin1 = true;
    } else if (a == "--unmapped") {
      wins[lastTop].mapped = false;
    } else if (a == "--nodelete") {
      wins[lastTop].takesDelete = false;
    } else if (a == "--geom") {
      need(4);
      Win& w = wins[lastTop];
      w.x = atoi(argv[++i]);
      w.y = atoi(argv[++i]);
      w.w = atoi(argv[++i]);
      w.h = atoi(argv[++i]);
    } else if (a == "--class") {
      need(2);
      wins[lastTop].resName = argv[++i];
      wins[lastTop].resClass = argv[++i];
    } else {
      return 3;
    }
  }
  int screen = DefaultScreen(d);
  for (Win& w : wins) {
    Window parent = w.top ? RootWindow(d, screen) : wins[w.parent].id;
    w.id = XCreateSimpleWindow(d, parent, w.x, w.y, w.w, w.h, 0, BlackPixel(d, screen), WhitePixel(d, screen));
    XSelectInput(d, w.id, StructureNotifyMask);
    const unsigned char* t = reinterpret_cast<const unsigned char*>(w.title.data());
    int n = int(w.title.size());
    if (w.latin1) {
      // Two-byte UTF-8 sequences of U+0080..U+00FF become their Latin-1 byte.
      std::string l1;
      for (size_t k = 0; k < w.title.size(); ++k) {
        unsigned char c = w.title[k];
        if ((c == 0xC2 || c == 0xC3) && k + 1 < w.title.size())
          l1 += char(((c & 0x03) << 6) | (w.title[++k] & 0x3F));
        else
          l1 += char(c);
      }
      XChangeProperty(d, w.id, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(l1.data()), int(l1.size()));
    } else {
      XChangeProperty(d, w.id, netName, utf8, 8, PropModeReplace, t, n);
      XChangeProperty(d, w.id, XA_WM_NAME, utf8, 8, PropModeReplace, t, n);
    }
    if (w.top && w.takesDelete) XSetWMProtocols(d, w.id, &del, 1);
    if (!w.resName.empty()) {
      XClassHint hint{w.resName.data(), w.resClass.data()};
      XSetClassHint(d, w.id, &hint);
    }
  }
  size_t waiting = 0;
  for (Win& w : wins)
    if (w.mapped && (w.top || wins[w.parent].mapped)) {
      XMapWindow(d, w.id);
      ++waiting;
    }
  XSync(d, False);
  while (waiting > 0) {
    XEvent ev;
    XNextEvent(d, &ev);
    if (ev.type == MapNotify) --waiting;
  }
  for (size_t i = 0; i < wins.size(); ++i) printf("win %zu 0x%lx\n", i, wins[i].id);
  printf("ready\n");
  fflush(stdout);
  for (;;) {
    XEvent ev;
    XNextEvent(d, &ev);
    if (ev.type != ClientMessage || ev.xclient.message_type != protocols || Atom(ev.xclient.data.l[0]) != del)
      continue;
    int left = 0;
    for (size_t i = 0; i < wins.size(); ++i) {
      Win& w = wins[i];
      if (w.id == ev.xclient.window && w.alive) {
        printf("closed %zu\n", i);
        fflush(stdout);
        XDestroyWindow(d, w.id);
        XSync(d, False);
        w.alive = false;
      }
      left += w.top && w.alive;
    }
    if (!left) return 0;
  }
}
