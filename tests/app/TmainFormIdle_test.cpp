#include <QCheckBox>
#include <gtest/gtest.h>

#include "app/AppPaths.h"
#include "app/IdleWatch.h"
#include "app/TmainForm.h"
#include "app/ToptionForm.h"
#include "platform/FileSystem.h"
#include "platform/InputIdle.h"
#include "support/EventLoop.h"
#include "support/TempDir.h"
#include "ui_optionForm.h"

namespace {

class SteppedIdle : public platform::InputIdle {
 public:
  explicit SteppedIdle(std::uint32_t* now, std::uint32_t* last) : now_(now), last_(last) {}
  std::uint32_t TickCount() override { return *now_; }
  bool LastInputTick(std::uint32_t& tick) override {
    tick = *last_;
    return true;
  }

 private:
  std::uint32_t* now_;
  std::uint32_t* last_;
};

// The idle watch on the real main window: the ticks are stepped, the window
// state is the form's own.
class MainFormIdleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FileSystem::SetExecutablePathForTesting(dir.File("quadrovia"));
    form = std::make_unique<app::TmainForm>(nullptr, std::make_unique<SteppedIdle>(&now, &last));
    options = std::make_unique<app::ToptionForm>(form.get());
    options->FormCreate();
    form->SetOptionForm(options.get());
    form->show();
    PumpFor(50);
  }
  void TearDown() override {
    options.reset();
    form.reset();
    platform::FileSystem::SetExecutablePathForTesting("");
  }

  TempDir dir;
  std::uint32_t now = 5'000'000, last = 5'000'000;
  std::unique_ptr<app::TmainForm> form;
  std::unique_ptr<app::ToptionForm> options;
};

TEST_F(MainFormIdleTest, IdleMaximizesOnceAndInputReturnsToNormal) {
  form->Timer3Timer();
  EXPECT_TRUE(form->Idle().AutoStartDone);
  now = last + 150'900;
  form->Timer3Timer();
  EXPECT_FALSE(form->isMaximized());
  now = last + 151'000;
  form->Timer3Timer();
  EXPECT_TRUE(form->isMaximized());
  EXPECT_TRUE(form->isVisible());
  last = now;
  form->Timer3Timer();
  EXPECT_FALSE(form->isMaximized());
}

TEST_F(MainFormIdleTest, UncheckedIdleBoxNeverMaximizes) {
  options->ui().autoCbx->setChecked(false);
  form->Timer3Timer();
  now = last + 1'000'000;
  form->Timer3Timer();
  EXPECT_FALSE(form->isMaximized());
}

}  // namespace
