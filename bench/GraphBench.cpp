// Runs the media layer's camera graphs the way the channels do, for bench/run
// to measure from outside.
//
//   quadrovia-bench preview [cameras] [grabbers]
//       cameras 1..4 (default 4) previewing into video windows of 320x240;
//       with "grabbers", each graph also holds a sample grabber and the
//       preview of channels 1, 3 and 4 passes through it, as the program's
//       monitoring does
//   quadrovia-bench record [cameras] [folder]
//       the same cameras recording with preview, one file each in folder
//       (default: the working folder), channel 1 with the recording mark
//   quadrovia-bench encode <raw file> <width> <height> <fps> <file.asf>
//       BGRx frames from a file through one channel's writer, as fast as the
//       graph takes them
//   quadrovia-bench writer
//       succeeds when the writer filter can be made
//   quadrovia-bench finish <file.asf>
//       finishes a cut-off recording as the program's start does and prints
//       "finished <CPU seconds> <wall seconds>" (fails when it was not)
//
// preview and record print "ready" once every window shows its camera and
// run until SIGTERM or SIGINT; then they print how many pictures each window
// painted per second, so that a cheap run can be told from one that dropped
// frames. encode prints "encoded <CPU seconds> <wall seconds>" for the time
// from the graph's start to the end of its stream: the cost of the
// recording, without the start of the process. The cameras are the first ones
// the device enumerator lists (synthetic cameras in bench/run).

#include <fcntl.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "media/GraphMember.h"
#include "media/MediaErrors.h"
#include "media/TASFWriter.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "media/TSampleGrabber.h"
#include "media/TSysDevEnum.h"
#include "media/TVMRBitmap.h"
#include "media/TVideoWindow.h"
#include "media/framework/ClassFactory.h"
#include "media/gst/AsfRecordingFinisher.h"
#include "media/framework/EventCodes.h"
#include "media/framework/Identifiers.h"
#include "media/framework/MediaPlatform.h"
#include "media/gst/GstBackend.h"
#include "media/gst/GstFilter.h"
#include "media/gst/GstFilterGraph.h"
#include "media/gst/GstVideoRenderer.h"
#include "media/gst/RendererWindow.h"

namespace {

using namespace media;

constexpr DWORD kProgramPort = 3333;
constexpr DWORD kProgramMaxUsers = 8;

std::atomic<bool> stopRequested{false};

void RequestStop(int) { stopRequested = true; }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the paints of one renderer window: a picture the user saw.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

// A channel's ASF writer as the program's form sets it: the 56 kbps
// video-only profile, the program's port and eight clients. All writers ask
// for the same port; those that cannot have it record without a server, as
// in the program.
void ConfigureAsProgram(TASFWriter& writer) {
  writer.SetProfile(wmp_V80_56VideoOnly);
  writer.SetPort(kProgramPort);
  writer.SetMaxUsers(kProgramMaxUsers);
}

// Frames from a file of raw BGRx pictures, shaped like a camera: one output
// of the capture category. Not live: it gives frames as fast as they are
// taken. Each frame is read straight into a buffer of a pool, as a player
// reads a file, so that the source adds no copy of its own to what is
// measured.
class RawFileSource : public gst::GstFilter {
 public:
  RawFileSource(const std::string& path, int width, int height, int fps)
      : GstFilter(GUID{}, u"Raw Frames"), frameBytes_(std::size_t(width) * height * 4), fps_(fps) {
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
    source_ = AddElement("appsrc");
    if (!source_) throw std::runtime_error("appsrc is missing");
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT, width,
                                        "height", G_TYPE_INT, height, "framerate", GST_TYPE_FRACTION, fps, 1,
                                        "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
    g_object_set(source_, "caps", caps, "format", GST_FORMAT_TIME, "is-live", FALSE, "max-buffers", guint64{4},
                 nullptr);
    pool_ = gst_buffer_pool_new();
    GstStructure* config = gst_buffer_pool_get_config(pool_);
    gst_buffer_pool_config_set_params(config, caps, guint(frameBytes_), 4, 0 /* no limit: never wait for a buffer */);
    gst_buffer_pool_set_config(pool_, config);
    gst_buffer_pool_set_active(pool_, TRUE);
    gst_caps_unref(caps);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = &RawFileSource::NeedData;
    gst_app_src_set_callbacks(GST_APP_SRC(source_), &callbacks, this, nullptr);
    GstPad* out = gst_element_get_static_pad(source_, "src");
    AddPin(u"Capture", PINDIR_OUTPUT, out, PIN_CATEGORY_CAPTURE);
    gst_object_unref(out);
  }
  ~RawFileSource() override {
    gst_element_set_state(Bin(), GST_STATE_NULL);
    gst_buffer_pool_set_active(pool_, FALSE);
    gst_object_unref(pool_);
    close(fd_);
  }

