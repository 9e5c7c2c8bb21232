#include <QDir>
#include <QTemporaryDir>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/colorbalance.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <ostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The synthetic camera plugin, seen from outside as any GStreamer program sees
// it: through the device monitor and the elements of its devices.

namespace {

constexpr const char* kCameraFileVariable = "QUADROVIA_SYNTHCAMS";
constexpr GstClockTime kFrameTimeout = 2 * GST_SECOND;

// ---- references -------------------------------------------------------------

// Each handle adopts the one reference it is given.
struct ObjectUnref {
  void operator()(gpointer object) const { gst_object_unref(object); }
};
template <class T>
using Owned = std::unique_ptr<T, ObjectUnref>;

struct MessageUnref {
  void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using OwnedMessage = std::unique_ptr<GstMessage, MessageUnref>;

struct SampleUnref {
  void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
using OwnedSample = std::unique_ptr<GstSample, SampleUnref>;

struct CapsUnref {
  void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
using OwnedCaps = std::unique_ptr<GstCaps, CapsUnref>;

struct StructureFree {
  void operator()(GstStructure* structure) const { gst_structure_free(structure); }
};
using OwnedStructure = std::unique_ptr<GstStructure, StructureFree>;

struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using OwnedError = std::unique_ptr<GError, ErrorFree>;

std::string takeString(gchar* text) {
  std::string result = text ? text : "";
  g_free(text);
  return result;
}

// ---- the camera file --------------------------------------------------------

// Points QUADROVIA_SYNTHCAMS at a file of its own for its lifetime and puts the
// variable back afterwards. Writes replace the file in one step, as the
// plugin may be reading it from a streaming thread at any moment.
class CameraFile {
 public:
  CameraFile() : path_(QDir(dir_.path()).filePath("cameras.txt").toStdString()) {
    if (const char* old = g_getenv(kCameraFileVariable)) previous_ = old;
    g_setenv(kCameraFileVariable, path_.c_str(), TRUE);
  }
  ~CameraFile() {
    if (previous_) g_setenv(kCameraFileVariable, previous_->c_str(), TRUE);
    else g_unsetenv(kCameraFileVariable);
  }
  CameraFile(const CameraFile&) = delete;
  CameraFile& operator=(const CameraFile&) = delete;

  void write(const std::string& text) const {
    ASSERT_TRUE(g_file_set_contents(path_.c_str(), text.data(), gssize(text.size()), nullptr));
  }
  const std::string& path() const { return path_; }

