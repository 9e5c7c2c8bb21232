#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#ifndef QUADROVIA_VERSION
#define QUADROVIA_VERSION "0"
#endif

namespace app {
namespace {

struct Options {
  QCommandLineOption help{{"h", "help"}, QCoreApplication::translate("CommandLine", "Show this help and exit.")};
  QCommandLineOption version{{"v", "version"}, QCoreApplication::translate("CommandLine", "Show the version and exit.")};
  QCommandLineOption demo{"demo", QCoreApplication::translate(
                                      "CommandLine", "Start with four synthetic cameras, for trying the program without cameras.")};
  QCommandLineOption platform{"platform", "", "name"};
  QCommandLineOption display{"display", "", "name"};

  Options() {
    platform.setFlags(QCommandLineOption::HiddenFromHelp);
    display.setFlags(QCommandLineOption::HiddenFromHelp);
  }

  void AddTo(QCommandLineParser& parser) {
    // "-reverse" or "-style" must stay whole words for Qt, not letter groups
    // that could hold an "h" or a "v".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine",
        "Quadrovia shows up to four cameras in a 2x2 grid and records each to its own ASF file.\n"
        "Qt's own options (-platform, -display, -style, -reverse, ...) are accepted as well."));
    parser.addOptions({help, version, demo, platform, display});
  }
};

}  // namespace

CommandLine CommandLine::Parse(const QStringList& arguments) {
  Options options;
  QCommandLineParser parser;
  options.AddTo(parser);
  // Unknown options are Qt's own or mistakes; QApplication ignores both, and
  // so does the program. The known ones are set all the same.
  parser.parse(arguments);
  CommandLine result;
  if (parser.isSet(options.help)) result.action = Action::ShowHelp;
  else if (parser.isSet(options.version)) result.action = Action::ShowVersion;
  result.demo = parser.isSet(options.demo);
  result.platform = parser.value(options.platform);
  result.display = parser.value(options.display);
  return result;
}

QString CommandLine::HelpText() {
  Options options;
  QCommandLineParser parser;
  options.AddTo(parser);
  parser.parse({QStringLiteral("quadrovia")});
  // Qt names the running executable when an application object exists;
  // the program is "quadrovia" whatever file it was started from.
  QString text = parser.helpText();
  const qsizetype end = text.indexOf(QLatin1Char(' '), text.indexOf(QLatin1Char(' ')) + 1);
  if (text.startsWith(QLatin1String("Usage: ")) && end > 0) text.replace(0, end, QStringLiteral("Usage: quadrovia"));
  return text;
}

QString CommandLine::VersionText() { return QStringLiteral("quadrovia " QUADROVIA_VERSION); }

}  // namespace app