 private:
  static void NeedData(GstAppSrc* source, guint, gpointer self) { static_cast<RawFileSource*>(self)->Push(source); }

  void Push(GstAppSrc* source) {
    GstBuffer* buffer = nullptr;
    if (gst_buffer_pool_acquire_buffer(pool_, &buffer, nullptr) != GST_FLOW_OK) {
      gst_app_src_end_of_stream(source);
      return;
    }
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    std::size_t got = 0;
    while (got < frameBytes_) {
      const ssize_t n = read(fd_, map.data + got, frameBytes_ - got);
      if (n <= 0) break;
      got += std::size_t(n);
    }
    gst_buffer_unmap(buffer, &map);
    if (got < frameBytes_) {
      gst_buffer_unref(buffer);
      gst_app_src_end_of_stream(source);
      return;
    }
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(frames_, GST_SECOND, fps_);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(1, GST_SECOND, fps_);
    ++frames_;
    gst_app_src_push_buffer(source, buffer);
  }

  int fd_ = -1;
  GstElement* source_ = nullptr;
  GstBufferPool* pool_ = nullptr;
  std::size_t frameBytes_;
  int fps_;
  guint64 frames_ = 0;
};

class RawSourceMember : public IGraphMember {
 public:
  RawSourceMember(std::string path, int width, int height, int fps)
      : path_(std::move(path)), width_(width), height_(height), fps_(fps) {}
  ~RawSourceMember() override { SetFilterGraph(nullptr); }
  void SetFilterGraph(TFilterGraph* graph) { ChangeMemberGraph(*this, nullptr, graph_, graph); }

  BaseFilterPtr GetMemberFilter() override { return filter_; }
  std::string GetMemberName() override { return "Filter1"; }
  void MemberGraphDestroyed() override { graph_ = nullptr; }
  void NotifyMember(TMemberOperation operation, int) override {
    if (operation == moAdding) filter_ = std::make_shared<RawFileSource>(path_, width_, height_, fps_);
    if (operation == moRemoved) filter_.reset();
  }

 private:
  std::string path_;
  int width_, height_, fps_;
  TFilterGraph* graph_ = nullptr;
  BaseFilterPtr filter_;
};

// One camera channel as the program builds it: a capture graph, the camera's
// source filter and a mixing-renderer video window in a 320x240 panel of a
// 2x2 grid; for recording also its writer.
struct Channel {
  Channel(QWidget* form, int index)
      : number(index + 1),
        graph("FilterGraph" + std::to_string(number)),
        source("Filter" + std::to_string(number)),
        window(form, "VideoWindow" + std::to_string(number)),
        grabber("SampleGrabber" + std::to_string(number)),
        writer("ASFWriter" + std::to_string(number)) {
    window.setGeometry(5 + (index % 2) * 332, 5 + (index / 2) * 251, 320, 240);
    window.SetMode(vmVMR);
    window.VMROptions().SetMode(vmrWindowed);
    ConfigureAsProgram(writer);
    graph.SetMode(gmCapture);
    graph.SetGraphEdit(true);
    source.SetFilterGraph(&graph);
    window.SetFilterGraph(&graph);
  }
  // As the program stops a channel: the stop lets the writer finish its file.
  ~Channel() {
    graph.Stop();
    graph.SetActive(false);
    writer.SetFilterGraph(nullptr);
    grabber.SetFilterGraph(nullptr);
    source.SetFilterGraph(nullptr);
    window.SetFilterGraph(nullptr);
  }

