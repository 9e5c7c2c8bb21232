// A minimal window manager for end-to-end tests that tells when top-level
// windows appear and go, and what a window showed when it went. It maps
// every window that asks, grants every configure request, and prints, with
// milliseconds since start:
//   ready
//   map <ms> <name>
//   painted <ms> <name>     just before "unmap": the window showed the pixels
//   unpainted <ms> <name>   given for its name up to the moment it went
//   unmap <ms> <name>
// Windows are redirected with the Composite extension, and the watcher keeps
// a reference to each checked window's pixmap from the moment it maps it, so
// the last contents can be read after the unmap, however quickly it came.
// Options: --pixel NAME X Y =RRGGBB (or !RRGGBB for "anything but"), repeated.
// Runs until killed.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

struct PixelCheck {
  std::string name;
  int x, y;
  bool equal;
  unsigned long rgb;
};

struct Watched {
  std::string name;
  Pixmap contents = 0;
};

const auto start = std::chrono::steady_clock::now();

long Ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

void Say(const char* what, const std::string& name) {
  std::printf("%s %ld %s\n", what, Ms(), name.c_str());
  std::fflush(stdout);
}

std::string NameOf(Display* display, Window window) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string name;
  const Atom utf8Name = XInternAtom(display, "_NET_WM_NAME", False);
  if (XGetWindowProperty(display, window, utf8Name, 0, 256, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success && data) {
    name.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  char* plain = nullptr;
  if (name.empty() && XFetchName(display, window, &plain) && plain) {
    name = plain;
    XFree(plain);
  }
  return name;
}

std::vector<PixelCheck> Parse(int argc, char** argv) {
  std::vector<PixelCheck> checks;
  for (int i = 1; i + 4 < argc && std::string(argv[i]) == "--pixel"; i += 5) {
    const std::string want = argv[i + 4];
    checks.push_back({argv[i + 1], std::atoi(argv[i + 2]), std::atoi(argv[i + 3]), want[0] == '=',
                      std::strtoul(want.c_str() + 1, nullptr, 16)});
  }
  return checks;
}

bool Checked(const std::vector<PixelCheck>& checks, const std::string& name) {
  for (const PixelCheck& c : checks)
    if (c.name == name) return true;
  return false;
}

bool Shows(Display* display, Drawable contents, const std::vector<PixelCheck>& checks, const std::string& name) {
  for (const PixelCheck& c : checks) {
    if (c.name != name) continue;
    XImage* image = XGetImage(display, contents, c.x, c.y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    const unsigned long rgb = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    if ((rgb == c.rgb) != c.equal) return false;
  }
  return true;
}

void Configure(Display* display, const XConfigureRequestEvent& request) {
  XWindowChanges changes{request.x, request.y, request.width, request.height, request.border_width,
                         request.above, request.detail};
  XConfigureWindow(display, request.window, static_cast<unsigned>(request.value_mask), &changes);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<PixelCheck> checks = Parse(argc, argv);
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  XSetErrorHandler(IgnoreErrors);
  const Window root = DefaultRootWindow(display);
  XCompositeRedirectSubwindows(display, root, CompositeRedirectAutomatic);
  XSelectInput(display, root, SubstructureRedirectMask | SubstructureNotifyMask);
  XSync(display, False);
  std::printf("ready\n");
  std::fflush(stdout);
  std::map<Window, Watched> windows;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ConfigureRequest) {
      Configure(display, event.xconfigurerequest);
    } else if (event.type == MapRequest) {
      const Window window = event.xmaprequest.window;
      Watched& w = windows[window];
      w.name = NameOf(display, window);
      XMapWindow(display, window);
      if (Checked(checks, w.name)) w.contents = XCompositeNameWindowPixmap(display, window);
      XFlush(display);
    } else if (event.type == MapNotify && event.xmap.event == root) {
      Watched& w = windows[event.xmap.window];
      if (w.name.empty()) w.name = NameOf(display, event.xmap.window);
      Say("map", w.name);
    } else if (event.type == UnmapNotify && event.xunmap.event == root && !event.xunmap.send_event) {
      Watched& w = windows[event.xunmap.window];
      if (w.contents) {
        Say(Shows(display, w.contents, checks, w.name) ? "painted" : "unpainted", w.name);
        XFreePixmap(display, w.contents);
        w.contents = 0;
      }
      Say("unmap", w.name);
    }
  }
}
