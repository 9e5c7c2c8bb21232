#include "platform/ApplicationWindow.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "platform/Application.h"
#include "platform/IconTitle.h"
#include "platform/WindowMessageFilter.h"

namespace platform {
namespace {

struct State {
  QPointer<QWidget> mainForm;
  std::vector<std::pair<int, ApplicationWindow::Hook>> hooks;
  int nextId = 1;
  bool showMainForm = true;
  bool terminated = false;
  // The size kind of the last WM_SIZE that was not a minimize.
  WPARAM lastShownSize = SIZE_RESTORED;
};

State& S() {
  static State state;
  return state;
}

}  // namespace

void ApplicationWindow::SetMainForm(QWidget* form) {
  S().mainForm = form;
  S().lastShownSize = form && form->isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
  if (!form) return;
  WindowMessageFilter::For(form);
  // Its own taskbar entry under X11: the entry shows the application title,
  // the caption stays the form's.
  IconTitle::Apply(form, QString::fromStdString(Application::Title()));
  static bool watchingQuit = false;
  if (!watchingQuit && QCoreApplication::instance()) {
    watchingQuit = true;
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] { S().terminated = true; });
  }
}

QWidget* ApplicationWindow::MainForm() { return S().mainForm.data(); }

int ApplicationWindow::AddHook(Hook hook) {
  S().hooks.emplace_back(S().nextId, std::move(hook));
  return S().nextId++;
}

void ApplicationWindow::RemoveHook(int id) {
  std::erase_if(S().hooks, [id](const auto& entry) { return entry.first == id; });
}

bool ApplicationWindow::RunHooks(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SIZE && wParam != SIZE_MINIMIZED) S().lastShownSize = wParam;
  std::vector<int> ids;
  for (auto it = S().hooks.rbegin(); it != S().hooks.rend(); ++it) ids.push_back(it->first);
  for (int id : ids) {
    auto& hooks = S().hooks;
    auto entry = std::find_if(hooks.begin(), hooks.end(), [id](const auto& e) { return e.first == id; });
    if (entry == hooks.end()) continue;
    Hook hook = entry->second;  // a copy survives its own removal
    if (hook(msg, wParam, lParam)) return true;
  }
  return false;
}

void ApplicationWindow::Broadcast(UINT msg, WPARAM wParam, LPARAM lParam) { RunHooks(msg, wParam, lParam); }

void ApplicationWindow::Restore() {
  QWidget* window = Window();
  if (!window || !window->isMinimized()) return;
  Qt::WindowStates state = window->windowState() & ~Qt::WindowMinimized;
  // Some window managers drop the maximized state while a window is iconic.
  if (S().lastShownSize == SIZE_MAXIMIZED && !(state & (Qt::WindowMaximized | Qt::WindowFullScreen)))
    state |= Qt::WindowMaximized;
  window->setWindowState(state);
}

void ApplicationWindow::ProcessMessages() { QCoreApplication::processEvents(); }

bool ApplicationWindow::ShowMainForm() { return S().showMainForm; }

void ApplicationWindow::SetShowMainForm(bool show) { S().showMainForm = show; }

bool ApplicationWindow::Terminated() { return S().terminated || QCoreApplication::closingDown(); }

}  // namespace platform
