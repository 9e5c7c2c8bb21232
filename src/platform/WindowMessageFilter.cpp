#include "platform/WindowMessageFilter.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

#include "platform/ApplicationWindow.h"
#include "platform/WindowEventTranslator.h"

namespace platform {

WindowMessageFilter::WindowMessageFilter(QWidget* window) : QObject(window), window_(window) {
  window->installEventFilter(this);
}

WindowMessageFilter& WindowMessageFilter::For(QWidget* window) {
  if (auto* existing = window->findChild<WindowMessageFilter*>(QString(), Qt::FindDirectChildrenOnly))
    return *existing;
  return *new WindowMessageFilter(window);
}

int WindowMessageFilter::AddProcedure(Procedure procedure) {
  procedures_.emplace_back(nextId_, std::move(procedure));
  return nextId_++;
}

void WindowMessageFilter::RemoveProcedure(int id) {
  std::erase_if(procedures_, [id](const auto& entry) { return entry.first == id; });
}

bool WindowMessageFilter::RunProcedures(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // A procedure may remove itself or others: walk a snapshot of the
  // identifiers and skip the ones gone meanwhile.
  std::vector<int> ids;
  for (auto it = procedures_.rbegin(); it != procedures_.rend(); ++it) ids.push_back(it->first);
  for (int id : ids) {
    auto entry = std::find_if(procedures_.begin(), procedures_.end(), [id](const auto& e) { return e.first == id; });
    if (entry == procedures_.end()) continue;
    Procedure procedure = entry->second;  // a copy survives its own removal
    if (procedure(msg, wParam, lParam, result)) return true;
  }
  return false;
}

bool WindowMessageFilter::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (RunProcedures(msg, wParam, lParam, result)) return true;
  return ApplicationWindow::Window() == window_ && ApplicationWindow::RunHooks(msg, wParam, lParam);
}

bool WindowMessageFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return false;
  for (const WindowMessage& m : WindowEventTranslator::Translate(*window_, *event)) {
    LRESULT result = 0;
    if (Dispatch(m.msg, m.wParam, m.lParam, result)) return true;
  }
  return false;
}

}  // namespace platform
