#include "tray/TSimpleTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/MessageWindow.h"
#include "tray/TSimpleTimerHandler.h"

#include "support/EventLoop.h"

using namespace tray;
using State = TSimpleTimer::State;

namespace {

struct StateRow {
  const char* name;
  std::function<void(TSimpleTimer&)> steps;
  State state;
  unsigned interval;
};
void PrintTo(const StateRow& row, std::ostream* os) { *os << row.name; }

class SimpleTimerStates : public ::testing::TestWithParam<StateRow> {};

TEST_P(SimpleTimerStates, EndsInTheRowsState) {
  TSimpleTimer timer(1000, [](TSimpleTimer&) {});
  GetParam().steps(timer);
  EXPECT_EQ(timer.CurrentState(), GetParam().state);
  EXPECT_EQ(timer.Running(), GetParam().state != State::Stopped);
  EXPECT_EQ(timer.IntervalMs(), GetParam().interval);
  // The platform timer runs exactly while ticking.
  EXPECT_EQ(SharedTimerHandler()->Window().HasTimer(timer.TimerId()), GetParam().state == State::Ticking);
}

const auto noHandler = TSimpleTimer::TickHandler{};
const auto aHandler = [](TSimpleTimer&) {};

INSTANTIATE_TEST_SUITE_P(
    Table, SimpleTimerStates,
    ::testing::Values(
        StateRow{"NewTimerIsStopped", [](TSimpleTimer&) {}, State::Stopped, 1000},
        StateRow{"StartTicks", [](TSimpleTimer& t) { EXPECT_TRUE(t.StartTicking()); }, State::Ticking, 1000},
        StateRow{"ZeroIntervalCannotStart",
                 [](TSimpleTimer& t) {
                   t.SetIntervalMs(0);
                   EXPECT_FALSE(t.StartTicking());
                   t.SetRunning(true);
                 },
                 State::Stopped, 0},
        StateRow{"ZeroIntervalSuspends",
                 [](TSimpleTimer& t) {
                   t.SetRunning(true);
                   t.SetIntervalMs(0);
                 },
                 State::Suspended, 0},
        StateRow{"NonZeroIntervalResumesWithoutSetRunning",
                 [](TSimpleTimer& t) {
                   t.SetRunning(true);
                   t.SetIntervalMs(0);
                   t.SetIntervalMs(500);
                 },
                 State::Ticking, 500},
        StateRow{"RemovingTheHandlerSuspends",
                 [](TSimpleTimer& t) {
                   t.SetRunning(true);
                   t.SetOnTick(noHandler);
                 },
                 State::Suspended, 1000},
        StateRow{"SettingAHandlerAgainDoesNotRestart",
                 [](TSimpleTimer& t) {
                   t.SetRunning(true);
                   t.SetOnTick(noHandler);
                   t.SetOnTick(aHandler);
                 },
                 State::Suspended, 1000},
        StateRow{"StopWithoutClearingSuspends",
                 [](TSimpleTimer& t) {
                   t.SetRunning(true);
                   EXPECT_TRUE(t.StopTicking(false));
                   EXPECT_FALSE(t.StopTicking(false));  // no platform timer left to kill
                 },
                 State::Suspended, 1000},
        StateRow{"SetRunningFalseStopsASuspendedTimer",
                 [](TSimpleTimer& t) {
                   t.SetRunning(true);
                   t.SetIntervalMs(0);
                   t.SetRunning(false);
                   t.SetIntervalMs(300);
                 },
                 State::Stopped, 300},
        StateRow{"IntervalChangeOfAStoppedTimerDoesNotStartIt", [](TSimpleTimer& t) { t.SetIntervalMs(20); },
                 State::Stopped, 20}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimpleTimer, TicksRepeatedlyThroughTheSharedWindowWithItsOwnIdentity) {
  std::vector<TSimpleTimer*> ticks;
  TSimpleTimer timer(15, [&](TSimpleTimer& t) { ticks.push_back(&t); });
  timer.SetRunning(true);
  ASSERT_TRUE(PumpUntil([&] { return ticks.size() >= 3; }));
  EXPECT_EQ(ticks.front(), &timer);
  EXPECT_EQ(timer.TimerId(), reinterpret_cast<platform::WPARAM>(&timer));
}

TEST(SimpleTimer, ZeroIntervalNeverTicks) {
  int ticks = 0;
  TSimpleTimer timer(0, [&](TSimpleTimer&) { ++ticks; });
  timer.SetRunning(true);
  PumpFor(120);
  EXPECT_EQ(ticks, 0);
}

TEST(SimpleTimer, AChangedIntervalRestartsWithAFullPeriod) {
  QElapsedTimer sinceChange;
  qint64 firstTickAfterChange = -1;
  TSimpleTimer timer(300, [&](TSimpleTimer&) {
    if (sinceChange.isValid() && firstTickAfterChange < 0) firstTickAfterChange = sinceChange.elapsed();
  });
  timer.SetRunning(true);
  PumpFor(200);
  // Not restarted, the old period would tick about 100 ms from here.
  timer.SetIntervalMs(250);
  sinceChange.start();
  ASSERT_TRUE(PumpUntil([&] { return firstTickAfterChange >= 0; }));
  EXPECT_GE(firstTickAfterChange, 230);
}

TEST(SimpleTimer, ZeroThenFiveHundredResumesAtFiveHundred) {
  std::vector<qint64> at;
  QElapsedTimer clock;
  TSimpleTimer timer(20, [&](TSimpleTimer&) { at.push_back(clock.elapsed()); });
  timer.SetRunning(true);
  timer.SetIntervalMs(0);
  PumpFor(80);
  EXPECT_TRUE(at.empty());
  clock.start();
  timer.SetIntervalMs(500);
  ASSERT_TRUE(PumpUntil([&] { return at.size() >= 2; }));
  // Coarse timers may fire up to 5 % early.
  EXPECT_GE(at[0], 450);
  EXPECT_GE(at[1] - at[0], 450);
}

TEST(SimpleTimer, RemovingTheHandlerStopsTheTicks) {
  int ticks = 0;
  TSimpleTimer timer(10, [&](TSimpleTimer&) { ++ticks; });
  timer.SetRunning(true);
  ASSERT_TRUE(PumpUntil([&] { return ticks > 0; }));
  timer.SetOnTick({});
  timer.SetOnTick([&](TSimpleTimer&) { ++ticks; });
  const int before = ticks;
  PumpFor(80);
  EXPECT_EQ(ticks, before);
}

TEST(SimpleTimer, OneShotTicksOnceAndStops) {
  int ticks = 0;
  TSimpleTimer timer(10, [&](TSimpleTimer&) { ++ticks; });
  timer.OneShot = true;
  timer.SetRunning(true);
  ASSERT_TRUE(PumpUntil([&] { return ticks > 0; }));
  PumpFor(60);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(timer.CurrentState(), State::Stopped);
}

TEST(SimpleTimer, AHandlerMayDestroyItsOwnTimer) {
  auto timer = std::make_unique<TSimpleTimer>();
  timer->SetIntervalMs(10);
  bool ticked = false;
  timer->SetOnTick([&](TSimpleTimer&) {
    ticked = true;
    timer.reset();
  });
  timer->SetRunning(true);
  ASSERT_TRUE(PumpUntil([&] { return ticked; }));
  PumpFor(40);
  EXPECT_FALSE(timer);
}

TEST(SimpleTimerHandler, OneWindowWhileAnyTimerExists) {
  ASSERT_EQ(SharedTimerHandler(), nullptr);
  auto first = std::make_unique<TSimpleTimer>();
  TSimpleTimerHandler* shared = SharedTimerHandler();
  ASSERT_NE(shared, nullptr);
  const platform::HWND window = shared->WindowHandle();
  auto second = std::make_unique<TSimpleTimer>();
  EXPECT_EQ(SharedTimerHandler(), shared);
  EXPECT_EQ(shared->UserCount(), 2);
  first.reset();
  EXPECT_EQ(SharedTimerHandler(), shared);
  EXPECT_TRUE(platform::IsWindow(window));
  second.reset();
  EXPECT_EQ(SharedTimerHandler(), nullptr);
  EXPECT_FALSE(platform::IsWindow(window));
}

TEST(SimpleTimerHandler, TicksForUnknownIdentifiersAreDropped) {
  int ticks = 0;
  TSimpleTimer timer(1000, [&](TSimpleTimer&) { ++ticks; });
  const platform::HWND window = SharedTimerHandler()->WindowHandle();
  EXPECT_EQ(platform::SendMessage(window, platform::WM_TIMER, timer.TimerId() + 1, 0), 0);
  EXPECT_EQ(ticks, 0);
  platform::SendMessage(window, platform::WM_TIMER, timer.TimerId(), 0);
  EXPECT_EQ(ticks, 1);
}

}  // namespace
