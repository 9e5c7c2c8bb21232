#include "app/SettingsFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/FileSystem.h"
#include "support/TempDir.h"

using app::SettingsFile;

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::FileSystem::SetExecutablePathForTesting(dir.File("quadrovia")); }
  void TearDown() override { platform::FileSystem::SetExecutablePathForTesting(""); }
  TempDir dir;
};

struct BoolCase {
  const char* name;
  const char* stored;  // nullptr: key absent
  bool def;
  bool expected;
};

class SettingsBool : public SettingsFileTest, public ::testing::WithParamInterface<BoolCase> {};

TEST_P(SettingsBool, ReadsByTheIntegerRule) {
  if (GetParam().stored) dir.Write("quadrovia.ini", std::string("[comm]\nauto=") + GetParam().stored + "\n");
  EXPECT_EQ(SettingsFile::ReadBool("comm", "auto", GetParam().def), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsBool,
    ::testing::Values(BoolCase{"absent_true", nullptr, true, true}, BoolCase{"absent_false", nullptr, false, false},
                      BoolCase{"zero", "0", true, false}, BoolCase{"two", "2", false, true},
                      BoolCase{"hex_0x1", "0x1", false, true}, BoolCase{"dollar_1", "$1", false, true},
                      BoolCase{"hex_upper_zero", "0X0", true, false}, BoolCase{"x_prefix", "x10", false, true},
                      BoolCase{"yes_gives_default", "yes", true, true}, BoolCase{"empty_gives_default", "", true, true},
                      BoolCase{"negative", "-1", false, true}, BoolCase{"leading_blanks_zero", "\"  0\"", true, false},
                      BoolCase{"trailing_garbage", "1a", false, false}, BoolCase{"bare_0x", "0x", true, true},
                      BoolCase{"decimal_overflow", "2147483648", false, false},
                      BoolCase{"hex_all_ones_is_minus_one", "$FFFFFFFF", false, true},
                      BoolCase{"hex_overflow", "$100000000", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsFileTest, FileIsTheExecutableNameWithIni) {
  EXPECT_EQ(SettingsFile::Path(), dir.File("quadrovia.ini"));
  platform::FileSystem::SetExecutablePathForTesting(dir.File("cam.monitor.bin"));
  EXPECT_EQ(SettingsFile::Path(), dir.File("cam.monitor.ini"));
  platform::FileSystem::SetExecutablePathForTesting("/opt/q.d/run");
  EXPECT_EQ(SettingsFile::Path(), "/opt/q.d/run.ini");
}

TEST_F(SettingsFileTest, RenamedExecutableUsesItsOwnFile) {
  dir.Write("quadrovia.ini", "[comm]\npath=/old\n");
  platform::FileSystem::SetExecutablePathForTesting(dir.File("renamed"));
  EXPECT_EQ(SettingsFile::ReadString("comm", "path", "DEF"), "DEF");
  SettingsFile::WriteBool("comm", "ontop", true);
  EXPECT_EQ(dir.Read("renamed.ini"), "[comm]\nontop=1\n");
  EXPECT_EQ(dir.Read("quadrovia.ini"), "[comm]\npath=/old\n");
}

TEST_F(SettingsFileTest, StringsKeepEmptyValuesAndAreCutTo2047Bytes) {
  dir.Write("quadrovia.ini", "[comm]\npath=\nlong=" + std::string(3000, 'p') + "\n");
  EXPECT_EQ(SettingsFile::ReadString("comm", "path", "DEF"), "");
  EXPECT_EQ(SettingsFile::ReadString("comm", "long", "DEF"), std::string(2047, 'p'));
}

TEST_F(SettingsFileTest, ReadersNeverCreateTheFile) {
  SettingsFile::ReadString("comm", "path", "x");
  SettingsFile::ReadBool("comm", "auto", true);
  struct stat st {};
  EXPECT_NE(::stat(dir.File("quadrovia.ini").c_str(), &st), 0);
}

TEST_F(SettingsFileTest, RefusedWriteNamesTheFullPath) {
  ::mkdir(dir.File("quadrovia.ini").c_str(), 0755);
  try {
    SettingsFile::WriteBool("comm", "ontop", true);
    FAIL() << "write into a directory must fail";
  } catch (const app::SettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + dir.File("quadrovia.ini"));
  }
}

}  // namespace
