#pragma once
#include <functional>
#include <optional>
#include <string>

namespace app {

// Asked before the application object exists: Qt aborts (status 134) when its
// platform plugin finds no display, so the program looks first and, when none
// can be reached, says so in one line and ends with status 1.
class DisplayCheck {
 public:
  using Getenv = std::function<std::optional<std::string>(const char* name)>;
  using Probe = std::function<bool(const std::string& address)>;

  struct Outcome {
    std::string problem;       // empty: go ahead; else the line to print
    bool chooseWayland = false;  // only Wayland answers and no platform was chosen
  };

  // platform: from -platform, else QT_QPA_PLATFORM, else Qt's default (X11
  // first, then Wayland). Platforms that need no display (offscreen, vnc, ...)
  // are never refused. x11 gets the display name ("" for $DISPLAY), wayland
  // the socket's path.
  static Outcome Check(const std::string& platform, const std::string& display, const Getenv& getenv,
                       const Probe& x11, const Probe& wayland);
  // The same on the process's environment and real connections.
  static Outcome Check(const std::string& platform, const std::string& display);

  static bool X11Reachable(const std::string& display);
  static bool WaylandReachable(const std::string& socketPath);
};

}  // namespace app
