#include "tray/TTrayIconHandler.h"

#include <QCoreApplication>
#include <optional>

#include "platform/MessageWindow.h"
#include "platform/Shell.h"
#include "tray/TTrayIcon.h"

namespace tray {
namespace {

std::unique_ptr<TTrayIconHandler>& Shared() {
  static std::unique_ptr<TTrayIconHandler> handler;
  return handler;
}

std::optional<platform::UINT>& TaskbarCreated() {
  static std::optional<platform::UINT> msg;
  return msg;
}

}  // namespace

TTrayIconHandler::TTrayIconHandler()
    : window_(std::make_unique<platform::MessageWindow>(
          [this](platform::UINT msg, platform::WPARAM w, platform::LPARAM l) { return WindowProc(msg, w, l); })) {}

TTrayIconHandler::~TTrayIconHandler() = default;

platform::HWND TTrayIconHandler::WindowHandle() const { return window_->Handle(); }

void TTrayIconHandler::Register(TTrayIcon* icon) { icons_[icon->TrayId()] = icon; }

void TTrayIconHandler::Unregister(TTrayIcon* icon) { icons_.erase(icon->TrayId()); }

platform::LRESULT TTrayIconHandler::WindowProc(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam) {
  using namespace platform;
  switch (msg) {
    case TrayCallbackMessage:
      if (auto it = icons_.find(wParam); it != icons_.end()) it->second->HandleTrayCallback(lParam);
      return 0;
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_NCDESTROY:
      return 1;
    default:
      return MessageWindow::DefWindowProc(msg, wParam, lParam);
  }
}

TTrayIconHandler* SharedTrayHandler() { return Shared().get(); }

void AcquireTrayHandler() {
  TaskbarCreatedMsg();  // settled before the first tray window is made
  if (!Shared()) {
    Shared() = std::make_unique<TTrayIconHandler>();
    static bool cleanupAdded = false;
    if (!cleanupAdded && QCoreApplication::instance()) {
      cleanupAdded = true;
      qAddPostRoutine([] { Shared().reset(); });
    }
  }
  ++Shared()->userCount_;
}

void ReleaseTrayHandler() {
  auto& handler = Shared();
  if (!handler) return;
  if (handler->userCount_ > 0) --handler->userCount_;
  if (handler->userCount_ == 0) handler.reset();
}

platform::UINT TaskbarCreatedMsg() {
  auto& msg = TaskbarCreated();
  if (!msg) {
    const bool announces = platform::Shell::Current().Version() >= platform::kTaskbarCreatedVersion;
    msg = announces ? platform::RegisterWindowMessage("TaskbarCreated") : 0;
  }
  return *msg;
}

void ResetTaskbarCreatedMsgForTesting() { TaskbarCreated().reset(); }

}  // namespace tray
