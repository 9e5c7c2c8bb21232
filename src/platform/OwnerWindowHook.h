#pragma once
#include <QPointer>

#include "platform/WindowMessageFilter.h"

namespace platform {

// Puts a procedure in front of a window's own handling for as long as the
// hook lives (the replacement of an owner window's procedure). The window may
// be destroyed first; the hook then does nothing.
class OwnerWindowHook {
 public:
  OwnerWindowHook(QWidget* window, WindowMessageFilter::Procedure procedure);
  ~OwnerWindowHook();
  OwnerWindowHook(const OwnerWindowHook&) = delete;
  OwnerWindowHook& operator=(const OwnerWindowHook&) = delete;

 private:
  QPointer<WindowMessageFilter> filter_;
  int id_;
};

}  // namespace platform
