#include "app/ToptionForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
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

// Keys as the user presses them, so the field's own edit checks run.
void Press(QLineEdit* field, Qt::Key key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(field, &press);
}
void Type(QLineEdit* field, const QString& text) {
  for (QChar c : text) Press(field, Qt::Key_A, QString(c));
}

TEST_F(OptionFormTest, TypingStopsAt255Characters) {
  app::ToptionForm form;
  form.FormCreate();
  QLineEdit* field = form.ui().DirectoryEdit;
  field->clear();
  Type(field, QString(300, 'a'));
  EXPECT_EQ(field->text(), QString(255, 'a'));
}

// A path longer than the typing limit, stored by hand or by another tool,
// is shown and stored again whole: cut, it would send the recordings to
// another folder from the next start.
TEST_F(OptionFormTest, AStoredLongerPathIsShownAndStoredWholeButTypingCannotLengthenIt) {
  const std::string stored = "/" + std::string(299, 'p');
  dir.Write("quadrovia.ini", "[comm]\npath=" + stored + "\n");
  app::ToptionForm form;
  form.FormCreate();
  QLineEdit* field = form.ui().DirectoryEdit;
  EXPECT_EQ(field->text().toStdString(), stored);
  Type(field, "x");
  EXPECT_EQ(field->text().toStdString(), stored) << "typing past the stored length";
  Press(field, Qt::Key_Backspace);
  Type(field, "qr");
  EXPECT_EQ(field->text().toStdString(), stored.substr(0, 299) + "q");

  app::ToptionForm untouched;
  untouched.FormCreate();
  untouched.ui().sBitBtn2->click();
  EXPECT_EQ(dir.Read("quadrovia.ini"), "[comm]\npath=" + stored + "\nauto=1\n");
  app::ToptionForm next;
  next.FormCreate();
  EXPECT_EQ(next.ui().DirectoryEdit->text().toStdString(), stored);
}

TEST_F(OptionFormTest, BrowseStartsAtAnExistingFolderAndReplacesTheField) {
  app::ToptionForm form;
  QString startedAt = "unset";
  QString chosen = "/chosen";
  form.SetFolderPicker([&](QWidget*, const QString& start) {
    startedAt = start;
    return chosen;
  });
  form.ui().DirectoryEdit->setText(QString::fromStdString(dir.Path()));
  form.BrowseClick();
  EXPECT_EQ(startedAt.toStdString(), dir.Path());
  EXPECT_EQ(form.ui().DirectoryEdit->text(), "/chosen");
  form.ui().DirectoryEdit->setText("/no/such/folder");
  form.BrowseClick();
  EXPECT_EQ(startedAt, QString());
  chosen = "/" + QString(299, 'c');
  form.BrowseClick();
  EXPECT_EQ(form.ui().DirectoryEdit->text(), chosen.left(255)) << "a chosen folder is held to the typing limit";
}

}  // namespace