  void Start(int position, const std::string* recordingFolder, bool grabbers) {
    TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
    MonikerPtr moniker = devices.GetDeviceMoniker(position);
    if (!moniker) throw std::runtime_error("no camera at position " + std::to_string(position));
    source.BaseFilter().StoreMoniker(moniker);
    if (grabbers) grabber.SetFilterGraph(&graph);
    if (recordingFolder) {
      const std::string file = *recordingFolder + "/channel" + std::to_string(number) + ".asf";
      writer.SetFileName(file);
      writer.SetFilterGraph(&graph);
    }
    graph.SetActive(true);
    auto builder = graph.Query<ICaptureGraphBuilder2>();
    if (!builder) throw std::runtime_error("the graph has no capture builder");
    if (recordingFolder)
      CheckMediaResult(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, source.Query<IBaseFilter>(), nullptr,
                                             writer.Query<IBaseFilter>()));
    // The program's monitoring passes channel 2 by its grabber; recording
    // leaves every grabber unconnected.
    const BaseFilterPtr middle =
        grabbers && !recordingFolder && number != 2 ? grabber.Query<IBaseFilter>() : nullptr;
    CheckMediaResult(builder->RenderStream(&PIN_CATEGORY_PREVIEW, nullptr, source.Query<IBaseFilter>(), middle,
                                           window.Query<IBaseFilter>()));
    graph.Play();
    if (recordingFolder && number == 1) ShowRecordingMark();
  }

  // The program's red, half transparent dot at the top left of channel 1.
  void ShowRecordingMark() {
    constexpr COLORREF kSilver = gdi::RGB(192, 192, 192);
    TVMRBitmap overlay(&window);
    overlay.MakeBlankBitmap(window.width(), window.height(), gdi::pf24bit, kSilver);
    overlay.SetSourceRect(overlay.Surface().ClipRect());
    overlay.SetOverlayOptions(overlay.OverlayOptions() | OverlayBit(ooColorKey));
    overlay.SetKeyColor(kSilver);
    gdi::TCanvas& surface = overlay.Surface();
    surface.Brush.Color = kSilver;
    surface.Font.Color = gdi::RGB(255, 0, 0);
    surface.Font.Style = gdi::FontStyles(gdi::fsBold);
    surface.Font.Size = 18;
    surface.Font.Name = "宋体";
    surface.TextOut(0, 0, "●");
    overlay.PlaceOverlay(0.0f, 0.0f, 1.0f, 1.0f, 0.5f, false);
  }

  // The renderer window once it has been given its first picture.
  QWidget* ShownWindow() {
    auto renderer = std::dynamic_pointer_cast<gst::GstVideoRenderer>(window.GetMemberFilter());
    if (!renderer || renderer->OutputImage().isNull()) return nullptr;
    return renderer->Window();
  }

  // With GST_DEBUG_DUMP_DOT_DIR set, the pipeline as it runs, negotiated
  // formats included, for comparing with the baseline's.
  void DumpPipeline() {
    auto platformGraph = std::dynamic_pointer_cast<gst::GstFilterGraph>(graph.PlatformGraph());
    if (platformGraph)
      GST_DEBUG_BIN_TO_DOT_FILE(GST_BIN(platformGraph->Pipeline()), GST_DEBUG_GRAPH_SHOW_ALL, graph.Name().c_str());
  }

  int number;
  TFilterGraph graph;
  TFilter source;
  TVideoWindow window;
  TSampleGrabber grabber;
  TASFWriter writer;
  PaintCounter counter;
  bool counting = false;
};

int RunCameras(QApplication& application, int cameras, const std::string* recordingFolder, bool grabbers) {
  QWidget form;
  form.setWindowTitle("quadrovia-bench");
  form.resize(671, 508);
  form.show();
  std::vector<std::unique_ptr<Channel>> channels;
  for (int i = 0; i < cameras; ++i) {
    channels.push_back(std::make_unique<Channel>(&form, i));
    channels.back()->window.Loaded();
  }
  try {
    for (int i = 0; i < cameras; ++i) channels[i]->Start(i, recordingFolder, grabbers);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "starting the cameras failed: %s\n", e.what());
    return 1;
  }

  QElapsedTimer sinceReady;
  bool ready = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (stopRequested) {
      application.quit();
      return;
    }
    if (ready) return;
    for (auto& channel : channels) {
      QWidget* shown = channel->ShownWindow();
      if (!shown) return;
      if (!channel->counting) {
        shown->installEventFilter(&channel->counter);
        channel->counting = true;
      }
    }
    ready = true;
    sinceReady.start();
    for (auto& channel : channels) channel->DumpPipeline();
    std::printf("ready\n");
    std::fflush(stdout);
  });
  poll.start(50);
  application.exec();

  const double seconds = ready ? sinceReady.elapsed() / 1000.0 : 0.0;
  std::printf("painted");
  for (auto& channel : channels) std::printf(" %.1f", seconds > 0 ? channel->counter.paints / seconds : 0.0);
  std::printf(" pictures/s over %.1f s\n", seconds);
  std::fflush(stdout);
  return ready ? 0 : 1;
}

