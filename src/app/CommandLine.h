#pragma once
#include <QString>
#include <QStringList>

namespace app {

// The program's own options, read before the application object exists so
// that --help and --version need no display. Qt's own options (-platform,
// -display, -style, ...) are left for QApplication; the two that choose the
// display are kept here too, because the display check must honour them.
struct CommandLine {
  enum class Action { Run, ShowHelp, ShowVersion };

  Action action = Action::Run;
  bool demo = false;
  QString platform;  // -platform NAME, else empty
  QString display;   // -display NAME (X11), else empty

  static CommandLine Parse(const QStringList& arguments);
  static QString HelpText();
  static QString VersionText();  // "quadrovia <version>"
};

}  // namespace app
