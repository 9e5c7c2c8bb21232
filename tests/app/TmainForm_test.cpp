#include "app/TmainForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QPushButton>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/WindowTimer.h"
#include "support/ErrorRecorder.h"
#include "support/TempDir.h"
#include "ui_mainForm.h"

namespace {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::FileSystem::SetExecutablePathForTesting(dir.File("quadrovia")); }
  void TearDown() override { platform::FileSystem::SetExecutablePathForTesting(""); }
  bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
  }
  TempDir dir;
  ErrorRecorder errors;
};

TEST_F(MainFormTest, FirstStartCreatesFoldersButNoSettingsFile) {
  app::TmainForm form;
  EXPECT_EQ(app::AppPaths::AppDir, dir.Path() + "/");
  EXPECT_EQ(app::AppPaths::SavePath, app::AppPaths::AppDir);
  EXPECT_TRUE(platform::FileSystem::DirectoryExists(dir.File("录像")));
  EXPECT_TRUE(platform::FileSystem::DirectoryExists(dir.File("截屏")));
  EXPECT_FALSE(Exists(dir.File("quadrovia.ini")));
  EXPECT_FALSE(form.StayOnTop());
  EXPECT_EQ(form.windowTitle(), "Quadrovia");
  EXPECT_TRUE(form.Timer3().Enabled());
  EXPECT_TRUE(form.Timer1().Enabled());
  EXPECT_EQ(form.Timer1().Interval(), 30000u);
  EXPECT_TRUE(errors.messages().empty());
}

TEST_F(MainFormTest, StoredOnTopRunsTheClickHandlerAndWritesItBack) {
  dir.Write("quadrovia.ini", "[comm]\nontop=0x1\n");
  app::TmainForm form;
  EXPECT_TRUE(form.ui().topcbx->isChecked());
  EXPECT_TRUE(form.StayOnTop());
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(dir.Read("quadrovia.ini"), "[comm]\nontop=1\n");
}

TEST_F(MainFormTest, RefusedWriteDuringCreationEndsFormCreateEarly) {
  dir.Write("quadrovia.ini", "[comm]\nontop=1\n");
  platform::ProfileFile::FailWritesForTesting(true);
  app::TmainForm form;
  platform::ProfileFile::FailWritesForTesting(false);
  ASSERT_EQ(errors.messages().size(), 1u);
  EXPECT_EQ(errors.messages()[0], "Unable to write to " + dir.File("quadrovia.ini") + ".");
  EXPECT_TRUE(form.StayOnTop()) << "the handler placed the window before its write failed";
  EXPECT_FALSE(Exists(dir.File("录像")));
  EXPECT_FALSE(form.Timer3().Enabled());
}

TEST_F(MainFormTest, UncheckingOnTopStoresFalseAndShowsWriteErrors) {
  app::TmainForm form;
  form.ui().topcbx->click();
  EXPECT_TRUE(form.StayOnTop());
  EXPECT_EQ(dir.Read("quadrovia.ini"), "[comm]\nontop=1\n");
  form.ui().topcbx->click();
  EXPECT_FALSE(form.StayOnTop());
  EXPECT_EQ(dir.Read("quadrovia.ini"), "[comm]\nontop=0\n");
  ::unlink(dir.File("quadrovia.ini").c_str());
  ::mkdir(dir.File("quadrovia.ini").c_str(), 0755);
  form.ui().topcbx->click();
  EXPECT_TRUE(form.StayOnTop()) << "always-on-top is applied before the write";
  ASSERT_EQ(errors.messages().size(), 1u);
  EXPECT_EQ(errors.messages()[0], "Unable to write to " + dir.File("quadrovia.ini") + ".");
}

TEST_F(MainFormTest, MissingParentOfSavePathCreatesNothing) {
  dir.Write("quadrovia.ini", "[comm]\npath=" + dir.File("no/such") + "\n");
  app::TmainForm form;
  EXPECT_EQ(app::AppPaths::SavePath, dir.File("no/such"));
  EXPECT_FALSE(Exists(dir.File("no")));
  EXPECT_TRUE(errors.messages().empty());
}

TEST_F(MainFormTest, ResizeLaysOutPanelsAndKeepsBottomAnchors) {
  app::TmainForm form;
  form.show();
  form.resize(762, 509);
  QCoreApplication::processEvents();
  EXPECT_EQ(form.ui().sPanel2->size(), QSize(672, 509));
  EXPECT_EQ(form.VideoPanel(4)->geometry(), QRect(339, 256, 329, 247));
  EXPECT_EQ(form.ui().sPanel1->geometry(), QRect(672, 0, 90, 509));
  EXPECT_EQ(509 - form.ui().sBitBtn2->geometry().bottom() - 1, 105);
  EXPECT_EQ(509 - form.ui().topcbx->geometry().bottom() - 1, 36);
  EXPECT_EQ(form.ui().playBtn->pos(), QPoint(8, 17));
}

TEST_F(MainFormTest, PanelsWithoutCaptionCarryTheirNameForAssistiveTools) {
  app::TmainForm form;
  EXPECT_EQ(form.VideoPanel(3)->accessibleName(), "vPanel3");
  EXPECT_EQ(form.ui().sPanel1->accessibleName(), "sPanel1");
}

}  // namespace
