#include "media/gst/GstMessageTranslator.h"

#include "media/framework/EventCodes.h"
#include "media/gst/GstCaptureFilter.h"
#include "media/gst/GstDeviceEnumerator.h"
#include "media/gst/GstTestKit.h"

namespace {

using namespace media;
using namespace media::gst;

// A pipeline holding a capture device filter and a plain filter, to post
// messages from.
class GstMessageTranslatorTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    cameras.Write("Hall\n");
    DeviceRef device;
    for (auto& d : GstDeviceEnumerator::ProbeVideoSources())
      if (TakeString(gst_device_get_display_name(d.get())) == "Hall") device = d;
    ASSERT_TRUE(device);
    camera = GstCaptureFilter::Make(device.get(), u"Hall");
    graph->AddFilter(camera, u"Filter1");
    graph->AddFilter(other, u"Writer");
  }

  GstObject* InCamera() const { return GST_OBJECT(camera->Source()); }
  GstObject* InOther() const { return GST_OBJECT(other->Bin()); }

  static MessageRef Error(GstObject* from, GQuark domain, gint code, GstFlowReturn flow = GST_FLOW_OK) {
    GError* error = g_error_new_literal(domain, code, "failed");
    GstStructure* details = flow == GST_FLOW_OK ? nullptr
                                                : gst_structure_new("details", "flow-return", GST_TYPE_FLOW_RETURN,
                                                                    flow, nullptr);
    MessageRef message = MessageRef::Adopt(gst_message_new_error_with_details(from, error, "debug", details));
    g_error_free(error);
    return message;
  }

  gsttest::CameraFile cameras;
  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();
  std::shared_ptr<GstCaptureFilter> camera;
  std::shared_ptr<gsttest::SinkFilter> other = std::make_shared<gsttest::SinkFilter>();
};


struct ErrorCase {
  const char* name;
  bool fromCamera;
  bool running;
  GQuark (*domain)();
  gint code;
  GstFlowReturn flow;
  LONG event;
  HRESULT result;  // for EC_ERRORABORT
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }

const ErrorCase kErrorCases[] = {
    {"camera_gone_while_running", true, true, gst_resource_error_quark, GST_RESOURCE_ERROR_NOT_FOUND, GST_FLOW_OK,
     EC_DEVICE_LOST, 0},
    {"camera_read_failure_while_running", true, true, gst_resource_error_quark, GST_RESOURCE_ERROR_READ,
     GST_FLOW_OK, EC_DEVICE_LOST, 0},
    {"camera_missing_at_start", true, false, gst_resource_error_quark, GST_RESOURCE_ERROR_NOT_FOUND, GST_FLOW_OK,
     EC_ERRORABORT, HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED)},
    {"camera_busy", true, false, gst_resource_error_quark, GST_RESOURCE_ERROR_BUSY, GST_FLOW_OK, EC_ERRORABORT,
     HRESULT_FROM_WIN32(ERROR_BUSY)},
    {"file_cannot_be_created", false, true, gst_resource_error_quark, GST_RESOURCE_ERROR_OPEN_WRITE, GST_FLOW_OK,
     EC_ERRORABORT, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
    {"file_not_found_is_no_lost_device", false, true, gst_resource_error_quark, GST_RESOURCE_ERROR_NOT_FOUND,
     GST_FLOW_OK, EC_ERRORABORT, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
    {"formats_do_not_agree", false, true, gst_stream_error_quark, GST_STREAM_ERROR_FAILED,
     GST_FLOW_NOT_NEGOTIATED, EC_ERRORABORT, VFW_E_NO_ACCEPTABLE_TYPES},
    {"missing_element", false, false, gst_core_error_quark, GST_CORE_ERROR_MISSING_PLUGIN, GST_FLOW_OK,
     EC_ERRORABORT, REGDB_E_CLASSNOTREG},
    {"other_stream_failure", false, true, gst_stream_error_quark, GST_STREAM_ERROR_ENCODE, GST_FLOW_OK,
     EC_ERRORABORT, VFW_E_RUNTIME_ERROR},
};

class GstMessageTranslatorErrorTest : public GstMessageTranslatorTest,
                                      public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(GstMessageTranslatorErrorTest, AnErrorBecomesTheEventForIt) {
  const ErrorCase& c = GetParam();
  const MessageRef message = Error(c.fromCamera ? InCamera() : InOther(), c.domain(), c.code, c.flow);
  const auto event = GstMessageTranslator::Translate(message.get(), graph->Pipeline(), c.running);
  ASSERT_TRUE(event);
  EXPECT_EQ(event->code, c.event);
  if (c.event == EC_DEVICE_LOST) {
    EXPECT_EQ(event->param1, reinterpret_cast<LONG_PTR>(static_cast<IUnknown*>(camera.get())));
    EXPECT_EQ(event->object, std::static_pointer_cast<IUnknown>(camera));
    EXPECT_EQ(event->param2, 0) << "removed";
  } else {
    EXPECT_EQ(event->param1, c.result) << std::hex << event->param1;
    EXPECT_EQ(event->object, nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Errors, GstMessageTranslatorErrorTest, ::testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GstMessageTranslatorTest, EndOfStreamClockLossAndFilterEvents) {
  const MessageRef eos = MessageRef::Adopt(gst_message_new_eos(GST_OBJECT(graph->Pipeline())));
  const auto complete = GstMessageTranslator::Translate(eos.get(), graph->Pipeline(), true);
  ASSERT_TRUE(complete);
  EXPECT_EQ(complete->code, EC_COMPLETE);
  EXPECT_EQ(complete->param1, S_OK);

  const MessageRef lost = MessageRef::Adopt(gst_message_new_clock_lost(GST_OBJECT(graph->Pipeline()), nullptr));
  EXPECT_EQ(GstMessageTranslator::Translate(lost.get(), graph->Pipeline(), true)->code, EC_CLOCK_UNSET);

  const MessageRef own = GstMessageTranslator::NewGraphEventMessage(InOther(), EC_VIDEO_SIZE_CHANGED,
                                                                    (480 << 16) | 640, 0);
  const auto sized = GstMessageTranslator::Translate(own.get(), graph->Pipeline(), true);
  ASSERT_TRUE(sized);
  EXPECT_EQ(sized->code, EC_VIDEO_SIZE_CHANGED);
  EXPECT_EQ(sized->param1, (480 << 16) | 640);

  const MessageRef foreign = MessageRef::Adopt(
      gst_message_new_application(InOther(), gst_structure_new_empty("something-else")));
  EXPECT_FALSE(GstMessageTranslator::Translate(foreign.get(), graph->Pipeline(), true));
  const MessageRef warning = MessageRef::Adopt(gst_message_new_warning(InOther(), nullptr, "x"));
  EXPECT_FALSE(GstMessageTranslator::Translate(warning.get(), graph->Pipeline(), true));
}

}  // namespace
