#include "tray/TTrayIconHandler.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>

#include "platform/FakeShell.h"
#include "platform/MessageWindow.h"
#include "tray/TTrayIcon.h"

using namespace tray;
using namespace platform;

namespace {

class TrayHandlerTest : public ::testing::Test {
 protected:
  FakeShell shell;
};

TEST_F(TrayHandlerTest, TwoIconsShareOneWindowUntilTheLastGoes) {
  ASSERT_EQ(SharedTrayHandler(), nullptr);
  auto first = std::make_unique<TTrayIcon>(nullptr);
  auto second = std::make_unique<TTrayIcon>(nullptr);
  TTrayIconHandler* shared = SharedTrayHandler();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->UserCount(), 2);
  const HWND window = shared->WindowHandle();
  EXPECT_EQ(first->NotifyData().hWnd, window);
  EXPECT_EQ(second->NotifyData().hWnd, window);

  first.reset();
  EXPECT_EQ(SharedTrayHandler(), shared);
  EXPECT_TRUE(IsWindow(window));
  second.reset();
  EXPECT_EQ(SharedTrayHandler(), nullptr);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(TrayHandlerTest, CallbacksReachOnlyTheLiveIconWithThatIdentity) {
  auto kept = std::make_unique<TTrayIcon>(nullptr);
  auto gone = std::make_unique<TTrayIcon>(nullptr);
  int keptClicks = 0, goneClicks = 0;
  kept->OnClick = [&](TTrayIcon*) { ++keptClicks; };
  gone->OnClick = [&](TTrayIcon*) { ++goneClicks; };
  const HWND window = SharedTrayHandler()->WindowHandle();
  const WPARAM goneId = gone->TrayId();
  // Reports the shell posted before the icon went still arrive afterwards.
  PostMessage(window, TrayCallbackMessage, goneId, WM_LBUTTONDOWN);
  PostMessage(window, TrayCallbackMessage, goneId, WM_LBUTTONUP);
  gone.reset();
  QCoreApplication::processEvents();
  EXPECT_EQ(goneClicks, 0);

  EXPECT_EQ(SendMessage(window, TrayCallbackMessage, kept->TrayId(), WM_LBUTTONDOWN), 0);
  SendMessage(window, TrayCallbackMessage, kept->TrayId(), WM_LBUTTONUP);
  EXPECT_EQ(keptClicks, 1);
}

struct RequestRow {
  const char* name;
  UINT msg;
  LRESULT answer;
};
void PrintTo(const RequestRow& row, std::ostream* os) { *os << row.name; }

class TrayWindowRequests : public ::testing::TestWithParam<RequestRow> {};

TEST_P(TrayWindowRequests, AnswerAndTheWindowStays) {
  FakeShell shell;
  TTrayIcon icon(nullptr);
  const HWND window = icon.NotifyData().hWnd;
  EXPECT_EQ(SendMessage(window, GetParam().msg, 0, 0), GetParam().answer);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(SharedTrayHandler()->WindowHandle(), window);
}

INSTANTIATE_TEST_SUITE_P(Table, TrayWindowRequests,
                         ::testing::Values(RequestRow{"Close", WM_CLOSE, 1}, RequestRow{"Destroy", WM_DESTROY, 1},
                                           RequestRow{"QueryEndSession", WM_QUERYENDSESSION, 1},
                                           RequestRow{"EndSession", WM_ENDSESSION, 1},
                                           RequestRow{"Quit", WM_QUIT, 1}, RequestRow{"NcDestroy", WM_NCDESTROY, 1},
                                           RequestRow{"OtherGoesToDefault", WM_USER + 7, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct VersionRow {
  const char* name;
  long version;
  bool announced;
};
void PrintTo(const VersionRow& row, std::ostream* os) { *os << row.name; }

class TaskbarCreatedByVersion : public ::testing::TestWithParam<VersionRow> {};

TEST_P(TaskbarCreatedByVersion, MessageOnlyFromVersion471) {
  FakeShell shell;
  shell.version = GetParam().version;
  ResetTaskbarCreatedMsgForTesting();
  EXPECT_EQ(TaskbarCreatedMsg(), GetParam().announced ? RegisterWindowMessage("TaskbarCreated") : 0u);
  shell.version = GetParam().announced ? -1 : 0x00060000;
  EXPECT_EQ(TaskbarCreatedMsg() != 0, GetParam().announced) << "settled once";
  ResetTaskbarCreatedMsgForTesting();
}

INSTANTIATE_TEST_SUITE_P(Table, TaskbarCreatedByVersion,
                         ::testing::Values(VersionRow{"CannotAnnounce", -1, false},
                                           VersionRow{"Below471", 0x00040046, false},
                                           VersionRow{"Exactly471", 0x00040047, true},
                                           VersionRow{"Newer", 0x00060000, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
