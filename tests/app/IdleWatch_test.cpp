#include "app/IdleWatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/InputIdle.h"

namespace {

// A clock the test steps; the last input can be set or made unavailable.
class SteppedIdle : public platform::InputIdle {
 public:
  std::uint32_t now = 1'000'000;
  std::uint32_t lastInput = 1'000'000;
  bool available = true;
  std::uint32_t TickCount() override { return now; }
  bool LastInputTick(std::uint32_t& tick) override {
    if (available) tick = lastInput;
    return available;
  }
  void IdleFor(std::uint32_t ms) { now = lastInput + ms; }
};

class IdleWatchTest : public ::testing::Test {
 protected:
  IdleWatchTest()
      : watch(idle, {[this] { calls.push_back("monitor"); }, [this] { return autoChecked; },
                     [this] { calls.push_back("restore"); }, [this] { calls.push_back("maximize"); },
                     [this] { calls.push_back("normal"); }}) {}
  std::vector<std::string> Take() { return std::exchange(calls, {}); }

  SteppedIdle idle;
  bool autoChecked = true;
  std::vector<std::string> calls;
  app::IdleWatch watch;
};

using Calls = std::vector<std::string>;

TEST_F(IdleWatchTest, FirstTickStartsMonitoringOnceEvenWithTheBoxUnchecked) {
  autoChecked = false;
  idle.IdleFor(400'000);
  watch.Timer3Timer();
  watch.Timer3Timer();
  EXPECT_EQ(Take(), Calls{"monitor"});
  EXPECT_TRUE(watch.AutoStartDone);
  EXPECT_FALSE(watch.IdleShown);
}

TEST_F(IdleWatchTest, MoreThan150WholeSecondsMaximizesAndRestoresOnce) {
  watch.Timer3Timer();
  Take();
  idle.IdleFor(150'900);
  watch.Timer3Timer();
  EXPECT_EQ(Take(), Calls{}) << "150.9 s is 150 whole seconds";
  idle.IdleFor(151'000);
  watch.Timer3Timer();
  EXPECT_EQ(Take(), (Calls{"maximize", "restore"}));
  idle.IdleFor(500'000);
  watch.Timer3Timer();
  EXPECT_EQ(Take(), Calls{});
  idle.lastInput = idle.now;  // the user is back
  watch.Timer3Timer();
  EXPECT_EQ(Take(), Calls{"normal"});
  watch.Timer3Timer();
  EXPECT_EQ(Take(), Calls{});
}

TEST_F(IdleWatchTest, WrappedCounterStillGivesTheTrueIdleTime) {
  watch.Timer3Timer();
  Take();
  idle.lastInput = 0xFFFFFFFFu - 100'000;  // input just before the wrap
  idle.now = 60'000;                       // 160 s later, after the wrap
  watch.Timer3Timer();
  EXPECT_EQ(Take(), (Calls{"maximize", "restore"}));
}

TEST_F(IdleWatchTest, UncheckedBoxNeverMaximizes) {
  autoChecked = false;
  watch.Timer3Timer();
  Take();
  idle.IdleFor(1'000'000);
  watch.Timer3Timer();
  EXPECT_EQ(Take(), Calls{});
}

TEST_F(IdleWatchTest, MissingLastInputTimeChangesNothing) {
  watch.Timer3Timer();
  Take();
  idle.available = false;
  idle.now += 10'000'000;
  watch.Timer3Timer();
  EXPECT_EQ(Take(), Calls{});
}

}  // namespace
