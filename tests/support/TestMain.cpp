#include <QApplication>
#include <gst/gst.h>
#include <gtest/gtest.h>

// Every test binary runs inside one QApplication so that widgets, message
// windows and timers behave as in the program; GStreamer is initialised once.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  gst_init(&argc, &argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
