#include "media/gst/GstEventQueue.h"

#include <thread>

#include "media/gst/GstTestKit.h"
#include "platform/MessageWindow.h"

namespace {

using namespace media;
using namespace media::gst;

struct Marker : IUnknown {};

// Events pushed from a streaming thread arrive on the user-interface thread,
// through the notify window, in the order they were pushed.
TEST(GstEventQueueTest, EventsFromAnotherThreadArriveInOrderOnTheUserInterfaceThread) {
  GstEventQueue queue;
  std::vector<LONG> codes;
  std::vector<bool> onUiThread;
  const auto uiThread = std::this_thread::get_id();
  platform::MessageWindow window([&](platform::UINT, platform::WPARAM, platform::LPARAM data) {
    EXPECT_EQ(data, 77);
    LONG code;
    LONG_PTR p1, p2;
    while (queue.Get(code, p1, p2, 0) == S_OK) {
      codes.push_back(code);
      onUiThread.push_back(std::this_thread::get_id() == uiThread);
    }
    return platform::LRESULT{0};
  });
  queue.SetNotifyWindow(window.Handle(), 0x8001, 77);

  std::thread streaming([&] {
    for (LONG code = 1; code <= 50; ++code) queue.Push({code, 0, 0, {}});
  });
  streaming.join();
  ASSERT_TRUE(gsttest::WaitUntil([&] { return codes.size() == 50; }));
  for (LONG i = 0; i < 50; ++i) EXPECT_EQ(codes[static_cast<std::size_t>(i)], i + 1);
  EXPECT_EQ(std::count(onUiThread.begin(), onUiThread.end(), true), 50);
}

TEST(GstEventQueueTest, NoNotifyKeepsEventsQueuedWithoutAnnouncingThem) {
  GstEventQueue queue;
  int announced = 0;
  platform::MessageWindow window([&](platform::UINT, platform::WPARAM, platform::LPARAM) {
    ++announced;
    return platform::LRESULT{0};
  });
  queue.SetNotifyWindow(window.Handle(), 0x8001, 0);
  EXPECT_EQ(queue.SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY), S_OK);
  EXPECT_EQ(queue.SetNotifyFlags(5), E_INVALIDARG);
  queue.Push({1, 0, 0, {}});
  gsttest::ProcessEvents();
  EXPECT_EQ(announced, 0);
  EXPECT_EQ(queue.Size(), 1u);
}

TEST(GstEventQueueTest, AnEventsObjectLivesUntilItsParametersAreFreed) {
  GstEventQueue queue;
  auto object = std::make_shared<Marker>();
  const std::weak_ptr<Marker> watch = object;
  queue.Push({31, reinterpret_cast<LONG_PTR>(object.get()), 0, object});
  object.reset();

  LONG code;
  LONG_PTR p1, p2;
  ASSERT_EQ(queue.Get(code, p1, p2, 0), S_OK);
  EXPECT_FALSE(watch.expired()) << "handed out, not yet freed";
  EXPECT_EQ(queue.Free(code, p1, p2), S_OK);
  EXPECT_TRUE(watch.expired());
}

TEST(GstEventQueueTest, GetWaitsAtMostItsTimeout) {
  GstEventQueue queue;
  LONG code;
  LONG_PTR p1, p2;
  EXPECT_EQ(queue.Get(code, p1, p2, 0), E_ABORT);
  std::thread later([&] { queue.Push({9, 1, 2, {}}); });
  EXPECT_EQ(queue.Get(code, p1, p2, 5000), S_OK);
  later.join();
  EXPECT_EQ(code, 9);
  EXPECT_EQ(p2, 2);
}

}  // namespace
