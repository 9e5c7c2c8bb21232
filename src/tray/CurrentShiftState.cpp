#include "tray/CurrentShiftState.h"

#include "platform/Shell.h"

namespace tray {
namespace {

bool KeyDown(int virtualKey) {
  return (static_cast<unsigned short>(platform::Shell::Current().GetAsyncKeyState(virtualKey)) & 0x8000u) != 0;
}

}  // namespace

TShiftState CurrentShiftState() {
  TShiftState state = 0;
  if (KeyDown(platform::VK_SHIFT)) state |= ssShift;
  if (KeyDown(platform::VK_CONTROL)) state |= ssCtrl;
  if (KeyDown(platform::VK_MENU)) state |= ssAlt;
  return state;
}

}  // namespace tray