 private:
  QTemporaryDir dir_;
  std::string path_;
  std::optional<std::string> previous_;
};

// ---- devices ----------------------------------------------------------------

Owned<GstDeviceMonitor> videoSourceMonitor() {
  Owned<GstDeviceMonitor> monitor(gst_device_monitor_new());
  gst_device_monitor_add_filter(monitor.get(), "Video/Source", nullptr);
  return monitor;
}

std::string deviceString(GstDevice* device, const char* field) {
  OwnedStructure props(gst_device_get_properties(device));
  const char* value = props ? gst_structure_get_string(props.get(), field) : nullptr;
  return value ? value : "";
}

// The synthetic cameras among the monitor's devices (a machine may have real
// ones as well), in the monitor's order.
std::vector<Owned<GstDevice>> synthCams(GstDeviceMonitor* monitor) {
  std::vector<Owned<GstDevice>> cams;
  GList* devices = gst_device_monitor_get_devices(monitor);
  for (GList* l = devices; l; l = l->next) {
    Owned<GstDevice> device(GST_DEVICE(l->data));
    if (deviceString(device.get(), "device.api") == "synthcam") cams.push_back(std::move(device));
  }
  g_list_free(devices);
  return cams;
}

std::vector<std::string> namesOf(const std::vector<Owned<GstDevice>>& devices) {
  std::vector<std::string> names;
  for (const auto& device : devices) names.push_back(takeString(gst_device_get_display_name(device.get())));
  return names;
}

std::vector<std::string> probedNames() {
  return namesOf(synthCams(videoSourceMonitor().get()));
}

Owned<GstDevice> probedCamera(size_t position) {
  auto cams = synthCams(videoSourceMonitor().get());
  if (position >= cams.size()) return nullptr;
  return std::move(cams[position]);
}

std::string stringProperty(GstElement* element, const char* name) {
  gchar* value = nullptr;
  g_object_get(element, name, &value, nullptr);
  return takeString(value);
}

// Pops the monitor's messages until one of `type` has come for each of the
// cameras `names`, in any order; false when they have not within `timeout`.
bool awaitDeviceMessages(GstBus* bus, GstMessageType type, std::set<std::string> names, GstClockTime timeout) {
  const gint64 deadline = g_get_monotonic_time() + gint64(timeout / GST_USECOND);
  for (gint64 now = g_get_monotonic_time(); !names.empty() && now < deadline; now = g_get_monotonic_time()) {
    OwnedMessage message(gst_bus_timed_pop_filtered(bus, (deadline - now) * GST_USECOND, type));
    if (!message) return false;
    GstDevice* device = nullptr;
    if (type == GST_MESSAGE_DEVICE_ADDED) gst_message_parse_device_added(message.get(), &device);
    else gst_message_parse_device_removed(message.get(), &device);
    Owned<GstDevice> owned(device);
    names.erase(takeString(gst_device_get_display_name(device)));
  }
  return names.empty();
}

int threadCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

// ---- a camera at work -------------------------------------------------------

// camera ! appsink (I420), the pipeline owned here and brought down on
// destruction.
class CameraPipeline {
 public:
  explicit CameraPipeline(GstElement* camera)  // takes the floating element
      : pipeline_(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr)))),
        camera_(camera),
        sink_(gst_element_factory_make("appsink", nullptr)) {
    OwnedCaps caps(gst_caps_from_string("video/x-raw,format=I420"));
    g_object_set(sink_, "caps", caps.get(), nullptr);
    gst_bin_add_many(GST_BIN(pipeline_.get()), camera_, sink_, nullptr);
    linked_ = gst_element_link(camera_, sink_);
    bus_.reset(gst_element_get_bus(pipeline_.get()));
  }
  ~CameraPipeline() { gst_element_set_state(pipeline_.get(), GST_STATE_NULL); }
  CameraPipeline(const CameraPipeline&) = delete;
  CameraPipeline& operator=(const CameraPipeline&) = delete;

  bool linked() const { return linked_; }
  GstElement* camera() const { return camera_; }
  GstStateChangeReturn setState(GstState state) { return gst_element_set_state(pipeline_.get(), state); }
  void sendEos() { gst_element_send_event(pipeline_.get(), gst_event_new_eos()); }

  OwnedSample pullFrame(GstClockTime timeout = kFrameTimeout) {
    return OwnedSample(gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), timeout));
  }
  OwnedMessage popMessage(GstMessageType types, GstClockTime timeout) {
    return OwnedMessage(gst_bus_timed_pop_filtered(bus_.get(), timeout, types));
  }

 private:
  Owned<GstElement> pipeline_;
  GstElement* camera_;  // owned by the pipeline
  GstElement* sink_;    // owned by the pipeline
  Owned<GstBus> bus_;
  bool linked_ = false;
};

std::vector<guint8> bytesOf(GstSample* sample) {
  GstMapInfo map;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return {};
  std::vector<guint8> bytes(map.data, map.data + map.size);
  gst_buffer_unmap(buffer, &map);
  return bytes;
}

// Mean of the U and V planes of a 640x480 I420 frame: the picture's overall
// colour, which neither the name nor the running time moves much.
std::pair<double, double> meanChroma(GstSample* sample) {
  const auto bytes = bytesOf(sample);
  const size_t luma = 640 * 480, plane = luma / 4;
  if (bytes.size() < luma + 2 * plane) return {-1, -1};
  double u = 0, v = 0;
  for (size_t i = 0; i < plane; ++i) {
    u += bytes[luma + i];
    v += bytes[luma + plane + i];
  }
  return {u / plane, v / plane};
}

