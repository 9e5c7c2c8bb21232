#include "platform/MessageWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "support/EventLoop.h"

using namespace platform;

namespace {

// Records every message its procedure sees.
struct Recorder {
  struct Seen {
    UINT msg;
    WPARAM w;
    LPARAM l;
    std::thread::id thread;
    bool operator==(const Seen& o) const { return msg == o.msg && w == o.w && l == o.l; }
  };
  std::vector<Seen> seen;
  MessageWindow window{[this](UINT m, WPARAM w, LPARAM l) -> LRESULT {
    seen.push_back({m, w, l, std::this_thread::get_id()});
    return static_cast<LRESULT>(w + 1);
  }};
};

int Count(const Recorder& r, UINT msg, WPARAM w) {
  int n = 0;
  for (const auto& s : r.seen) n += (s.msg == msg && s.w == w) ? 1 : 0;
  return n;
}

TEST(MessageWindow, SendRunsTheProcedureAtOnce) {
  Recorder r;
  EXPECT_EQ(r.window.Send(WM_USER, 41, 7), 42);
  EXPECT_EQ(SendMessage(r.window.Handle(), WM_USER, 1, 0), 2);
  EXPECT_EQ(r.seen.size(), 2u);
  EXPECT_EQ(SendMessage(0, WM_USER, 1, 0), 0);
}

TEST(MessageWindow, PostedMessagesArriveInOrderOnTheUiThreadAcrossWindows) {
  Recorder a, b;
  std::vector<std::pair<HWND, WPARAM>> order;
  a.window.SetProcedure([&](UINT, WPARAM w, LPARAM) { order.push_back({a.window.Handle(), w}); return 0; });
  b.window.SetProcedure([&](UINT, WPARAM w, LPARAM) { order.push_back({b.window.Handle(), w}); return 0; });
  std::thread poster([&] {
    for (WPARAM i = 0; i < 50; ++i) PostMessage((i % 2 ? b : a).window.Handle(), WM_APP + 1, i, 0);
  });
  poster.join();
  EXPECT_TRUE(order.empty()) << "posting must not deliver synchronously";
  ASSERT_TRUE(PumpUntil([&] { return order.size() == 50; }));
  for (WPARAM i = 0; i < 50; ++i) EXPECT_EQ(order[i].second, i);
}

TEST(MessageWindow, PostToADestroyedWindowIsDropped) {
  auto r = std::make_unique<Recorder>();
  const HWND handle = r->window.Handle();
  EXPECT_TRUE(PostMessage(handle, WM_APP, 1, 0));
  r.reset();
  QCoreApplication::processEvents();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_FALSE(PostMessage(handle, WM_APP, 1, 0));
}

TEST(MessageWindow, TimersTickWithTheirIdentifierAndStopWhenKilled) {
  Recorder r;
  ASSERT_TRUE(r.window.SetTimer(7, 5));
  ASSERT_TRUE(r.window.SetTimer(9, 5));
  ASSERT_TRUE(PumpUntil([&] { return Count(r, WM_TIMER, 7) >= 2 && Count(r, WM_TIMER, 9) >= 2; }));
  EXPECT_TRUE(r.window.KillTimer(7));
  EXPECT_FALSE(r.window.KillTimer(7));
  const int ticksOf7 = Count(r, WM_TIMER, 7);
  const int ticksOf9 = Count(r, WM_TIMER, 9);
  ASSERT_TRUE(PumpUntil([&] { return Count(r, WM_TIMER, 9) >= ticksOf9 + 3; }));
  EXPECT_EQ(Count(r, WM_TIMER, 7), ticksOf7);
}

TEST(MessageWindow, ATimerKilledInsideItsOwnTickNeverTicksAgain) {
  int ticks = 0;
  MessageWindow w;
  w.SetProcedure([&](UINT msg, WPARAM id, LPARAM) -> LRESULT {
    if (msg == WM_TIMER && id == 3) {
      ++ticks;
      w.KillTimer(3);
    }
    return 0;
  });
  w.SetTimer(3, 1);
  ASSERT_TRUE(PumpUntil([&] { return ticks == 1; }));
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(w.HasTimer(3));
}

TEST(RegisteredMessages, SameNameSameNumberInTheRegisteredRange) {
  const UINT a = RegisterWindowMessage("TaskbarCreated");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessage("TaskbarCreated"), a);
  EXPECT_NE(RegisterWindowMessage("Another"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

}  // namespace
