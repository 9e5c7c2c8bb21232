#include "app/AppPaths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>

#include "app/SettingsFile.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

using app::AppPaths;

namespace {

struct PlaceCase {
  const char* name;
  const char* executable;
  std::map<std::string, std::string> variables;
  const char* userDirs;  // $XDG_CONFIG_HOME/user-dirs.dirs (or ~/.config's); nullptr: no file
  bool refusesWrites;    // the executable's folder
  const char* settingsFile;
  const char* saveFolder;
};

AppPaths::Environment Made(const PlaceCase& c) {
  AppPaths::Environment env;
  env.executablePath = c.executable;
  env.installBinDir = "/usr/bin";
  env.getenv = [vars = c.variables](const char* name) -> std::optional<std::string> {
    const auto it = vars.find(name);
    return it == vars.end() ? std::nullopt : std::optional<std::string>(it->second);
  };
  env.refusesWrites = [c](const std::string&) { return c.refusesWrites; };
  std::string configHome = c.variables.count("XDG_CONFIG_HOME") && c.variables.at("XDG_CONFIG_HOME")[0] == '/'
                               ? c.variables.at("XDG_CONFIG_HOME")
                               : c.variables.at("HOME") + "/.config";
  while (configHome.size() > 1 && configHome.back() == '/') configHome.pop_back();
  if (configHome.find("//") != std::string::npos) configHome.replace(configHome.find("//"), 2, "/");
  env.readFile = [c, configHome](const std::string& path) -> std::optional<std::string> {
    if (c.userDirs && path == configHome + "/user-dirs.dirs") return std::string(c.userDirs);
    return std::nullopt;
  };
  return env;
}

class Places : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(Places, SettingsFileAndSaveFolder) {
  const AppPaths::Environment env = Made(GetParam());
  EXPECT_EQ(AppPaths::SettingsFilePath(env), GetParam().settingsFile);
  EXPECT_EQ(AppPaths::DefaultSavePath(env), GetParam().saveFolder);
}

const std::map<std::string, std::string> kHome{{"HOME", "/home/ann"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, Places,
    ::testing::Values(
        PlaceCase{"portable_build_tree", "/home/ann/src/build/quadrovia", kHome, nullptr, false,
                  "/home/ann/src/build/quadrovia.ini", "/home/ann/src/build/"},
        PlaceCase{"portable_renamed_keeps_its_own_name", "/home/ann/cams/monitor.bin", kHome, nullptr, false,
                  "/home/ann/cams/monitor.ini", "/home/ann/cams/"},
        PlaceCase{"installed_in_its_bin_folder", "/usr/bin/quadrovia", kHome, nullptr, false,
                  "/home/ann/.config/quadrovia/quadrovia.ini", "/home/ann/Videos/Quadrovia/"},
        PlaceCase{"installed_renamed_still_quadrovia_ini", "/usr/bin/qv", kHome, nullptr, false,
                  "/home/ann/.config/quadrovia/quadrovia.ini", "/home/ann/Videos/Quadrovia/"},
        PlaceCase{"unwritable_folder_counts_as_installed", "/opt/q/bin/quadrovia", kHome, nullptr, true,
                  "/home/ann/.config/quadrovia/quadrovia.ini", "/home/ann/Videos/Quadrovia/"},
        PlaceCase{"xdg_config_home", "/usr/bin/quadrovia", {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "/cfg/"}},
                  "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n", false, "/cfg/quadrovia/quadrovia.ini",
                  "/home/ann/Filme/Quadrovia/"},
        PlaceCase{"relative_xdg_config_home_is_ignored", "/usr/bin/quadrovia",
                  {{"HOME", "/home/ann/"}, {"XDG_CONFIG_HOME", "cfg"}}, nullptr, false,
                  "/home/ann/.config/quadrovia/quadrovia.ini", "/home/ann/Videos/Quadrovia/"},
        PlaceCase{"user_dirs_localised", "/usr/bin/quadrovia", kHome,
                  "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\nXDG_VIDEOS_DIR=\"$HOME/视频\"\n",
                  false, "/home/ann/.config/quadrovia/quadrovia.ini", "/home/ann/视频/Quadrovia/"},
        PlaceCase{"user_dirs_absolute_and_escaped", "/usr/bin/quadrovia", kHome,
                  "XDG_VIDEOS_DIR=\"/srv/my \\\"cams\\\"/\"\n", false,
                  "/home/ann/.config/quadrovia/quadrovia.ini", "/srv/my \"cams\"/Quadrovia/"},
        PlaceCase{"user_dirs_last_line_wins", "/usr/bin/quadrovia", kHome,
                  "XDG_VIDEOS_DIR=\"$HOME/a\"\n  XDG_VIDEOS_DIR=\"$HOME/b\"\n", false,
                  "/home/ann/.config/quadrovia/quadrovia.ini", "/home/ann/b/Quadrovia/"},
        PlaceCase{"user_dirs_commented_or_malformed_fall_back_to_the_variable", "/usr/bin/quadrovia",
                  {{"HOME", "/home/ann"}, {"XDG_VIDEOS_DIR", "/media/videos"}},
                  "#XDG_VIDEOS_DIR=\"$HOME/x\"\nXDG_VIDEOS_DIR=relative\nXDG_VIDEOS_DIR=\"$HOME/unclosed\n", false,
                  "/home/ann/.config/quadrovia/quadrovia.ini", "/media/videos/Quadrovia/"},
        PlaceCase{"relative_videos_variable_is_ignored", "/usr/bin/quadrovia",
                  {{"HOME", "/home/ann"}, {"XDG_VIDEOS_DIR", "Videos2"}}, nullptr, false,
                  "/home/ann/.config/quadrovia/quadrovia.ini", "/home/ann/Videos/Quadrovia/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AppPathsProcess, ANonexistentFolderIsNotAnInstalledOne) {
  // A path that names no folder cannot be judged unwritable: it stays portable.
  AppPaths::Environment env = AppPaths::ProcessEnvironment();
  env.executablePath = "/nonexistent/folder/quadrovia";
  EXPECT_FALSE(AppPaths::Installed(env));
  EXPECT_EQ(AppPaths::SettingsFilePath(env), "/nonexistent/folder/quadrovia.ini");
}

// The installed program's first settings write, on the real file system:
// the config folder is created with its parents, private to the user.
class InstalledSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string bin = AppPaths::ProcessEnvironment().installBinDir;
    ASSERT_FALSE(bin.empty());
    platform::FileSystem::SetExecutablePathForTesting(bin + "/quadrovia");
    Save("HOME", home_);
    Save("XDG_CONFIG_HOME", config_);
    ::setenv("HOME", dir.Path().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override {
    platform::FileSystem::SetExecutablePathForTesting("");
    Restore("HOME", home_);
    Restore("XDG_CONFIG_HOME", config_);
  }
  static void Save(const char* name, std::optional<std::string>& to) {
    if (const char* v = std::getenv(name)) to = v;
  }
  static void Restore(const char* name, const std::optional<std::string>& from) {
    if (from) ::setenv(name, from->c_str(), 1);
    else ::unsetenv(name);
  }
  TempDir dir;
  std::optional<std::string> home_, config_;
};

TEST_F(InstalledSettings, FirstWriteCreatesTheConfigFolderAndReadsNeverDo) {
  EXPECT_EQ(app::SettingsFile::Path(), dir.File(".config/quadrovia/quadrovia.ini"));
  EXPECT_EQ(app::SettingsFile::ReadString("comm", "path", "DEF"), "DEF");
  struct stat st {};
  EXPECT_NE(::stat(dir.File(".config").c_str(), &st), 0) << "a read created the folder";
  app::SettingsFile::WriteBool("comm", "ontop", true);
  EXPECT_EQ(dir.Read(".config/quadrovia/quadrovia.ini"), "[comm]\nontop=1\n");
  ASSERT_EQ(::stat(dir.File(".config/quadrovia").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(AppPaths::DefaultSavePath(), dir.File("Videos/Quadrovia/"));
}

}  // namespace
