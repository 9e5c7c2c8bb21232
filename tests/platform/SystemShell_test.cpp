#include "platform/SystemShell.h"

#include <QGuiApplication>
#include <QIcon>
#include <QStyleHints>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// The tests run on Qt's offscreen platform, which has no tray and no display
// connection; the end-to-end tests cover a real tray.
TEST(SystemShell, WithoutATrayEveryNotifyIconCallAnswersFalse) {
  SystemShell shell;
  NOTIFYICONDATA data;
  data.hWnd = 1;
  data.uID = 2;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  for (UINT message : {NIM_ADD, NIM_MODIFY, NIM_SETVERSION, NIM_DELETE}) EXPECT_FALSE(shell.NotifyIcon(message, data));
}

TEST(SystemShell, InputAndWindowQueries) {
  SystemShell shell;
  EXPECT_EQ(shell.GetDoubleClickTime(), unsigned(QGuiApplication::styleHints()->mouseDoubleClickInterval()));
  EXPECT_EQ(shell.GetAsyncKeyState(VK_SHIFT), 0);
  QWidget window;
  EXPECT_FALSE(shell.IsWindowVisible(&window));
  EXPECT_FALSE(shell.SetForegroundWindow(&window));
  window.show();
  EXPECT_TRUE(shell.IsWindowVisible(&window));
  EXPECT_TRUE(shell.ShowWindow(&window, SW_HIDE));
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(shell.SetForegroundWindow(HWND(0)));
}

}  // namespace
