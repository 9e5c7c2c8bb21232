// The main window's tray icon: its designer values and the road from a
// minimize into the tray and back with a click on the icon.
#include <QWidget>
#include <gtest/gtest.h>

#include "app/TmainForm.h"
#include "platform/ApplicationWindow.h"
#include "platform/FakeShell.h"
#include "platform/FileSystem.h"
#include "support/ErrorRecorder.h"
#include "support/TempDir.h"
#include "tray/TTrayIcon.h"
#include "tray/TTrayIconHandler.h"

using namespace platform;

namespace {

class MainFormTrayTest : public ::testing::Test {
 protected:
  void SetUp() override { FileSystem::SetExecutablePathForTesting(dir.File("quadrovia")); }
  void TearDown() override {
    ApplicationWindow::SetMainForm(nullptr);
    FileSystem::SetExecutablePathForTesting("");
  }
  TempDir dir;
  ErrorRecorder errors;
  FakeShell shell;
};

TEST_F(MainFormTrayTest, TrayIcon1HasItsDesignerValues) {
  app::TmainForm form;
  tray::TTrayIcon& icon = form.TrayIcon1();
  EXPECT_EQ(icon.parent(), &form);
  EXPECT_TRUE(icon.IconVisible());
  EXPECT_TRUE(icon.MinimizeToTray);
  EXPECT_EQ(icon.CycleInterval(), 0u);
  EXPECT_FALSE(icon.CycleIcons());
  EXPECT_EQ(icon.IconIndex(), 0);
  EXPECT_TRUE(icon.Hint().isEmpty());
  EXPECT_EQ(icon.PopupMenu(), nullptr);
  EXPECT_EQ(icon.Icon().availableSizes().size(), 5);
  ASSERT_TRUE(shell.HasIcon(icon.NotifyData().hWnd, icon.TrayId()));
  EXPECT_EQ(shell.IconData(icon.NotifyData().hWnd, icon.TrayId())->szTip[0], 0) << "no tip";
  EXPECT_EQ(shell.NotifyCalls().back().message, NIM_SETVERSION);
}

TEST_F(MainFormTrayTest, MinimizedIntoTheTrayAndBackWithAClick) {
  app::TmainForm form;
  ApplicationWindow::SetMainForm(&form);
  form.show();
  form.setWindowState(Qt::WindowMinimized);
  ASSERT_FALSE(form.isVisible());
  tray::TTrayIcon& icon = form.TrayIcon1();
  shell.Click(icon.NotifyData().hWnd, icon.TrayId());
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.isMinimized());
  EXPECT_TRUE(errors.messages().empty());
}

TEST_F(MainFormTrayTest, DestroyingTheWindowTakesTheIconAway) {
  HWND window = 0;
  WPARAM id = 0;
  {
    app::TmainForm form;
    window = form.TrayIcon1().NotifyData().hWnd;
    id = form.TrayIcon1().TrayId();
  }
  EXPECT_FALSE(shell.HasIcon(window, id));
  EXPECT_EQ(tray::SharedTrayHandler(), nullptr);
}

}  // namespace
