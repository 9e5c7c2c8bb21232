#pragma once
#include <cstdint>

namespace platform {

// The X server's own idle time (screen-saver extension). Kept apart from Qt
// code because the X headers define macros that clash with Qt names.
class X11Idle {
 public:
  // The application's X display, or nullptr when not on X11 or the server
  // lacks the extension.
  static void* Display();
  static bool IdleMilliseconds(void* display, std::uint32_t& ms);
};

}  // namespace platform
