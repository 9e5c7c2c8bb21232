// Tells from outside when the program's four video panels first show live
// video, for bench/run's launch row: the time a user waits for the picture,
// whatever the program does inside.
//
//   quadrovia-panels <window name> <start, ns since the epoch> <timeout s>
//
// Looks for the top-level window of that name and, every 5 ms, reads a small
// box at the centre of each quarter of its video area (the window less the
// 90-pixel control panel at its right edge). A panel is live once most of
// its box is neither near-black (an empty video window) nor near the colour
// of the control panel (the form's background): the synthetic cameras paint
// coloured patterns there. Prints, in milliseconds since the start given:
//   window <ms>          the window first seen mapped
//   panel <n> <ms>       panel n (1..4, rows first) first seen live
// and ends with status 0 once all four are live, 1 at the timeout.
// A few small reads per poll, so the watch itself costs the display little.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr int kControlPanelWidth = 90;
constexpr int kBoxWidth = 48, kBoxHeight = 36;
constexpr int kNear = 24;

long long NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

std::string NameOf(Display* display, Window window) {
  char* name = nullptr;
  std::string result;
  if (XFetchName(display, window, &name) && name) result = name;
  if (name) XFree(name);
  return result;
}

Window FindWindow(Display* display, const std::string& wanted) {
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned int count = 0;
  Window found = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    if (NameOf(display, children[i]) == wanted) found = children[i];
  }
  if (children) XFree(children);
  return found;
}

bool Near(unsigned long pixel, unsigned long other) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((pixel >> shift) & 0xff), b = static_cast<int>((other >> shift) & 0xff);
    if (std::abs(a - b) > kNear) return false;
  }
  return true;
}

// Whether the box at (x, y) shows video: most of its pixels are neither
// black nor the background.
bool Live(Display* display, Window window, int x, int y, unsigned long background) {
  XImage* image = XGetImage(display, window, x, y, kBoxWidth, kBoxHeight, AllPlanes, ZPixmap);
  if (!image) return false;
  int coloured = 0;
  for (int j = 0; j < kBoxHeight; ++j)
    for (int i = 0; i < kBoxWidth; ++i) {
      const unsigned long pixel = XGetPixel(image, i, j);
      if (!Near(pixel, 0) && !Near(pixel, background)) ++coloured;
    }
  XDestroyImage(image);
  return coloured * 2 > kBoxWidth * kBoxHeight;
}

unsigned long PixelAt(Display* display, Window window, int x, int y) {
  XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return pixel;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: quadrovia-panels <window name> <start ns since the epoch> <timeout s>\n");
    return 2;
  }
  const std::string name = argv[1];
  const long long start = std::atoll(argv[2]);
  const long long deadline = NowNs() + static_cast<long long>(std::atof(argv[3]) * 1e9);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "quadrovia-panels: no display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  const auto sinceStart = [start] { return (NowNs() - start) / 1'000'000; };
  Window window = 0;
  std::array<bool, 4> live{};
  int left = 4;
  while (left > 0 && NowNs() < deadline) {
    if (!window && (window = FindWindow(display, name))) std::printf("window %lld\n", sinceStart());
    XWindowAttributes attributes;
    if (window && XGetWindowAttributes(display, window, &attributes) && attributes.width > kControlPanelWidth) {
      const int videoWidth = attributes.width - kControlPanelWidth;
      const unsigned long background = PixelAt(display, window, attributes.width - 5, attributes.height / 2);
      for (int n = 0; n < 4; ++n) {
        if (live[n]) continue;
        const int x = videoWidth * (1 + 2 * (n % 2)) / 4 - kBoxWidth / 2;
        const int y = attributes.height * (1 + 2 * (n / 2)) / 4 - kBoxHeight / 2;
        if (!Live(display, window, x, y, background)) continue;
        live[n] = true;
        --left;
        std::printf("panel %d %lld\n", n + 1, sinceStart());
      }
    }
    std::fflush(stdout);
    if (left > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  XCloseDisplay(display);
  return left == 0 ? 0 : 1;
}
