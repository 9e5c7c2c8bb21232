// Runs the media layer's camera graphs the way the channels do, for bench/run
// to measure from outside: the process prints "ready" once every window shows
// its camera, keeps running until SIGTERM or SIGINT, and then prints how many
// pictures each window painted, so that a measurement can tell a cheap run
// from one that dropped frames.
//
//   quadrovia-bench preview [cameras]     cameras 1..4, default 4
//
// The cameras are the first ones the device enumerator lists (synthetic
// cameras in bench/run).

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
#include <string>
#include <vector>

#include "media/MediaErrors.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "media/TSysDevEnum.h"
#include "media/TVideoWindow.h"
#include "media/framework/Identifiers.h"
#include "media/framework/MediaPlatform.h"
#include "media/gst/GstBackend.h"
#include "media/gst/GstFilterGraph.h"
#include "media/gst/GstVideoRenderer.h"
#include "media/gst/RendererWindow.h"

namespace {

using namespace media;

std::atomic<bool> stopRequested{false};

void RequestStop(int) { stopRequested = true; }

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

// One camera channel as the program builds it for monitoring: a capture
// graph, the camera's source filter and a mixing-renderer video window in a
// 320x240 panel of a 2x2 grid.
struct Channel {
  Channel(QWidget* form, int index)
      : graph("FilterGraph" + std::to_string(index + 1)),
        source("Filter" + std::to_string(index + 1)),
        window(form, "VideoWindow" + std::to_string(index + 1)) {
    window.setGeometry(5 + (index % 2) * 332, 5 + (index / 2) * 251, 320, 240);
    window.SetMode(vmVMR);
    window.VMROptions().SetMode(vmrWindowed);
    graph.SetMode(gmCapture);
    graph.SetGraphEdit(true);
    source.SetFilterGraph(&graph);
    window.SetFilterGraph(&graph);
  }
  ~Channel() {
    graph.SetActive(false);
    source.SetFilterGraph(nullptr);
    window.SetFilterGraph(nullptr);
  }

  void StartPreview(int position) {
    TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
    MonikerPtr moniker = devices.GetDeviceMoniker(position);
    if (!moniker) throw std::runtime_error("no camera at position " + std::to_string(position));
    source.BaseFilter().StoreMoniker(moniker);
    graph.SetActive(true);
    auto builder = graph.Query<ICaptureGraphBuilder2>();
    if (!builder) throw std::runtime_error("the graph has no capture builder");
    CheckMediaResult(builder->RenderStream(&PIN_CATEGORY_PREVIEW, nullptr, source.Query<IBaseFilter>(), nullptr,
                                           window.Query<IBaseFilter>()));
    graph.Play();
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

  TFilterGraph graph;
  TFilter source;
  TVideoWindow window;
  PaintCounter counter;
  bool counting = false;
};

int Usage() {
  std::fprintf(stderr, "usage: quadrovia-bench preview [cameras 1..4]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "preview") != 0) return Usage();
  const int cameras = argc > 2 ? std::atoi(argv[2]) : 4;
  if (cameras < 1 || cameras > 4) return Usage();

  QApplication application(argc, argv);
  gst::GstBackend::Install();
  if (FAILED(CoInitialize())) {
    std::fprintf(stderr, "the media platform did not start\n");
    return 1;
  }
  std::signal(SIGTERM, RequestStop);
  std::signal(SIGINT, RequestStop);

  int status = 0;
  {
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
      for (int i = 0; i < cameras; ++i) channels[i]->StartPreview(i);
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
    for (auto& channel : channels)
      std::printf(" %.1f", seconds > 0 ? channel->counter.paints / seconds : 0.0);
    std::printf(" pictures/s over %.1f s\n", seconds);
    std::fflush(stdout);
    if (!ready) status = 1;
  }
  CoUninitialize();
  return status;
}
