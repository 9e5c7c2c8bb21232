#include "app/DisplayCheck.h"

#include <X11/Xlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace app {
namespace {

std::vector<std::string> Alternatives(const std::string& platform) {
  // Qt takes "name:arguments" and a ";"-separated list of names to try.
  std::vector<std::string> names;
  std::stringstream in(platform);
  std::string item;
  while (std::getline(in, item, ';')) {
    const std::string name = item.substr(0, item.find(':'));
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

// Where libwayland-client would connect: WAYLAND_DISPLAY, absolute or under
// XDG_RUNTIME_DIR. Empty when no Wayland display is named.
std::string WaylandSocket(const DisplayCheck::Getenv& getenv) {
  const auto name = getenv("WAYLAND_DISPLAY");
  if (!name || name->empty()) return {};
  if ((*name)[0] == '/') return *name;
  const auto runtime = getenv("XDG_RUNTIME_DIR");
  if (!runtime || runtime->empty()) return {};
  return *runtime + "/" + *name;
}

std::string Shown(const DisplayCheck::Getenv& getenv, const char* name) {
  const auto value = getenv(name);
  return value && !value->empty() ? std::string(name) + "=" + *value : std::string(name) + " unset";
}

}  // namespace

DisplayCheck::Outcome DisplayCheck::Check(const std::string& platform, const std::string& display,
                                          const Getenv& getenv, const Probe& x11, const Probe& wayland) {
  std::string chosen = platform;
  if (chosen.empty()) chosen = getenv("QT_QPA_PLATFORM").value_or("");
  const std::vector<std::string> names = Alternatives(chosen);
  bool wantX11 = names.empty(), wantWayland = names.empty();
  for (const std::string& name : names) {
    if (name == "xcb") wantX11 = true;
    else if (name.rfind("wayland", 0) == 0) wantWayland = true;
    else return {};  // offscreen, minimal, vnc, eglfs...: no display server needed
  }
  const bool hasX11 = wantX11 && x11(display);
  if (hasX11) return {};
  const std::string socket = WaylandSocket(getenv);
  const bool hasWayland = wantWayland && (getenv("WAYLAND_SOCKET") || (!socket.empty() && wayland(socket)));
  if (hasWayland) return {"", names.empty()};
  std::string what = !display.empty() ? "-display " + display : Shown(getenv, "DISPLAY");
  return {"quadrovia: no display: cannot reach an X11 display (" + what + ") or a Wayland display (" +
          Shown(getenv, "WAYLAND_DISPLAY") +
          "); start it from a desktop session, set DISPLAY or WAYLAND_DISPLAY, or run it on a virtual "
          "screen with xvfb-run quadrovia",
          false};
}

DisplayCheck::Outcome DisplayCheck::Check(const std::string& platform, const std::string& display) {
  const Getenv getenv = [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
  return Check(platform, display, getenv, X11Reachable, WaylandReachable);
}

bool DisplayCheck::X11Reachable(const std::string& display) {
  Display* connection = XOpenDisplay(display.empty() ? nullptr : display.c_str());
  if (!connection) return false;
  XCloseDisplay(connection);
  return true;
}

bool DisplayCheck::WaylandReachable(const std::string& socketPath) {
  sockaddr_un address{};
  if (socketPath.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

}  // namespace app
