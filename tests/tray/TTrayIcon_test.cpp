#include "tray/TTrayIcon.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/ApplicationWindow.h"
#include "platform/FakeShell.h"
#include "platform/MessageWindow.h"
#include "tray/TImageList.h"
#include "tray/TPopupMenu.h"
#include "tray/TTrayIconHandler.h"

#include "support/EventLoop.h"

using namespace tray;
using namespace platform;

namespace {

QIcon Solid(Qt::GlobalColor color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(color);
  return QIcon(pixmap);
}

// A main form with TTrayIcon on it, a fake shell, and a log of the events.
class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTaskbarCreatedMsgForTesting();
    shell.doubleClickTime = 40;
    ApplicationWindow::SetMainForm(&form);
    icon = std::make_unique<TTrayIcon>(&form);
    icon->OnMouseDown = [this](TTrayIcon*, TMouseButton, TShiftState, int, int) { log.push_back("down"); };
    icon->OnMouseUp = [this](TTrayIcon*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    icon->OnClick = [this](TTrayIcon*) { log.push_back("click"); };
  }
  void TearDown() override {
    icon.reset();
    ApplicationWindow::SetMainForm(nullptr);
    ApplicationWindow::SetShowMainForm(true);
    ResetTaskbarCreatedMsgForTesting();
  }

  HWND Window() const { return icon->NotifyData().hWnd; }
  void Report(LPARAM message) { shell.Send(Window(), icon->TrayId(), message); }
  // Puts the icon in the tray, as the program's designer values do.
  void ShowIcon() {
    icon->SetIconVisible(true);
    ASSERT_TRUE(shell.HasIcon(Window(), icon->TrayId()));
  }
  std::string Log() const {
    std::string joined;
    for (const auto& e : log) joined += (joined.empty() ? "" : " ") + e;
    return joined;
  }
  const NOTIFYICONDATA& LastNotify() {
    calls = shell.NotifyCalls();
    return calls.back().data;
  }

  FakeShell shell;
  QWidget form;
  std::unique_ptr<TTrayIcon> icon;
  std::vector<std::string> log;
  std::vector<FakeShell::Call> calls;
};

