#include "app/ToptionForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "support/ErrorRecorder.h"
#include "support/TempDir.h"
#include "ui_optionForm.h"

namespace {

class OptionFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FileSystem::SetExecutablePathForTesting(dir.File("quadrovia"));
    app::AppPaths::AppDir = dir.Path() + "/";
  }
  void TearDown() override {
    platform::FileSystem::SetExecutablePathForTesting("");
    platform::ProfileFile::FailWritesForTesting(false);
  }
  TempDir dir;
  ErrorRecorder errors;
};

TEST_F(OptionFormTest, WithoutSettingsShowsAppDirAndIdleOn) {
  app::ToptionForm form;
  form.FormCreate();
  EXPECT_EQ(form.ui().DirectoryEdit->text().toStdString(), dir.Path() + "/");
  EXPECT_TRUE(form.AutoChecked());
  for (int n = 1; n <= 4; ++n) {
    EXPECT_FALSE(form.DeviceList(n)->isEnabled());
    EXPECT_EQ(form.DeviceList(n)->currentIndex(), -1);
  }
}

TEST_F(OptionFormTest, OkWritesPathThenAutoAsTyped) {
  dir.Write("quadrovia.ini", "[comm]\nauto=0\npath=/old\n");
  app::ToptionForm form;
  form.FormCreate();
  EXPECT_FALSE(form.AutoChecked());
  form.ui().DirectoryEdit->setText(" /not checked ");
  form.ui().autoCbx->setChecked(true);
  form.ui().sBitBtn2->click();
  EXPECT_EQ(dir.Read("quadrovia.ini"), "[comm]\nauto=1\npath= /not checked \n");
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(OptionFormTest, RefusedWriteKeepsTheDialogOpenAndAutoUnwritten) {
  app::ToptionForm form;
  form.FormCreate();
  form.show();
  platform::ProfileFile::FailWritesForTesting(true);
  form.ui().sBitBtn2->click();
  EXPECT_TRUE(form.isVisible());
  ASSERT_EQ(errors.messages().size(), 1u);
  EXPECT_EQ(errors.messages()[0], "Unable to write to " + dir.File("quadrovia.ini") + ".");
}

TEST_F(OptionFormTest, FolderFieldTakesAtMost255Characters) {
  app::ToptionForm form;
  form.ui().DirectoryEdit->setText(QString(300, 'a'));
  EXPECT_EQ(form.ui().DirectoryEdit->text().size(), 255);
}

TEST_F(OptionFormTest, BrowseStartsAtAnExistingFolderAndReplacesTheField) {
  app::ToptionForm form;
  QString startedAt = "unset";
  form.SetFolderPicker([&](QWidget*, const QString& start) {
    startedAt = start;
    return QString("/chosen");
  });
  form.ui().DirectoryEdit->setText(QString::fromStdString(dir.Path()));
  form.BrowseClick();
  EXPECT_EQ(startedAt.toStdString(), dir.Path());
  EXPECT_EQ(form.ui().DirectoryEdit->text(), "/chosen");
  form.ui().DirectoryEdit->setText("/no/such/folder");
  form.BrowseClick();
  EXPECT_EQ(startedAt, QString());
}

}  // namespace