OwnedError errorOf(GstMessage* message) {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  return OwnedError(error);
}

bool postedBy(GstMessage* message, GstElement* element) {
  GstObject* src = GST_MESSAGE_SRC(message);
  return src == GST_OBJECT(element) || gst_object_has_as_ancestor(src, GST_OBJECT(element));
}

// ---- fixture ----------------------------------------------------------------

class SynthCamTest : public ::testing::Test {
 protected:
  // Per test rather than per suite: a suite set-up failure reads as "skipped".
  void SetUp() override {
    Owned<GstElementFactory> factory(gst_element_factory_find("synthcamsrc"));
    ASSERT_TRUE(factory) << "the synthcam plugin is not on GST_PLUGIN_PATH";
  }

  // A pipeline around the element of the camera at `position` in the file.
  std::unique_ptr<CameraPipeline> cameraAt(size_t position) {
    Owned<GstDevice> device = probedCamera(position);
    if (!device) return nullptr;
    return std::make_unique<CameraPipeline>(gst_device_create_element(device.get(), nullptr));
  }

  CameraFile cameras;
};

// ---- enumeration ------------------------------------------------------------

struct ListingRow {
  const char* name;
  const char* file;
  std::vector<std::string> expected;
};
void PrintTo(const ListingRow& row, std::ostream* out) { *out << row.name; }

class SynthCamListing : public SynthCamTest, public ::testing::WithParamInterface<ListingRow> {};

