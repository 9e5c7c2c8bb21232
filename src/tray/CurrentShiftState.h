#pragma once

namespace tray {

// The modifier keys and mouse buttons that go with a mouse event, as a set of
// these bits.
enum TShiftStateElement : unsigned {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
};
using TShiftState = unsigned;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// The modifier keys held now, asked of the shell in the order Shift, Control,
// Alt.
TShiftState CurrentShiftState();

}  // namespace tray
