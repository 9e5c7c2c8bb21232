#pragma once
#include <QComboBox>
#include <QFrame>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "channels/ChannelControl.h"
#include "channels/ChannelSet.h"
#include "channels/DeviceBinding.h"
#include "media/TFilterGraph.h"
#include "media/TSysDevEnum.h"
#include "media/framework/Identifiers.h"
#include "support/ErrorRecorder.h"
#include "support/TempDir.h"

// A main window's worth of controls around a ChannelControl, with synthetic
// cameras named in a camera file of the test's own.
class ChannelFixture : public ::testing::Test {
 protected:
  void UseCameras(const std::string& lines) {
    dir.Write("cams.txt", lines);
    setenv("QUADROVIA_SYNTHCAMS", dir.File("cams.txt").c_str(), 1);
    devices = std::make_unique<media::TSysDevEnum>(media::CLSID_VideoInputDeviceCategory);
    for (auto& list : lists) list = new QComboBox(&window);
    recBtn = new QPushButton(QStringLiteral("开始录像"), &window);
    std::array<QFrame*, 4> panels{};
    for (auto& panel : panels) {
      panel = new QFrame(&window);
      panel->setLayout(new QVBoxLayout);
      panel->resize(328, 248);
    }
    control = std::make_unique<channels::ChannelControl>(&window, panels, recBtn);
    channels::DeviceBinding::FillDeviceLists(*devices, lists);
    control->SetBinding(lists, [this]() -> media::TSysDevEnum& { return *devices; });
    control->SetSavePath(dir.Path());
  }
  void TearDown() override {
    control.reset();
    unsetenv("QUADROVIA_SYNTHCAMS");
  }
  bool Active(int n) { return control->Channels()[n].graph->Active(); }

  TempDir dir;
  ErrorRecorder shown;
  QWidget window;
  std::array<QComboBox*, 4> lists{};
  QPushButton* recBtn = nullptr;
  std::unique_ptr<media::TSysDevEnum> devices;
  std::unique_ptr<channels::ChannelControl> control;
};
