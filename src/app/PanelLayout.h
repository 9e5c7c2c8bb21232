#pragma once
#include <array>

#include <QRect>

namespace app {

// The rule that lays the four video panels out in the client panel whenever the
// main window is resized. Coordinates it does not assign keep their designer
// value of 5. Widths and heights may come out negative for a client panel
// under 14 pixels; the rule reports them unchanged and the window shows them
// as empty.
class PanelLayout {
 public:
  struct Panel {
    int left, top, width, height;
  };
  static std::array<Panel, 4> Compute(int clientWidth, int clientHeight);
  static QRect Shown(const Panel& p) { return QRect(p.left, p.top, p.width < 0 ? 0 : p.width, p.height < 0 ? 0 : p.height); }
};

}  // namespace app
