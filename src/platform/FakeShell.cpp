#include "platform/FakeShell.h"

#include <QWidget>

#include "platform/ApplicationWindow.h"
#include "platform/MessageWindow.h"

namespace platform {

FakeShell::FakeShell() : previous_(Shell::SetCurrent(this)) {}

FakeShell::~FakeShell() { Shell::SetCurrent(previous_); }

bool FakeShell::NotifyIcon(UINT message, const NOTIFYICONDATA& data) {
  const auto key = std::make_pair(data.hWnd, data.uID);
  const bool present = icons_.count(key) != 0;
  bool ok = false;
  if (trayPresent) {
    if (message == NIM_ADD && !present) ok = icons_.emplace(key, data).second;
    if (message == NIM_MODIFY && present) ok = (icons_[key] = data, true);
    if (message == NIM_DELETE && present) ok = icons_.erase(key) == 1;
    if (message == NIM_SETVERSION && present) ok = true;
  }
  Call call{"NotifyIcon"};
  call.message = message;
  call.data = data;
  call.result = ok;
  Record(call);
  return ok;
}

bool FakeShell::GetCursorPos(QPoint& position) {
  if (cursorKnown) position = cursor;
  Call call{"GetCursorPos"};
  call.result = cursorKnown;
  Record(call);
  return cursorKnown;
}

short FakeShell::GetAsyncKeyState(int virtualKey) {
  Call call{"GetAsyncKeyState"};
  call.argument = virtualKey;
  Record(call);
  auto it = keysDown.find(virtualKey);
  return it != keysDown.end() && it->second ? static_cast<short>(0x8000) : 0;
}

bool FakeShell::SetForegroundWindow(QWidget* window) {
  Call call{"SetForegroundWindow"};
  call.window = window;
  call.result = window != nullptr;
  Record(call);
  return call.result;
}

bool FakeShell::SetForegroundWindow(HWND messageWindow) {
  Call call{"SetForegroundWindow"};
  call.handle = messageWindow;
  call.result = IsWindow(messageWindow);
  Record(call);
  return call.result;
}

bool FakeShell::IsWindowVisible(QWidget* window) {
  Call call{"IsWindowVisible"};
  call.window = window;
  call.result = window && window->isVisible();
  Record(call);
  return call.result;
}

bool FakeShell::ShowWindow(QWidget* window, int command) {
  Call call{"ShowWindow"};
  call.window = window;
  call.argument = command;
  call.result = window && window->isVisible();
  Record(call);
  if (window && command == SW_HIDE) window->hide();
  return call.result;
}

void FakeShell::Send(HWND window, WPARAM id, LPARAM message) {
  auto it = icons_.find({window, id});
  if (it == icons_.end() || !(it->second.uFlags & NIF_MESSAGE)) return;
  SendMessage(window, it->second.uCallbackMessage, id, message);
}

void FakeShell::Click(HWND window, WPARAM id) {
  Send(window, id, WM_LBUTTONDOWN);
  Send(window, id, WM_LBUTTONUP);
}

void FakeShell::DoubleClick(HWND window, WPARAM id) {
  Click(window, id);
  Send(window, id, WM_LBUTTONDBLCLK);
  Send(window, id, WM_LBUTTONUP);
}

void FakeShell::RestartTray() {
  icons_.clear();
  ApplicationWindow::Broadcast(RegisterWindowMessage("TaskbarCreated"), 0, 0);
}

const NOTIFYICONDATA* FakeShell::IconData(HWND window, WPARAM id) const {
  auto it = icons_.find({window, id});
  return it == icons_.end() ? nullptr : &it->second;
}

std::vector<FakeShell::Call> FakeShell::NotifyCalls() const {
  std::vector<Call> result;
  for (const Call& c : calls)
    if (c.name == "NotifyIcon") result.push_back(c);
  return result;
}

std::vector<std::string> FakeShell::CallNames() const {
  std::vector<std::string> names;
  for (const Call& c : calls) names.push_back(c.name);
  return names;
}

}  // namespace platform
