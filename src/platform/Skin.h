#pragma once

class QWidget;

namespace platform {

// The one skin stored in the program. Every control names the skin section it
// is drawn from in its "skinSection" property (set in the forms); changing the
// section at run time re-draws the control from the new section.
class Skin {
 public:
  // Applies the skin to a top-level window and everything in it.
  static void Apply(QWidget* window);
  static void SetSection(QWidget* control, const char* section);
  static const char* StyleSheet();
};

}  // namespace platform
