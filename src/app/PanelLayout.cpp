#include "app/PanelLayout.h"

namespace app {

std::array<PanelLayout::Panel, 4> PanelLayout::Compute(int W, int H) {
  // C++ integer division truncates toward zero, as the rule requires.
  const int w = (W - 14) / 2;
  const int h = (H - 14) / 2;
  std::array<Panel, 4> p{};
  p[0] = {5, 5, w, h};
  p[1] = {W / 2 + 3, 5, w, h};
  p[2] = {5, p[0].height + 9, w, h};
  p[3] = {(W + 6) / 2, (H + 4) / 2, w, h};
  return p;
}

}  // namespace app
