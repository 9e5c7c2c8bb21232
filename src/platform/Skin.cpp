#include "platform/Skin.h"

#include <QStyle>
#include <QVariant>
#include <QWidget>

namespace platform {

const char* Skin::StyleSheet() {
  // Sections are matched by property, so a control changes look by changing
  // the name alone. PROGRESSV must stand out clearly from PANEL_LOW: it marks
  // the selected video panel.
  return R"css(
    [skinSection="FORM"] { background: #d4d0c8; color: black; }
    QFrame[skinSection="PANEL"] { background: #d4d0c8; border: none; }
    QFrame[skinSection="PANEL_LOW"] { background: black; border: 4px inset #808080; }
    QFrame[skinSection="PROGRESSV"] { background: black; border: 4px solid #1e90ff; }
    QPushButton[skinSection="SPEEDBUTTON"] { border: 2px inset #808080; background: #c8c4bc; }
    QPushButton[skinSection="BUTTON"] { border: 2px outset #f0f0f0; background: #d4d0c8; }
    QPushButton[skinSection="BUTTON"]:pressed { border-style: inset; }
    QGroupBox[skinSection="GROUPBOX"] { border: 1px solid #808080; margin-top: 7px; }
    QGroupBox[skinSection="GROUPBOX"]::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }
    QComboBox[skinSection="COMBOBOX"], QLineEdit[skinSection="EDIT"] { background: white; color: black; border: 1px solid #808080; }
  )css";
}

void Skin::Apply(QWidget* window) { window->setStyleSheet(StyleSheet()); }

void Skin::SetSection(QWidget* control, const char* section) {
  if (control->property("skinSection").toString() == section) return;
  control->setProperty("skinSection", section);
  control->style()->unpolish(control);
  control->style()->polish(control);
  control->update();
}

}  // namespace platform