TEST_P(SynthCamListing, ProbeListsTheFileLinesInOrder) {
  cameras.write(GetParam().file);
  EXPECT_EQ(probedNames(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SynthCamListing,
    ::testing::Values(
        ListingRow{"DuplicatesKeepTheirPlaces", "Front\nBack\nFront\n", {"Front", "Back", "Front"}},
        ListingRow{"CarriageReturnsAndBlankLinesDropped", "A\r\n\r\n   \nB\r\n", {"A", "B"}},
        ListingRow{"BusySuffixIsNoPartOfTheName", "Garage [busy]\nYard\n", {"Garage", "Yard"}},
        ListingRow{"NoControlsSuffixInEitherOrderIsNoPartOfTheName",
                   "Garage [nocontrols]\nYard [busy] [nocontrols]\nHall [nocontrols] [busy]\n",
                   {"Garage", "Yard", "Hall"}},
        ListingRow{"LastLineWithoutNewline", "A\nB", {"A", "B"}},
        ListingRow{"SpacesInsideNamesKept", " Hall  way \n", {" Hall  way "}},
        ListingRow{"EmptyFile", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SynthCamTest, NothingIsListedWithoutACameraFile) {
  cameras.write("Front\n");
  std::filesystem::remove(cameras.path());
  EXPECT_TRUE(probedNames().empty()) << "missing file";

  g_unsetenv(kCameraFileVariable);
  EXPECT_TRUE(probedNames().empty()) << "variable unset";
}

TEST_F(SynthCamTest, EveryProbeReadsTheFileAfresh) {
  cameras.write("A\nB\n");
  ASSERT_EQ(probedNames(), (std::vector<std::string>{"A", "B"}));
  cameras.write("C\nA\n");
  EXPECT_EQ(probedNames(), (std::vector<std::string>{"C", "A"}));
}

TEST_F(SynthCamTest, DevicesDescribeVideoSourcesThatCanBeFoundAgain) {
  cameras.write("Cam\nCam\n");
  auto cams = synthCams(videoSourceMonitor().get());
  ASSERT_EQ(cams.size(), 2u);

  for (const auto& cam : cams) {
    EXPECT_STREQ(takeString(gst_device_get_device_class(cam.get())).c_str(), "Video/Source");
    OwnedCaps caps(gst_device_get_caps(cam.get()));
    OwnedCaps wanted(gst_caps_from_string("video/x-raw,width=640,height=480,framerate=30/1"));
    EXPECT_TRUE(gst_caps_is_subset(caps.get(), wanted.get())) << takeString(gst_caps_to_string(caps.get()));
  }
  const std::string first = deviceString(cams[0].get(), "device.path");
  const std::string second = deviceString(cams[1].get(), "device.path");
  EXPECT_FALSE(first.empty());
  EXPECT_NE(first, second) << "two cameras of one name need their own paths";
  EXPECT_EQ(deviceString(probedCamera(1).get(), "device.path"), second) << "paths are stable";
}

TEST_F(SynthCamTest, StartedMonitorKeepsFileOrderAndFollowsEdits) {
  cameras.write("A\nB\n");
  const int threadsBefore = threadCount();
  {
    Owned<GstDeviceMonitor> monitor = videoSourceMonitor();
    ASSERT_TRUE(gst_device_monitor_start(monitor.get()));
    Owned<GstBus> bus(gst_device_monitor_get_bus(monitor.get()));
    EXPECT_EQ(namesOf(synthCams(monitor.get())), (std::vector<std::string>{"A", "B"}));

    cameras.write("A\nC\nB\n");
    ASSERT_TRUE(awaitDeviceMessages(bus.get(), GST_MESSAGE_DEVICE_ADDED, {"C"}, kFrameTimeout));
    EXPECT_EQ(namesOf(synthCams(monitor.get())), (std::vector<std::string>{"A", "C", "B"}));

    cameras.write("C\n");
    ASSERT_TRUE(awaitDeviceMessages(bus.get(), GST_MESSAGE_DEVICE_REMOVED, {"A", "B"}, kFrameTimeout));
    EXPECT_EQ(namesOf(synthCams(monitor.get())), (std::vector<std::string>{"C"}));
    gst_device_monitor_stop(monitor.get());
  }
  EXPECT_EQ(threadCount(), threadsBefore) << "the provider's watcher outlived stop()";
}

// ---- device paths and launch lines ------------------------------------------

struct NameRow {
  const char* name;
  std::string camera;
};
void PrintTo(const NameRow& row, std::ostream* out) { *out << row.name; }

class SynthCamNames : public SynthCamTest, public ::testing::WithParamInterface<NameRow> {};

// A device's path, written unquoted into a launch line (as gst-device-monitor-1.0
// prints it), opens that very camera.
TEST_P(SynthCamNames, DevicePathInALaunchLineOpensTheCamera) {
  const std::string& name = GetParam().camera;
  cameras.write("Other\n" + name + "\n" + name + "\n");
  Owned<GstDevice> device = probedCamera(2);
  ASSERT_TRUE(device);
  EXPECT_EQ(takeString(gst_device_get_display_name(device.get())), name);
  const std::string path = deviceString(device.get(), "device.path");

  GError* parseError = nullptr;
  Owned<GstElement> camera(GST_ELEMENT(gst_object_ref_sink(
      gst_parse_launch(("synthcamsrc device=" + path).c_str(), &parseError))));
  OwnedError error(parseError);
  ASSERT_FALSE(error) << error->message;
  EXPECT_EQ(stringProperty(camera.get(), "camera-name"), name);
  guint index = 0;
  g_object_get(camera.get(), "camera-index", &index, nullptr);
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(gst_element_set_state(camera.get(), GST_STATE_PAUSED), GST_STATE_CHANGE_NO_PREROLL);
  gst_element_set_state(camera.get(), GST_STATE_NULL);
}

INSTANTIATE_TEST_SUITE_P(Names, SynthCamNames,
                         ::testing::Values(NameRow{"Plain", "Garage"}, NameRow{"Spaces", "Front door"},
                                           NameRow{"Separators", "a:b/c+d 50%"},
                                           NameRow{"QuotesAndMarkup", "Cam \"q\" <b>&amp;"},
                                           NameRow{"Utf8", "Kamera Küche"},
                                           NameRow{"Long", std::string(300, 'x')}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PathRow {
  const char* name;
  const char* path;
};
void PrintTo(const PathRow& row, std::ostream* out) { *out << row.name; }

class SynthCamBadPaths : public SynthCamTest, public ::testing::WithParamInterface<PathRow> {};

TEST_P(SynthCamBadPaths, PathNamingNoCameraFailsToOpenAsNotFound) {
  cameras.write("A\n");
  Owned<GstElement> camera(GST_ELEMENT(gst_object_ref_sink(gst_element_factory_make("synthcamsrc", nullptr))));
  g_object_set(camera.get(), "device", GetParam().path, nullptr);
  Owned<GstBus> bus(gst_bus_new());
  gst_element_set_bus(camera.get(), bus.get());

  EXPECT_EQ(gst_element_set_state(camera.get(), GST_STATE_READY), GST_STATE_CHANGE_FAILURE);
  OwnedMessage message(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR));
  ASSERT_TRUE(message);
  OwnedError error = errorOf(message.get());
  EXPECT_TRUE(g_error_matches(error.get(), GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND)) << error->message;
  gst_element_set_state(camera.get(), GST_STATE_NULL);
}

INSTANTIATE_TEST_SUITE_P(Paths, SynthCamBadPaths,
                         ::testing::Values(PathRow{"UnknownName", "synthcam:0:B"},
                                           PathRow{"IndexBeyondTheLines", "synthcam:1:A"},
                                           PathRow{"FriendlyNameInsteadOfPath", "A"},
                                           PathRow{"BrokenEscape", "synthcam:0:A+4"},
                                           PathRow{"EscapedNul", "synthcam:0:A+00"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- streaming --------------------------------------------------------------

TEST_F(SynthCamTest, BusyCameraFailsToStartAsResourceBusy) {
  cameras.write("Garage [busy]\n");
  auto pipeline = cameraAt(0);
  ASSERT_TRUE(pipeline && pipeline->linked());

  EXPECT_EQ(pipeline->setState(GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
  OwnedMessage message = pipeline->popMessage(GST_MESSAGE_ERROR, 0);
  ASSERT_TRUE(message);
  OwnedError error = errorOf(message.get());
  EXPECT_TRUE(g_error_matches(error.get(), GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_BUSY)) << error->message;
  EXPECT_TRUE(postedBy(message.get(), pipeline->camera()));
}

// A camera marked " [nocontrols]" is one whose driver has a colour balance
// with nothing in it; the others have no balance of their own at all (a
// program puts its own after them). Both deliver pictures.
TEST_F(SynthCamTest, ACameraWithoutControlsOffersAnEmptyColourBalanceAndStillStreams) {
  cameras.write("Plain\nBare [nocontrols]\nBusy and bare [busy] [nocontrols]\n");
  auto plain = cameraAt(0);
  auto bare = cameraAt(1);
  ASSERT_TRUE(plain && bare && bare->linked());
  EXPECT_FALSE(GST_IS_COLOR_BALANCE(plain->camera()));
  ASSERT_TRUE(GST_IS_COLOR_BALANCE(bare->camera()));
  EXPECT_EQ(gst_color_balance_list_channels(GST_COLOR_BALANCE(bare->camera())), nullptr);

  bare->setState(GST_STATE_PLAYING);
  EXPECT_TRUE(bare->pullFrame()) << "a camera without controls still gives pictures";

  auto busy = cameraAt(2);
  ASSERT_TRUE(busy && busy->linked());
  EXPECT_EQ(busy->setState(GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE) << "both marks hold";
}

TEST_F(SynthCamTest, LiveFramesOf640x480At30MoveFromFrameToFrame) {
  cameras.write("Front\n");
  auto pipeline = cameraAt(0);
  ASSERT_TRUE(pipeline && pipeline->linked());
  EXPECT_EQ(pipeline->setState(GST_STATE_PAUSED), GST_STATE_CHANGE_NO_PREROLL) << "a camera is live";
  pipeline->setState(GST_STATE_PLAYING);

  OwnedSample first = pipeline->pullFrame();
  OwnedSample second = pipeline->pullFrame();
  ASSERT_TRUE(first && second);
  GstStructure* format = gst_caps_get_structure(gst_sample_get_caps(first.get()), 0);
  int width = 0, height = 0, num = 0, den = 0;
  gst_structure_get_int(format, "width", &width);
  gst_structure_get_int(format, "height", &height);
  gst_structure_get_fraction(format, "framerate", &num, &den);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  EXPECT_EQ(num, 30);
  EXPECT_EQ(den, 1);
  EXPECT_LT(GST_BUFFER_PTS(gst_sample_get_buffer(first.get())), GST_BUFFER_PTS(gst_sample_get_buffer(second.get())));
  EXPECT_NE(bytesOf(first.get()), bytesOf(second.get())) << "the picture stands still";
}

TEST_F(SynthCamTest, CamerasOfOneFileLookDifferentEvenWithOneName) {
  cameras.write("Cam\nCam\n");
  auto one = cameraAt(0);
  auto two = cameraAt(1);
  ASSERT_TRUE(one && one->linked() && two && two->linked());
  one->setState(GST_STATE_PLAYING);
  two->setState(GST_STATE_PLAYING);

  OwnedSample a = one->pullFrame();
  OwnedSample b = two->pullFrame();
  ASSERT_TRUE(a && b);
  const auto [ua, va] = meanChroma(a.get());
  const auto [ub, vb] = meanChroma(b.get());
  EXPECT_GT(std::abs(ua - ub) + std::abs(va - vb), 8.0) << "both cameras show the same colours";
}

TEST_F(SynthCamTest, CameraWhoseLineGoesFailsWithinASecondAndStops) {
  cameras.write("A\nB\n");
  auto pipeline = cameraAt(0);
  ASSERT_TRUE(pipeline && pipeline->linked());
  pipeline->setState(GST_STATE_PLAYING);
  ASSERT_TRUE(pipeline->pullFrame());

  cameras.write("B\n");
  OwnedMessage message = pipeline->popMessage(GST_MESSAGE_ERROR, GST_SECOND);
  ASSERT_TRUE(message) << "no error within a second of the camera's removal";
  OwnedError error = errorOf(message.get());
  EXPECT_EQ(error->domain, GST_RESOURCE_ERROR) << error->message;
  EXPECT_TRUE(postedBy(message.get(), pipeline->camera()));

  while (pipeline->pullFrame(0)) {
  }  // frames made before the removal was seen
  EXPECT_FALSE(pipeline->pullFrame(GST_SECOND / 3)) << "an unplugged camera still delivers";
  EXPECT_FALSE(pipeline->popMessage(GST_MESSAGE_EOS, 0)) << "unplugging reads as the end of the stream";
  pipeline->sendEos();
  EXPECT_TRUE(pipeline->popMessage(GST_MESSAGE_EOS, kFrameTimeout)) << "downstream cannot be drained";
}

TEST_F(SynthCamTest, EditingOtherLinesKeepsARunningCameraAlive) {
  cameras.write("A\nB\nA\n");
  auto pipeline = cameraAt(2);  // the second "A"
  ASSERT_TRUE(pipeline && pipeline->linked());
  pipeline->setState(GST_STATE_PLAYING);
  ASSERT_TRUE(pipeline->pullFrame());

  cameras.write("A\nA\nC\n");
  // Three quarters of a second of frames spans several looks at the file.
  for (int frame = 0; frame < 22; ++frame) ASSERT_TRUE(pipeline->pullFrame()) << "frame " << frame;
  OwnedMessage message = pipeline->popMessage(GST_MESSAGE_ERROR, 0);
  EXPECT_FALSE(message) << (message ? errorOf(message.get())->message : "");
}

}  // namespace