TEST_F(TrayIconTest, RecordForTheShell) {
  ShowIcon();
  const NOTIFYICONDATA& data = LastNotify();
  EXPECT_EQ(calls.back().message, NIM_ADD);
  EXPECT_EQ(data.cbSize, 488u);
  EXPECT_EQ(data.hWnd, SharedTrayHandler()->WindowHandle());
  EXPECT_EQ(data.uID, reinterpret_cast<WPARAM>(icon.get()));
  EXPECT_EQ(data.uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  EXPECT_EQ(data.uCallbackMessage, 2048u);
}

// --- clicks ------------------------------------------------------------------

constexpr LPARAM kWait = -1;  // let the double-click time pass

struct ClickRow {
  const char* name;
  bool dblClickHandler;
  std::vector<LPARAM> reports;
  const char* atOnce;  // the log right after the reports
  const char* later;   // the log after the double-click time
};
void PrintTo(const ClickRow& row, std::ostream* os) { *os << row.name; }

class TrayIconClicks : public TrayIconTest, public ::testing::WithParamInterface<ClickRow> {};

TEST_P(TrayIconClicks, EventsInOrder) {
  ShowIcon();
  if (GetParam().dblClickHandler) icon->OnDblClick = [this](TTrayIcon*) { log.push_back("dblclick"); };
  for (LPARAM report : GetParam().reports) {
    if (report == kWait)
      PumpFor(150);
    else
      Report(report);
  }
  EXPECT_EQ(Log(), GetParam().atOnce);
  PumpFor(150);
  EXPECT_EQ(Log(), GetParam().later);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrayIconClicks,
    ::testing::Values(
        ClickRow{"ClickWithoutDblClickFiresOnReleaseBeforeMouseUp", false, {WM_LBUTTONDOWN, WM_LBUTTONUP},
                 "down click up", "down click up"},
        ClickRow{"DoubleClickWithoutDblClickFiresOneClick", false,
                 {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}, "down click up up", "down click up up"},
        ClickRow{"ClickWithDblClickWaitsForTheDoubleClickTime", true, {WM_LBUTTONDOWN, WM_LBUTTONUP}, "down up",
                 "down up click"},
        ClickRow{"DoubleClickWithDblClickFiresNoClick", true,
                 {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}, "down up dblclick up",
                 "down up dblclick up"},
        ClickRow{"LongPressWithDblClickFiresOnTheLateRelease", true, {WM_LBUTTONDOWN, kWait, WM_LBUTTONUP},
                 "down click up", "down click up"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ButtonRow {
  const char* name;
  LPARAM down, up;
  TMouseButton button;
  TShiftState element;
};
void PrintTo(const ButtonRow& row, std::ostream* os) { *os << row.name; }

class TrayIconButtons : public TrayIconTest, public ::testing::WithParamInterface<ButtonRow> {};

TEST_P(TrayIconButtons, ReportButtonShiftAndCursor) {
  ShowIcon();
  shell.keysDown[VK_SHIFT] = true;
  std::vector<std::tuple<TMouseButton, TShiftState, int, int>> seen;
  auto record = [&](TTrayIcon* sender, TMouseButton b, TShiftState s, int x, int y) {
    EXPECT_EQ(sender, icon.get());
    seen.emplace_back(b, s, x, y);
  };
  icon->OnMouseDown = record;
  icon->OnMouseUp = record;
  Report(GetParam().down);
  shell.cursor = {7, 9};  // read when each report is handled
  Report(GetParam().up);
  const TShiftState shift = ssShift | GetParam().element;
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_tuple(GetParam().button, shift, 100, 200));
  EXPECT_EQ(seen[1], std::make_tuple(GetParam().button, shift, 7, 9));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrayIconButtons,
    ::testing::Values(ButtonRow{"Left", WM_LBUTTONDOWN, WM_LBUTTONUP, TMouseButton::mbLeft, ssLeft},
                      ButtonRow{"Right", WM_RBUTTONDOWN, WM_RBUTTONUP, TMouseButton::mbRight, ssRight},
                      ButtonRow{"Middle", WM_MBUTTONDOWN, WM_MBUTTONUP, TMouseButton::mbMiddle, ssMiddle}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, DisabledIgnoresTheMouseButNotBalloons) {
  ShowIcon();
  TPopupMenu menu;
  menu.addAction("item");
  icon->SetPopupMenu(&menu);
  icon->OnDblClick = [this](TTrayIcon*) { log.push_back("dblclick"); };
  icon->OnMouseMove = [this](TTrayIcon*, TShiftState, int, int) { log.push_back("move"); };
  icon->OnBalloonHintShow = [this](TTrayIcon*) { log.push_back("show"); };
  icon->OnBalloonHintHide = [this](TTrayIcon*) { log.push_back("hide"); };
  icon->OnBalloonHintTimeout = [this](TTrayIcon*) { log.push_back("timeout"); };
  icon->OnBalloonHintClick = [this](TTrayIcon*) { log.push_back("balloonclick"); };
  icon->SetEnabled(false);
  for (LPARAM m : std::initializer_list<LPARAM>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONDOWN,
                   WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP, NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT,
                   NIN_BALLOONUSERCLICK})
    Report(m);
  PumpFor(120);
  EXPECT_EQ(Log(), "show hide timeout balloonclick");
  EXPECT_FALSE(menu.isVisible());
}

TEST_F(TrayIconTest, EnterOnFirstMoveExitWhenTheCursorLeaves) {
  ShowIcon();
  icon->OnMouseMove = [this](TTrayIcon*, TShiftState, int x, int y) {
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };
  icon->OnMouseEnter = [this](TTrayIcon*) { log.push_back("enter"); };
  icon->OnMouseExit = [this](TTrayIcon*) { log.push_back("exit"); };
  icon->SetWantEnterExitEvents(true);
  Report(WM_MOUSEMOVE);
  Report(WM_MOUSEMOVE);
  PumpFor(60);  // the cursor stays where it moved last: no exit
  EXPECT_EQ(Log(), "enter move 100,200 move 100,200");
  shell.cursor = {300, 300};
  ASSERT_TRUE(PumpUntil([&] { return log.back() == "exit"; }));
  PumpFor(60);
  EXPECT_EQ(Log(), "enter move 100,200 move 100,200 exit");
}

// --- popup -------------------------------------------------------------------

TEST_F(TrayIconTest, RightButtonOpensTheMenuFromTheTrayWindow) {
  ShowIcon();
  TPopupMenu menu;
  menu.addAction("item");
  icon->SetPopupMenu(&menu);
  shell.ClearCalls();
  Report(WM_RBUTTONDOWN);
  EXPECT_TRUE(menu.isVisible());
  EXPECT_EQ(menu.PopupComponent(), icon.get());
  const auto foreground = std::find_if(shell.calls.begin(), shell.calls.end(),
                                       [](const auto& c) { return c.name == "SetForegroundWindow"; });
  ASSERT_NE(foreground, shell.calls.end());
  EXPECT_EQ(foreground->handle, Window());
  menu.hide();
}

TEST_F(TrayIconTest, DoubleClickChoosesTheDefaultItemUnlessLeftPopup) {
  ShowIcon();
  TPopupMenu menu;
  QAction* other = menu.addAction("other");
  QAction* preferred = menu.addAction("preferred");
  menu.setDefaultAction(preferred);
  int chosen = 0, others = 0;
  QObject::connect(preferred, &QAction::triggered, [&] { ++chosen; });
  QObject::connect(other, &QAction::triggered, [&] { ++others; });
  icon->SetPopupMenu(&menu);
  Report(WM_LBUTTONDBLCLK);
  EXPECT_EQ(chosen, 1);
  icon->LeftPopup = true;
  Report(WM_LBUTTONDBLCLK);
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(others, 0);
  Report(WM_LBUTTONDOWN);  // LeftPopup opens the menu on the left button
  EXPECT_TRUE(menu.isVisible());
  menu.hide();
}

TEST_F(TrayIconTest, RemovedMenuIsForgotten) {
  auto menu = std::make_unique<TPopupMenu>();
  icon->SetPopupMenu(menu.get());
  menu.reset();
  EXPECT_EQ(icon->PopupMenu(), nullptr);
  Report(WM_RBUTTONDOWN);  // nothing to open, nothing to crash
}

// --- tip and icon ------------------------------------------------------------

struct TipRow {
  const char* name;
  QString hint;
  bool showHint;
  std::string tip;
};
void PrintTo(const TipRow& row, std::ostream* os) { *os << row.name; }

class TrayIconTips : public TrayIconTest, public ::testing::WithParamInterface<TipRow> {};

TEST_P(TrayIconTips, TipIsAtMost127BytesAndZeroFilled) {
  ShowIcon();
  icon->SetShowHint(GetParam().showHint);
  icon->SetHint(GetParam().hint);
  const NOTIFYICONDATA& data = LastNotify();
  EXPECT_EQ(calls.back().message, NIM_MODIFY);
  EXPECT_EQ(std::string(data.szTip), GetParam().tip);
  for (std::size_t i = GetParam().tip.size(); i < sizeof data.szTip; ++i) ASSERT_EQ(data.szTip[i], 0) << i;
}

const QString kCamera = QString::fromUtf8("摄像");  // 6 bytes in UTF-8

INSTANTIATE_TEST_SUITE_P(
    Table, TrayIconTips,
    ::testing::Values(TipRow{"Short", "Quadrovia", true, "Quadrovia"},
                      TipRow{"Exactly127", QString(127, 'a'), true, std::string(127, 'a')},
                      TipRow{"LongIsCut", QString(200, 'b'), true, std::string(127, 'b')},
                      TipRow{"Empty", "", true, ""}, TipRow{"ShowHintOff", "Quadrovia", false, ""},
                      // 21 pairs are 126 bytes; the next character would be cut in two.
                      TipRow{"MultiByteNotCutInTwo", kCamera.repeated(30), true, kCamera.repeated(21).toStdString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, IconIsHandedOverWithEveryCall) {
  const QIcon red = Solid(Qt::red);
  icon->SetIcon(red);
  ShowIcon();
  const NOTIFYICONDATA& data = LastNotify();
  ASSERT_NE(data.hIcon, nullptr);
  EXPECT_EQ(data.hIcon->cacheKey(), red.cacheKey());
  icon->SetIcon(QIcon());
  EXPECT_EQ(LastNotify().hIcon, nullptr);
}

struct IndexRow {
  const char* name;
  int listSize;  // -1: no list
  int set;
  int index;
};
void PrintTo(const IndexRow& row, std::ostream* os) { *os << row.name; }

class TrayIconIndex : public TrayIconTest, public ::testing::WithParamInterface<IndexRow> {};

TEST_P(TrayIconIndex, IndexRule) {
  ShowIcon();
  TImageList list;
  const Qt::GlobalColor colors[] = {Qt::red, Qt::green, Qt::blue};
  for (int i = 0; i < GetParam().listSize; ++i) list.Add(Solid(colors[i]));
  if (GetParam().listSize >= 0) icon->SetIconList(&list);
  EXPECT_EQ(icon->IconIndex(), GetParam().listSize == 0 ? -1 : 0);
  shell.ClearCalls();
  icon->SetIconIndex(GetParam().set);
  EXPECT_EQ(icon->IconIndex(), GetParam().index);
  if (GetParam().listSize >= 0) EXPECT_EQ(icon->Icon().cacheKey(), list.GetIcon(GetParam().index).cacheKey());
  EXPECT_EQ(LastNotify().hIcon ? LastNotify().hIcon->cacheKey() : 0, icon->Icon().isNull() ? 0 : icon->Icon().cacheKey());
  EXPECT_EQ(calls.back().message, NIM_MODIFY);
}

INSTANTIATE_TEST_SUITE_P(Table, TrayIconIndex,
                         ::testing::Values(IndexRow{"InRange", 3, 1, 1}, IndexRow{"PastTheEndIsTheLast", 3, 7, 2},
                                           IndexRow{"EmptyListGivesMinusOne", 0, 5, -1},
                                           IndexRow{"NegativeIsKept", 3, -2, -2},
                                           IndexRow{"NoListGivesZero", -1, 4, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, RemovedListIsForgottenAndTheIndexReset) {
  auto list = std::make_unique<TImageList>();
  list->Add(Solid(Qt::red));
  list->Add(Solid(Qt::green));
  icon->SetIconList(list.get());
  icon->SetIconIndex(1);
  list.reset();
  EXPECT_EQ(icon->IconList(), nullptr);
  EXPECT_EQ(icon->IconIndex(), 0);
}

TEST_F(TrayIconTest, CycleShowsEachIconAndAnnouncesTheNextIndex) {
  ShowIcon();
  TImageList list;
  for (auto c : {Qt::red, Qt::green, Qt::blue}) list.Add(Solid(c));
  icon->SetIconList(&list);
  std::vector<int> next, shown;
  icon->OnCycle = [&](TTrayIcon* sender, int nextIndex) {
    next.push_back(nextIndex);
    for (int i = 0; i < list.Count(); ++i)
      if (sender->Icon().cacheKey() == list.GetIcon(i).cacheKey()) shown.push_back(i);
  };
  icon->SetCycleInterval(15);
  icon->SetCycleIcons(true);
  ASSERT_TRUE(PumpUntil([&] { return next.size() >= 4; }));
  icon->SetCycleIcons(false);
  EXPECT_EQ(std::vector<int>(next.begin(), next.begin() + 4), (std::vector<int>{1, 2, 0, 1}));
  EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 4), (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(TrayIconTest, ZeroCycleIntervalNeverSteps) {
  int steps = 0;
  icon->OnCycle = [&](TTrayIcon*, int) { ++steps; };
  icon->SetCycleIcons(true);
  PumpFor(80);
  EXPECT_EQ(steps, 0);
  icon->SetCycleInterval(10);  // applies CycleIcons again: the cycle starts
  ASSERT_TRUE(PumpUntil([&] { return steps > 0; }));
}

// --- shell restart -----------------------------------------------------------

struct RestartRow {
  const char* name;
  bool visible;
  long version;
  bool presentAfter;
};
void PrintTo(const RestartRow& row, std::ostream* os) { *os << row.name; }

class TrayIconRestart : public TrayIconTest, public ::testing::WithParamInterface<RestartRow> {};

TEST_P(TrayIconRestart, VisibleIconIsAddedAgain) {
  shell.version = GetParam().version;
  ResetTaskbarCreatedMsgForTesting();
  auto late = std::make_unique<TTrayIcon>(&form);  // settles the message with this version
  late->SetIconVisible(true);
  late->SetIconVisible(GetParam().visible);
  shell.RestartTray();
  EXPECT_EQ(shell.HasIcon(late->NotifyData().hWnd, late->TrayId()), GetParam().presentAfter);
  EXPECT_EQ(late->IconVisible(), GetParam().visible);
}

INSTANTIATE_TEST_SUITE_P(Table, TrayIconRestart,
                         ::testing::Values(RestartRow{"VisibleComesBack", true, 0x00060000, true},
                                           RestartRow{"RemovedStaysAbsent", false, 0x00060000, false},
                                           RestartRow{"ShellThatCannotAnnounce", true, -1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, WithoutATrayEveryCallFailsHarmlessly) {
  shell.trayPresent = false;
  EXPECT_FALSE(icon->AddTrayIcon());
  EXPECT_TRUE(icon->IconVisible());
  EXPECT_FALSE(icon->RefreshTrayIcon());
  EXPECT_FALSE(icon->RemoveTrayIcon());
}

// --- main form ---------------------------------------------------------------

TEST_F(TrayIconTest, MinimizingSendsTheFormToTheTray) {
  icon->MinimizeToTray = true;
  ASSERT_FALSE(icon->IconVisible());
  form.show();
  form.setWindowState(form.windowState() | Qt::WindowMinimized);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(shell.IsWindowVisible(ApplicationWindow::Window())) << "the taskbar button is gone";
  EXPECT_TRUE(icon->IconVisible());
  EXPECT_TRUE(shell.HasIcon(Window(), icon->TrayId()));
}

TEST_F(TrayIconTest, WithoutMinimizeToTrayMinimizingLeavesTheFormAlone) {
  form.show();
  form.setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(shell.HasIcon(Window(), icon->TrayId()));
}

TEST_F(TrayIconTest, MinimizeHandlerTakesTheMinimizeOnTheOwnerWindow) {
  icon->MinimizeToTray = true;
  int handled = 0;
  icon->OnMinimizeToTray = [&](TTrayIcon*) { ++handled; };
  form.show();
  form.setWindowState(Qt::WindowMinimized);
  EXPECT_EQ(handled, 1) << "the owner procedure stops the minimize, so no second road runs";
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(shell.HasIcon(Window(), icon->TrayId()));
}

// Without a notification area a concealed form could not be brought back:
// both roads leave it minimized in the window list, and once a tray has come
// and holds the icon, minimizing goes to the tray again.
struct NoTrayRow {
  const char* name;
  bool ownerHandler;
};
void PrintTo(const NoTrayRow& row, std::ostream* os) { *os << row.name; }

class TrayIconWithoutTray : public TrayIconTest, public ::testing::WithParamInterface<NoTrayRow> {};

TEST_P(TrayIconWithoutTray, MinimizingLeavesTheFormInTheWindowListUntilATrayComes) {
  int handled = 0;
  if (GetParam().ownerHandler) icon->OnMinimizeToTray = [&](TTrayIcon*) { ++handled; };
  icon->MinimizeToTray = true;
  shell.trayPresent = false;
  icon->SetIconVisible(true);
  form.show();
  form.setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.isMinimized());
  EXPECT_TRUE(shell.IsWindowVisible(ApplicationWindow::Window())) << "the taskbar button stays";
  EXPECT_EQ(handled, 0);

  form.setWindowState(Qt::WindowNoState);
  shell.trayPresent = true;
  shell.RestartTray();
  ASSERT_TRUE(shell.HasIcon(Window(), icon->TrayId()));
  form.setWindowState(Qt::WindowMinimized);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(handled, GetParam().ownerHandler ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Roads, TrayIconWithoutTray,
                         ::testing::Values(NoTrayRow{"ApplicationMinimized", false},
                                           NoTrayRow{"OwnerWindowMinimize", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, ATrayThatCameWithoutAnnouncingItselfGetsTheIconAtTheMinimize) {
  icon->MinimizeToTray = true;
  shell.trayPresent = false;
  icon->SetIconVisible(true);
  shell.trayPresent = true;  // no broadcast: the icon is still missing
  form.show();
  form.setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(shell.HasIcon(Window(), icon->TrayId()));
  EXPECT_FALSE(form.isVisible());
}

struct RestoreRow {
  const char* name;
  Qt::WindowState before;
};
void PrintTo(const RestoreRow& row, std::ostream* os) { *os << row.name; }

class TrayIconRestore : public TrayIconTest, public ::testing::WithParamInterface<RestoreRow> {};

TEST_P(TrayIconRestore, ComesBackVisibleInFrontInItsEarlierState) {
  icon->MinimizeToTray = true;
  form.setWindowState(GetParam().before);
  form.show();
  form.setWindowState(form.windowState() | Qt::WindowMinimized);
  ASSERT_FALSE(form.isVisible());
  shell.ClearCalls();
  icon->RestoreMainForm();
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.isMinimized());
  EXPECT_EQ(form.isMaximized(), GetParam().before == Qt::WindowMaximized);
  ASSERT_FALSE(shell.calls.empty());
  EXPECT_EQ(shell.calls.back().name, "SetForegroundWindow");
  EXPECT_EQ(shell.calls.back().window, &form);
}

INSTANTIATE_TEST_SUITE_P(Table, TrayIconRestore,
                         ::testing::Values(RestoreRow{"Normal", Qt::WindowNoState},
                                           RestoreRow{"Maximized", Qt::WindowMaximized}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, RestoreOfAMinimizedFormShowsItNormal) {
  form.show();
  form.setWindowState(Qt::WindowMinimized);
  icon->RestoreMainForm();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.windowState(), Qt::WindowNoState);
}

TEST_F(TrayIconTest, WithoutAMainFormRestoreAndConcealDoNothing) {
  ApplicationWindow::SetMainForm(nullptr);
  form.show();
  icon->ConcealMainForm();
  EXPECT_TRUE(form.isVisible());
  form.hide();
  icon->RestoreMainForm();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(TrayIconTest, StartupAnswerFalseKeepsTheFormHidden) {
  icon->OnStartup = [](TTrayIcon*, bool& show) { show = false; };
  icon->SetIconVisible(true);
  form.show();
  icon->Loaded();
  EXPECT_FALSE(ApplicationWindow::ShowMainForm());
  EXPECT_FALSE(form.isVisible());
}

TEST_F(TrayIconTest, LoadedAddsOnceAndAsksForTheClassicMessages) {
  icon->SetIconVisible(true);
  shell.ClearCalls();
  icon->Loaded();
  EXPECT_TRUE(ApplicationWindow::ShowMainForm());
  calls = shell.NotifyCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].message, NIM_MODIFY);
  EXPECT_EQ(calls[1].message, NIM_ADD);
  EXPECT_FALSE(calls[1].result) << "the icon is there already";
  EXPECT_EQ(calls[2].message, NIM_SETVERSION);
  EXPECT_EQ(calls[2].data.uVersion, 0u);
  EXPECT_TRUE(calls[2].result);
}

TEST_F(TrayIconTest, DestructionTakesTheIconAwayAndUnhooks) {
  ShowIcon();
  const HWND window = Window();
  const WPARAM id = icon->TrayId();
  icon->MinimizeToTray = true;
  icon.reset();
  EXPECT_FALSE(shell.HasIcon(window, id));
  EXPECT_EQ(SharedTrayHandler(), nullptr);
  form.show();
  form.setWindowState(Qt::WindowMinimized);  // no hook left to send it to the tray
  EXPECT_TRUE(form.isVisible());
  shell.RestartTray();
  EXPECT_FALSE(shell.HasIcon(window, id));
}

TEST_F(TrayIconTest, OwnerDestroyedFirstIsHarmless) {
  auto owner = std::make_unique<QWidget>();
  auto* onOwner = new TTrayIcon(owner.get());
  onOwner->SetIconVisible(true);
  const HWND window = onOwner->NotifyData().hWnd;
  const WPARAM id = onOwner->TrayId();
  owner.reset();  // destroys the component with it
  EXPECT_FALSE(shell.HasIcon(window, id));
}

}  // namespace
