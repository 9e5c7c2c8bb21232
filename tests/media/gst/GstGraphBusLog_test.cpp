#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>
#include <mutex>
#include <vector>

#include "media/gst/GstGraphBus.h"
#include "media/gst/GstTestKit.h"

namespace {

// What reached Qt's message handler, with its category and type.
struct LogRecord {
  QtMsgType type;
  std::string category;
  std::string text;
};
std::mutex recordsMutex;
std::vector<LogRecord> records;

void Record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  std::lock_guard lock(recordsMutex);
  records.push_back({type, context.category ? context.category : "", text.toStdString()});
}

class GraphBusLog : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    records.clear();
    previous_ = qInstallMessageHandler(Record);
    pipeline_ = gst_pipeline_new("graph");
    source_ = gst_element_factory_make("fakesrc", "camera-source");
    gst_bin_add(GST_BIN(pipeline_), source_);
  }
  void TearDown() override {
    qInstallMessageHandler(previous_);
    gst_object_unref(pipeline_);
    BackendTest::TearDown();
  }
  void Post(GstMessage* message) {
    media::gst::GstGraphBus bus(pipeline_, platform::HWND{});
    bus.OnMessage(message);
    gst_message_unref(message);
  }
  GstElement* pipeline_ = nullptr;
  GstElement* source_ = nullptr;
  QtMessageHandler previous_ = nullptr;
};

TEST_F(GraphBusLog, ErrorsAndWarningsAreLoggedWithElementMessageAndDebugText) {
  struct Case {
    GstMessage* (*make)(GstObject*, GError*, const gchar*);
    QtMsgType type;
  };
  for (const Case& c : {Case{gst_message_new_error, QtCriticalMsg}, Case{gst_message_new_warning, QtWarningMsg}}) {
    records.clear();
    GError* error = g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_BUSY, "Device is busy");
    Post(c.make(GST_OBJECT(source_), error, "v4l2src.c(123): open failed"));
    g_error_free(error);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].type, c.type);
    EXPECT_EQ(records[0].category, "quadrovia.media");
    for (const char* part : {"GstPipeline:graph/GstFakeSrc:camera-source", "Device is busy", "open failed"})
      EXPECT_NE(records[0].text.find(part), std::string::npos) << part << " in " << records[0].text;
  }
}

TEST_F(GraphBusLog, StateChangesAreNotWarnings) {
  Post(gst_message_new_state_changed(GST_OBJECT(pipeline_), GST_STATE_NULL, GST_STATE_READY, GST_STATE_VOID_PENDING));
  EXPECT_TRUE(records.empty());
}

}  // namespace
