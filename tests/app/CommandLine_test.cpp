#include "app/CommandLine.h"

#include <gtest/gtest.h>

using app::CommandLine;

namespace {

struct Case {
  const char* name;
  QStringList arguments;
  CommandLine::Action action;
  bool demo;
  const char* platform;
};

class CommandLineCases : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineCases, OwnOptionsAreReadAndQtsArePassedOver) {
  const CommandLine line = CommandLine::Parse(QStringList{"quadrovia"} + GetParam().arguments);
  EXPECT_EQ(line.action, GetParam().action);
  EXPECT_EQ(line.demo, GetParam().demo);
  EXPECT_EQ(line.platform.toStdString(), GetParam().platform);
}

using A = CommandLine::Action;
INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineCases,
    ::testing::Values(Case{"none", {}, A::Run, false, ""},
                      Case{"help", {"--help"}, A::ShowHelp, false, ""},
                      Case{"short_help", {"-h"}, A::ShowHelp, false, ""},
                      Case{"version", {"--version"}, A::ShowVersion, false, ""},
                      Case{"help_wins_over_version", {"--version", "--help"}, A::ShowHelp, false, ""},
                      Case{"demo", {"--demo"}, A::Run, true, ""},
                      // Qt's single-dash words are not letter groups: "-reverse"
                      // holds a "v" and must not read as -v.
                      Case{"qt_reverse_is_not_version", {"-reverse", "-style", "fusion"}, A::Run, false, ""},
                      Case{"qt_platform", {"-platform", "offscreen", "--demo"}, A::Run, true, "offscreen"},
                      Case{"qt_platform_double_dash", {"--platform=xcb"}, A::Run, false, "xcb"},
                      Case{"unknown_option_ignored", {"--no-such-thing", "--demo"}, A::Run, true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, DisplayNameIsKeptForTheDisplayCheck) {
  EXPECT_EQ(CommandLine::Parse({"quadrovia", "-display", ":7"}).display.toStdString(), ":7");
}

TEST(CommandLine, HelpNamesTheProgramAndItsOptionsButHidesQtsOwn) {
  const std::string help = CommandLine::HelpText().toStdString();
  EXPECT_NE(help.find("Usage: quadrovia"), std::string::npos) << help;
  for (const char* option : {"--help", "--version", "--demo"}) EXPECT_NE(help.find(option), std::string::npos) << option;
  EXPECT_EQ(help.find("--platform"), std::string::npos) << help;
}

TEST(CommandLine, VersionIsProgramNameAndVersion) {
  EXPECT_EQ(CommandLine::VersionText().toStdString().rfind("quadrovia ", 0), 0u);
}

}  // namespace
