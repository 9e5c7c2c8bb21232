#include "platform/WindowEventTranslator.h"

#include <QMoveEvent>
#include <QResizeEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>
#include <gtest/gtest.h>

using namespace platform;

namespace {

using Messages = std::vector<WindowMessage>;

struct StateRow {
  const char* name;
  Qt::WindowStates before, now;
  Messages expected;  // WM_SIZE lParam is checked separately
};
void PrintTo(const StateRow& row, std::ostream* os) { *os << row.name; }

class StateChanges : public ::testing::TestWithParam<StateRow> {};

TEST_P(StateChanges, StandForTheDesktopsMessages) {
  QWidget window;
  window.resize(300, 200);
  window.setWindowState(GetParam().now);
  Messages got = WindowEventTranslator::Translate(window, QWindowStateChangeEvent(GetParam().before));
  for (auto& m : got)
    if (m.msg == WM_SIZE && m.wParam != SIZE_MINIMIZED) m.lParam = 0;
  EXPECT_EQ(got, GetParam().expected);
}

const Qt::WindowStates kNormal = Qt::WindowNoState, kMin = Qt::WindowMinimized, kMax = Qt::WindowMaximized;

INSTANTIATE_TEST_SUITE_P(
    Table, StateChanges,
    ::testing::Values(
        StateRow{"Minimize", kNormal, kMin, {{WM_SYSCOMMAND, SC_MINIMIZE, 0}, {WM_SIZE, SIZE_MINIMIZED, 0}}},
        StateRow{"MinimizeMaximized", kMax, kMax | kMin, {{WM_SYSCOMMAND, SC_MINIMIZE, 0}, {WM_SIZE, SIZE_MINIMIZED, 0}}},
        StateRow{"RestoreToNormal", kMin, kNormal, {{WM_SYSCOMMAND, SC_RESTORE, 0}, {WM_SIZE, SIZE_RESTORED, 0}}},
        StateRow{"RestoreToMaximized", kMax | kMin, kMax, {{WM_SYSCOMMAND, SC_RESTORE, 0}, {WM_SIZE, SIZE_MAXIMIZED, 0}}},
        StateRow{"Maximize", kNormal, kMax, {{WM_SIZE, SIZE_MAXIMIZED, 0}}},
        StateRow{"UnMaximize", kMax, kNormal, {{WM_SYSCOMMAND, SC_RESTORE, 0}, {WM_SIZE, SIZE_RESTORED, 0}}},
        StateRow{"MaximizeWhileMinimized", kMin, kMin | kMax, {}},
        StateRow{"NoChange", kNormal, kNormal, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowEventTranslator, ResizeCarriesTheNewSizeAndIsSilentWhileMinimized) {
  QWidget window;
  window.resize(300, 200);
  const QResizeEvent resize(QSize(300, 200), QSize(10, 10));
  EXPECT_EQ(WindowEventTranslator::Translate(window, resize),
            (Messages{{WM_WINDOWPOSCHANGED, 0, 0}, {WM_SIZE, SIZE_RESTORED, 300 | (200 << 16)}}));
  window.setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(WindowEventTranslator::Translate(window, resize).empty());
  EXPECT_EQ(WindowEventTranslator::Translate(window, QMoveEvent(QPoint(1, 1), QPoint())),
            (Messages{{WM_WINDOWPOSCHANGED, 0, 0}}));
}

}  // namespace
