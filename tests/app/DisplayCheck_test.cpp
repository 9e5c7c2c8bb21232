#include "app/DisplayCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

using app::DisplayCheck;

namespace {

// A made-up environment and display servers: which X display names and which
// Wayland sockets answer.
struct World {
  std::map<std::string, std::string> env;
  std::vector<std::string> x11;      // display names that answer ("" = $DISPLAY)
  std::vector<std::string> wayland;  // socket paths that answer
  std::vector<std::string> asked;    // every probe, in order

  DisplayCheck::Outcome Check(const std::string& platform = "", const std::string& display = "") {
    const auto getenv = [this](const char* name) -> std::optional<std::string> {
      const auto it = env.find(name);
      return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    const auto answers = [this](const std::vector<std::string>& list, const std::string& prefix) {
      return [this, &list, prefix](const std::string& address) {
        asked.push_back(prefix + address);
        return std::find(list.begin(), list.end(), address) != list.end();
      };
    };
    return DisplayCheck::Check(platform, display, getenv, answers(x11, "x11:"), answers(wayland, "wayland:"));
  }
};

TEST(DisplayCheck, NoDisplayGivesOneLineNamingBothAndTheWayOut) {
  World world;
  const auto outcome = world.Check();
  EXPECT_EQ(outcome.problem.find('\n'), std::string::npos);
  for (const char* part : {"quadrovia: no display", "DISPLAY unset", "WAYLAND_DISPLAY unset", "xvfb-run"})
    EXPECT_NE(outcome.problem.find(part), std::string::npos) << part << " in " << outcome.problem;
}

TEST(DisplayCheck, UnreachableDisplaysAreNamedWithTheirValues) {
  World world{{{"DISPLAY", ":42"}, {"WAYLAND_DISPLAY", "wayland-1"}, {"XDG_RUNTIME_DIR", "/run/user/5"}}};
  const auto outcome = world.Check();
  EXPECT_NE(outcome.problem.find("DISPLAY=:42"), std::string::npos) << outcome.problem;
  EXPECT_NE(outcome.problem.find("WAYLAND_DISPLAY=wayland-1"), std::string::npos) << outcome.problem;
  EXPECT_EQ(world.asked, (std::vector<std::string>{"x11:", "wayland:/run/user/5/wayland-1"}));
  EXPECT_NE(world.Check("", ":9").problem.find("-display :9"), std::string::npos);
}

TEST(DisplayCheck, ReachableX11GoesAheadWithQtsOwnChoice) {
  World world{{{"DISPLAY", ":0"}}, {""}};
  const auto outcome = world.Check();
  EXPECT_TRUE(outcome.problem.empty());
  EXPECT_FALSE(outcome.chooseWayland);
  World named{{}, {":3"}};
  EXPECT_TRUE(named.Check("", ":3").problem.empty());
}

TEST(DisplayCheck, OnlyWaylandAnsweringChoosesWaylandUnlessAPlatformWasNamed) {
  World world{{{"WAYLAND_DISPLAY", "/tmp/w0"}}, {}, {"/tmp/w0"}};
  const auto outcome = world.Check();
  EXPECT_TRUE(outcome.problem.empty());
  EXPECT_TRUE(outcome.chooseWayland);
  const auto named = world.Check("wayland-egl");
  EXPECT_TRUE(named.problem.empty());
  EXPECT_FALSE(named.chooseWayland);
  EXPECT_FALSE(world.Check("xcb").problem.empty());  // X11 asked for, and only X11
}

TEST(DisplayCheck, InheritedWaylandSocketCountsAsReachable) {
  World world{{{"WAYLAND_SOCKET", "5"}}};
  EXPECT_TRUE(world.Check().problem.empty());
}

TEST(DisplayCheck, PlatformsWithoutADisplayServerAreNeverRefusedNorProbed) {
  for (const std::string platform : {"offscreen", "minimal", "vnc:size=800x600", "xcb;offscreen"}) {
    World world;
    EXPECT_TRUE(world.Check(platform).problem.empty()) << platform;
  }
  World fromEnvironment{{{"QT_QPA_PLATFORM", "offscreen"}}};
  EXPECT_TRUE(fromEnvironment.Check().problem.empty());
  EXPECT_TRUE(fromEnvironment.asked.empty());
  // The command line's platform wins over the environment's.
  EXPECT_FALSE(fromEnvironment.Check("xcb").problem.empty());
}

TEST(DisplayCheck, RealProbesRefuseWhatIsNotThere) {
  EXPECT_FALSE(DisplayCheck::X11Reachable(":65000"));
  EXPECT_FALSE(DisplayCheck::WaylandReachable("/nonexistent/wayland-0"));
  EXPECT_FALSE(DisplayCheck::WaylandReachable(std::string(200, 'x')));
}

}  // namespace