int RunEncode(QApplication& application, const std::string& raw, int width, int height, int fps,
              const std::string& output) {
  TFilterGraph graph("FilterGraph1");
  graph.SetMode(gmCapture);
  RawSourceMember source(raw, width, height, fps);
  TASFWriter writer("ASFWriter1");
  ConfigureAsProgram(writer);
  writer.SetFileName(output);
  source.SetFilterGraph(&graph);
  writer.SetFilterGraph(&graph);
  bool done = false;
  std::string failure;
  graph.OnDSEvent = [&](TFilterGraph&, LONG event, LONG_PTR, LONG_PTR) {
    if (event == EC_COMPLETE) done = true;
    if (event == EC_ERRORABORT) failure = "the graph stopped with an error";
    if (done || !failure.empty()) application.quit();
  };
  double cpu = 0;
  QElapsedTimer wall;
  try {
    graph.SetActive(true);
    auto builder = graph.Query<ICaptureGraphBuilder2>();
    if (!builder) throw std::runtime_error("the graph has no capture builder");
    CheckMediaResult(
        builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, source.GetMemberFilter(), nullptr,
                              writer.Query<IBaseFilter>()));
    cpu = CpuSeconds();
    wall.start();
    graph.Play();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "starting the recording failed: %s\n", e.what());
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (stopRequested) application.quit();
  });
  poll.start(100);
  application.exec();
  cpu = CpuSeconds() - cpu;
  const double seconds = wall.elapsed() / 1000.0;
  graph.Stop();
  graph.SetActive(false);
  if (!done) {
    std::fprintf(stderr, "the recording did not end: %s\n", failure.empty() ? "stopped" : failure.c_str());
    return 1;
  }
  std::printf("encoded %.3f %.3f\n", cpu, seconds);
  std::fflush(stdout);
  return 0;
}

int RunFinish(const std::string& file) {
  const double cpu = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  const auto result = gst::AsfRecordingFinisher::Finish(file);
  const double seconds = wall.elapsed() / 1000.0;
  if (result.outcome != gst::AsfRecordingFinisher::Outcome::kFinished) {
    std::fprintf(stderr, "not finished: %s\n", result.detail.c_str());
    return 1;
  }
  std::printf("finished %.3f %.3f (%s)\n", CpuSeconds() - cpu, seconds, result.detail.c_str());
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: quadrovia-bench preview [cameras] [grabbers]\n"
               "       quadrovia-bench record [cameras] [folder]\n"
               "       quadrovia-bench encode <raw BGRx file> <width> <height> <fps> <file.asf>\n"
               "       quadrovia-bench writer\n"
               "       quadrovia-bench finish <file.asf>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string mode = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (mode != "preview" && mode != "record" && mode != "encode" && mode != "writer" && mode != "finish")
    return Usage();
  if ((mode == "encode" && args.size() != 5) || (mode == "finish" && args.size() != 1)) return Usage();
  const int cameras = mode == "preview" || mode == "record" ? (args.empty() ? 4 : std::atoi(args[0].c_str())) : 0;
  if ((mode == "preview" || mode == "record") && (cameras < 1 || cameras > 4)) return Usage();

  QApplication application(argc, argv);
  gst::GstBackend::Install();
  if (FAILED(CoInitialize())) {
    std::fprintf(stderr, "the media platform did not start\n");
    return 1;
  }
  std::signal(SIGTERM, RequestStop);
  std::signal(SIGINT, RequestStop);

  int status = 0;
  if (mode == "writer") {
    BaseFilterPtr writer;
    status = SUCCEEDED(CoCreateInstance<IBaseFilter>(CLSID_WMAsfWriter, writer)) && writer ? 0 : 1;
  } else if (mode == "finish") {
    status = RunFinish(args[0]);
  } else if (mode == "preview") {
    status = RunCameras(application, cameras, nullptr, args.size() > 1 && args[1] == "grabbers");
  } else if (mode == "record") {
    const std::string folder = args.size() > 1 ? args[1] : ".";
    status = RunCameras(application, cameras, &folder, true);
  } else {
    status = RunEncode(application, args[0], std::atoi(args[1].c_str()), std::atoi(args[2].c_str()),
                       std::atoi(args[3].c_str()), args[4]);
  }
  CoUninitialize();
  return status;
}
