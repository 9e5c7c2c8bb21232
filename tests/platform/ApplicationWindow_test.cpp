#include "platform/ApplicationWindow.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/OwnerWindowHook.h"
#include "platform/WindowEventTranslator.h"

using namespace platform;

namespace {

using Messages = std::vector<WindowMessage>;

// A main form whose application hook and owner procedure record what they see.
class ApplicationWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplicationWindow::SetMainForm(&form);
    hook = ApplicationWindow::AddHook([this](UINT m, WPARAM w, LPARAM l) {
      hooked.push_back({m, w, l});
      return false;
    });
  }
  void TearDown() override {
    ApplicationWindow::RemoveHook(hook);
    ApplicationWindow::SetMainForm(nullptr);
  }
  // The messages seen, without the position and size reports.
  static Messages WithoutGeometry(const Messages& all) {
    Messages kept;
    for (const auto& m : all)
      if (m.msg != WM_WINDOWPOSCHANGED && !(m.msg == WM_SIZE && m.wParam != SIZE_MINIMIZED)) kept.push_back(m);
    return kept;
  }

  QWidget form;
  int hook = 0;
  Messages hooked;
};

TEST_F(ApplicationWindowTest, MinimizeAndRestoreReachTheHooksInTheDesktopsOrder) {
  form.show();
  EXPECT_EQ(WithoutGeometry(hooked), (Messages{{WM_SHOWWINDOW, 1, 0}}));
  hooked.clear();
  form.setWindowState(Qt::WindowMinimized);
  EXPECT_EQ(WithoutGeometry(hooked), (Messages{{WM_SYSCOMMAND, SC_MINIMIZE, 0},
                                               {WM_SIZE, SIZE_MINIMIZED, 0},
                                               {WM_SHOWWINDOW, 0, SW_PARENTCLOSING}}));
  hooked.clear();
  form.setWindowState(Qt::WindowNoState);
  EXPECT_EQ(WithoutGeometry(hooked), (Messages{{WM_SYSCOMMAND, SC_RESTORE, 0}, {WM_SHOWWINDOW, 1, SW_PARENTOPENING}}));
  hooked.clear();
  form.hide();
  EXPECT_EQ(WithoutGeometry(hooked), (Messages{{WM_SHOWWINDOW, 0, 0}}));
}

TEST_F(ApplicationWindowTest, OwnerProceduresRunFirstNewestFirstAndCanStopAMessage) {
  std::vector<std::string> order;
  OwnerWindowHook older(&form, [&](UINT m, WPARAM w, LPARAM, LRESULT&) {
    if (m == WM_SYSCOMMAND) order.push_back("older " + std::to_string(w));
    return false;
  });
  OwnerWindowHook newer(&form, [&](UINT m, WPARAM w, LPARAM, LRESULT& result) {
    if (m != WM_SYSCOMMAND) return false;
    order.push_back("newer " + std::to_string(w));
    result = 1;
    return w == SC_MINIMIZE;
  });
  form.show();
  hooked.clear();
  form.setWindowState(Qt::WindowMinimized);
  EXPECT_EQ(order, (std::vector<std::string>{"newer " + std::to_string(SC_MINIMIZE)}));
  EXPECT_TRUE(WithoutGeometry(hooked).empty()) << "the rest of the minimize is stopped";
}

TEST_F(ApplicationWindowTest, OnlyTheMainFormFeedsTheHooks) {
  QWidget other;
  Messages seen;
  OwnerWindowHook onOther(&other, [&](UINT m, WPARAM w, LPARAM l, LRESULT&) {
    seen.push_back({m, w, l});
    return false;
  });
  other.show();
  other.setWindowState(Qt::WindowMinimized);
  EXPECT_FALSE(seen.empty());
  EXPECT_TRUE(hooked.empty());
}

TEST_F(ApplicationWindowTest, HooksRunNewestFirstAndMayRemoveThemselves) {
  std::vector<int> order;
  int second = 0;
  const int first = ApplicationWindow::AddHook([&](UINT, WPARAM, LPARAM) {
    order.push_back(1);
    return false;
  });
  second = ApplicationWindow::AddHook([&](UINT, WPARAM, LPARAM) {
    order.push_back(2);
    ApplicationWindow::RemoveHook(second);
    return false;
  });
  ApplicationWindow::Broadcast(WM_USER, 0, 0);
  ApplicationWindow::Broadcast(WM_USER, 0, 0);
  ApplicationWindow::RemoveHook(first);
  EXPECT_EQ(order, (std::vector<int>{2, 1, 1}));
  EXPECT_EQ(hooked.size(), 2u);
}

TEST_F(ApplicationWindowTest, AHandledMessageGoesNoFurther) {
  const int stopper = ApplicationWindow::AddHook([](UINT m, WPARAM, LPARAM) { return m == WM_USER; });
  EXPECT_TRUE(ApplicationWindow::RunHooks(WM_USER, 0, 0));
  EXPECT_FALSE(ApplicationWindow::RunHooks(WM_USER + 1, 0, 0));
  ApplicationWindow::RemoveHook(stopper);
  EXPECT_EQ(hooked, (Messages{{WM_USER + 1, 0, 0}}));
}

struct RestoreRow {
  const char* name;
  Qt::WindowStates minimized;  // as the window system reports it
  Qt::WindowStates restored;
};
void PrintTo(const RestoreRow& row, std::ostream* os) { *os << row.name; }

class ApplicationRestore : public ApplicationWindowTest, public ::testing::WithParamInterface<RestoreRow> {};

TEST_P(ApplicationRestore, BackToTheStateBeforeMinimizing) {
  form.show();
  form.setWindowState(Qt::WindowMaximized);
  form.setWindowState(GetParam().minimized);
  ApplicationWindow::Restore();
  EXPECT_EQ(form.windowState(), GetParam().restored);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ApplicationRestore,
    ::testing::Values(RestoreRow{"MaximizedKept", Qt::WindowMinimized | Qt::WindowMaximized, Qt::WindowMaximized},
                      // Some window managers drop the maximized state while the window is iconic.
                      RestoreRow{"MaximizedDropped", Qt::WindowMinimized, Qt::WindowMaximized}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplicationWindowTest, RestoreLeavesAWindowThatIsNotMinimized) {
  form.show();
  form.setWindowState(Qt::WindowMaximized);
  form.setWindowState(Qt::WindowNoState);
  ApplicationWindow::Restore();
  EXPECT_EQ(form.windowState(), Qt::WindowNoState);
}

TEST(OwnerWindowHook, OutlivingItsWindowIsHarmless) {
  auto window = std::make_unique<QWidget>();
  int seen = 0;
  OwnerWindowHook hook(window.get(), [&](UINT, WPARAM, LPARAM, LRESULT&) { return ++seen, false; });
  window->show();
  EXPECT_GT(seen, 0);
  window.reset();
}

}  // namespace
