#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>

#include "media/TVideoWindow.h"
#include "media/TVideoWindowPopup.h"
#include "channels/WindowCommands.h"
#include <QAction>

#include "ChannelFixture.h"
#include "support/EventLoop.h"
#include "channels/MonitorCommand.h"
#include "channels/RecordCommand.h"
#include "platform/FileSystem.h"
#include "platform/OutputFile.h"

namespace {

TEST(RecordingFile, IsNamedAfterTheMinuteInTheChannelFolder) {
  const QDateTime at(QDate(2009, 7, 5), QTime(14, 7, 59));
  EXPECT_EQ(channels::RecordCommand::RecordingFile("/d/监控", 2, at), "/d/监控/录像/#2/[09年07月05日]14时07分.asf");
  EXPECT_EQ(channels::RecordCommand::RecordingFile("/a/", 4, QDateTime(QDate(2010, 12, 31), QTime(0, 0))),
            "/a//录像/#4/[10年12月31日]00时00分.asf");
}

TEST_F(ChannelFixture, MonitorStartsEveryBoundChannel) {
  UseCameras("A\nB\n");
  recBtn->setText("x");
  control->playBtnClick();
  EXPECT_TRUE(Active(1));
  EXPECT_TRUE(Active(2));
  EXPECT_FALSE(Active(3));
  EXPECT_EQ(recBtn->text(), "开始录像");
  EXPECT_TRUE(shown.messages().empty());
}

TEST_F(ChannelFixture, NoBoundChannelLeavesTheCaptionAndShowsNothing) {
  UseCameras("");
  recBtn->setText("x");
  control->playBtnClick();
  EXPECT_EQ(recBtn->text(), "x");
  EXPECT_TRUE(shown.messages().empty());
}

struct BusyCase {
  const char* name;
  std::string cameras;
  bool channel1Active;
  bool channel2Active;
};

class BusyCamera : public ChannelFixture, public ::testing::WithParamInterface<BusyCase> {};

TEST_P(BusyCamera, ShowsTheFixedMessageOnceAndStopsThere) {
  UseCameras(GetParam().cameras);
  control->playBtnClick();
  ASSERT_EQ(shown.messages().size(), 1u);
  EXPECT_EQ(shown.messages()[0], channels::MonitorCommand::kFailureText);
  // The failing channel stays as far as it got (active, not running); the
  // channels after it are not touched.
  EXPECT_EQ(Active(1), GetParam().channel1Active);
  EXPECT_EQ(Active(2), GetParam().channel2Active);
}

INSTANTIATE_TEST_SUITE_P(Cases, BusyCamera,
                         ::testing::Values(BusyCase{"first_busy", "A [busy]\nB\n", true, false},
                                           BusyCase{"second_busy", "A\nB [busy]\n", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChannelFixture, RecordWithoutActiveChannelsOnlyCreatesTheFolders) {
  UseCameras("A\n");
  platform::FileSystem::CreateDirectory(dir.File("录像"));
  control->recBtnClick();
  for (int n = 1; n <= 4; ++n)
    EXPECT_TRUE(platform::FileSystem::DirectoryExists(dir.Path() + "/录像/#" + std::to_string(n) + "/"));
  EXPECT_EQ(recBtn->text(), "开始录像");
}

TEST_F(ChannelFixture, RecordThenStopWritesAFileAndLeavesEveryChannelInactive) {
  UseCameras("A\nB\n");
  platform::FileSystem::CreateDirectory(dir.File("录像"));
  control->playBtnClick();
  control->recBtnClick();
  ASSERT_TRUE(shown.messages().empty()) << shown.messages()[0];
  EXPECT_EQ(recBtn->text(), "停止录像");
  PumpFor(1500);
  control->recBtnClick();
  EXPECT_TRUE(shown.messages().empty());
  EXPECT_EQ(recBtn->text(), "开始录像");
  EXPECT_FALSE(Active(1));
  EXPECT_FALSE(Active(2));
  for (int n = 1; n <= 2; ++n) {
    const auto files = QDir(QString::fromStdString(dir.Path() + "/录像/#" + std::to_string(n))).entryList({"*.asf"});
    EXPECT_EQ(files.size(), 1) << "channel " << n;
  }
}


// A disk that fills while three channels record: one message names every
// channel, its reason and its file; the caption returns, the channels keep
// their live view, and the next press records afresh into files of their
// own beside the ones that stopped.
class WriteFailure : public ChannelFixture {
 protected:
  void TearDown() override {
    platform::OutputFile::FailWritesForTesting(0);
    platform::OutputFile::FailCreateForTesting(0);
    ChannelFixture::TearDown();
  }
  QStringList Files(int n) {
    return QDir(QString::fromStdString(dir.Path() + "/录像/#" + std::to_string(n))).entryList({"*.asf"}, QDir::Files, QDir::Name);
  }
};

TEST_F(WriteFailure, AFullDiskStopsTheRecordingsWithOneMessageAndTheCaptionReturns) {
  UseCameras("A\nB\nC\n");
  platform::FileSystem::CreateDirectory(dir.File("录像"));
  control->playBtnClick();
  control->recBtnClick();
  ASSERT_EQ(recBtn->text(), "停止录像");
  PumpFor(1500);
  platform::OutputFile::FailWritesForTesting(ENOSPC);
  ASSERT_TRUE(PumpUntil([&] { return !shown.messages().empty(); }, 8000));
  PumpFor(1500);
  ASSERT_EQ(shown.messages().size(), 1u);
  const std::string& text = shown.messages()[0];
  for (int n = 1; n <= 3; ++n) {
    const std::string file = dir.Path() + "/录像/#" + std::to_string(n) + "/" + Files(n).value(0).toStdString();
    EXPECT_NE(text.find("通道" + std::to_string(n) + "录像已停止：磁盘空间不足。\n" + file), std::string::npos) << text;
  }
  EXPECT_EQ(recBtn->text(), "开始录像");
  for (int n = 1; n <= 3; ++n) EXPECT_TRUE(Active(n)) << "channel " << n << " keeps its live view";

  platform::OutputFile::FailWritesForTesting(0);
  control->recBtnClick();
  EXPECT_EQ(recBtn->text(), "停止录像");
  PumpFor(1000);
  control->recBtnClick();
  EXPECT_EQ(shown.messages().size(), 1u);
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(Files(n).size(), 2) << "channel " << n;
}

TEST_F(WriteFailure, ADiskFullAtTheStartIsToldAtOnce) {
  UseCameras("A\n");
  platform::FileSystem::CreateDirectory(dir.File("录像"));
  control->playBtnClick();
  platform::OutputFile::FailCreateForTesting(ENOSPC);
  control->recBtnClick();
  ASSERT_TRUE(PumpUntil([&] { return !shown.messages().empty(); }, 3000));
  EXPECT_EQ(shown.messages()[0].rfind("通道1录像已停止：磁盘空间不足。\n" + dir.Path() + "/录像/#1/[", 0), 0u)
      << shown.messages()[0];
  EXPECT_EQ(recBtn->text(), "开始录像");
  EXPECT_TRUE(Active(1));
}

}  // namespace

namespace {

TEST_F(ChannelFixture, DoubleClickTogglesFullScreenOfThatWindow) {
  UseCameras("A\n");
  control->playBtnClick();
  media::TVideoWindow& window = *control->Channels()[1].videoWindow;
  const QPointF at(10, 10);
  QMouseEvent press(QEvent::MouseButtonPress, at, window.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
  QMouseEvent release(QEvent::MouseButtonRelease, at, window.mapToGlobal(at), Qt::LeftButton, {}, {});
  QMouseEvent dbl(QEvent::MouseButtonDblClick, at, window.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
  QCoreApplication::sendEvent(&window, &press);
  QCoreApplication::sendEvent(&window, &release);
  QCoreApplication::sendEvent(&window, &dbl);
  QCoreApplication::sendEvent(&window, &release);
  EXPECT_TRUE(window.FullScreen());
  EXPECT_EQ(control->Channels()[1].panel->property("skinSection").toString(), "PROGRESSV");
}

}  // namespace

namespace {

TEST_F(ChannelFixture, PropertiesItemIsEnabledOnlyOnAnActiveWindow) {
  UseCameras("A\n");
  control->playBtnClick();
  auto& windows = control->Windows();
  media::TVideoWindowPopup::Record(control->PopupMenu(), control->Channels()[2].videoWindow);
  windows.PopupMenuPopup();
  EXPECT_FALSE(windows.PropertiesItem()->isEnabled());
  windows.N1Click();  // "停止" on an inactive window does nothing
  EXPECT_TRUE(Active(1));
  media::TVideoWindowPopup::Record(control->PopupMenu(), control->Channels()[1].videoWindow);
  windows.PopupMenuPopup();
  EXPECT_TRUE(windows.PropertiesItem()->isEnabled());
  windows.N1Click();
  EXPECT_FALSE(Active(1));
}

}  // namespace

namespace {

// Input forwarded from the renderer window arrives as two plain presses.
TEST_F(ChannelFixture, TwoQuickPressesCountAsADoubleClick) {
  UseCameras("A\n");
  media::TVideoWindow& window = *control->Channels()[1].videoWindow;
  const QPointF at(10, 10);
  for (int i = 0; i < 2; ++i) {
    QMouseEvent press(QEvent::MouseButtonPress, at, window.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, window.mapToGlobal(at), Qt::LeftButton, {}, {});
    QCoreApplication::sendEvent(&window, &press);
    QCoreApplication::sendEvent(&window, &release);
  }
  EXPECT_TRUE(window.FullScreen());
}

}  // namespace
