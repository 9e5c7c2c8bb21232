#include "media/gst/GstTestKit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>

#include "media/framework/Identifiers.h"
#include "media/framework/MediaPlatform.h"
#include "media/gst/GstBackend.h"

namespace gsttest {

using namespace media;
using namespace media::gst;

void BackendTest::SetUp() {
  GstBackend::Install();
  ASSERT_TRUE(SUCCEEDED(CoInitialize()));
  // Other tests of this binary may have put fakes in the backend's place.
  GstBackend::RegisterClasses();
}

void BackendTest::TearDown() { CoUninitialize(); }

CameraFile::CameraFile() : path_(QDir(dir_.path()).filePath("cameras.txt").toStdString()) {
  if (const char* old = g_getenv("QUADROVIA_SYNTHCAMS")) previous_ = old;
  g_setenv("QUADROVIA_SYNTHCAMS", path_.c_str(), TRUE);
  Write("");
}

CameraFile::~CameraFile() {
  if (previous_) g_setenv("QUADROVIA_SYNTHCAMS", previous_->c_str(), TRUE);
  else g_unsetenv("QUADROVIA_SYNTHCAMS");
}

void CameraFile::Write(const std::string& text) const {
  ASSERT_TRUE(g_file_set_contents(path_.c_str(), text.data(), static_cast<gssize>(text.size()), nullptr));
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > limit.count()) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

void ProcessEvents(std::chrono::milliseconds time) {
  WaitUntil([] { return false; }, time);
}

int ThreadCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

int SettledThreadCount() {
  int count = ThreadCount();
  QElapsedTimer steady, overall;
  steady.start();
  overall.start();
  while (steady.elapsed() < 1000 && overall.elapsed() < 10000) {
    ProcessEvents(std::chrono::milliseconds(50));
    if (const int now = ThreadCount(); now != count) {
      count = now;
      steady.restart();
    }
  }
  return count;
}

std::shared_ptr<GstFilterGraph> NewGraph() { return std::make_shared<GstFilterGraph>(); }

SourceFilter::SourceFilter(const std::string& caps, int buffers) : GstFilter(GUID{}, u"Test Source") {
  GstElement* source = AddElement("videotestsrc");
  GstElement* filter = AddElement("capsfilter");
  g_object_set(source, "is-live", TRUE, "num-buffers", buffers, nullptr);
  const CapsRef wanted = CapsRef::Adopt(gst_caps_from_string(caps.c_str()));
  g_object_set(filter, "caps", wanted.get(), nullptr);
  gst_element_link(source, filter);
  const PadRef out = PadRef::Adopt(gst_element_get_static_pad(filter, "src"));
  AddPin(u"Capture", PINDIR_OUTPUT, out.get(), PIN_CATEGORY_CAPTURE);
}

namespace {

struct SinkCounters {
  std::shared_ptr<std::atomic<int>> frames;
  std::shared_ptr<std::atomic<bool>> eos;
  std::shared_ptr<std::atomic<bool>> blocked;
};

GstPadProbeReturn CountAtSink(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* counters = static_cast<SinkCounters*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    // A slow consumer: hold the frame until released or until the pad
    // flushes (the pipeline stopping).
    while (counters->blocked->load() && !GST_PAD_IS_FLUSHING(pad)) g_usleep(1000);
    ++*counters->frames;
  } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
    counters->eos->store(true);
  }
  return GST_PAD_PROBE_OK;
}

}  // namespace

SinkFilter::SinkFilter(const std::string& caps, bool needsDrain)
    : GstFilter(GUID{}, u"Test Sink"), needsDrain_(needsDrain) {
  sink_ = AddElement("fakesink");
  g_object_set(sink_, "sync", FALSE, nullptr);
  GstElement* first = sink_;
  if (!caps.empty()) {
    first = AddElement("capsfilter");
    const CapsRef accepted = CapsRef::Adopt(gst_caps_from_string(caps.c_str()));
    g_object_set(first, "caps", accepted.get(), nullptr);
    gst_element_link(first, sink_);
  }
  const PadRef in = PadRef::Adopt(gst_element_get_static_pad(first, "sink"));
  const PadRef sinkPad = PadRef::Adopt(gst_element_get_static_pad(sink_, "sink"));
  gst_pad_add_probe(sinkPad.get(),
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                    CountAtSink, new SinkCounters{frames_, eos_, blocked_},
                    [](gpointer data) { delete static_cast<SinkCounters*>(data); });
  AddPin(u"In", PINDIR_INPUT, in.get());
}

std::string SinkFilter::LastFormat() const {
  const PadRef pad = PadRef::Adopt(gst_element_get_static_pad(sink_, "sink"));
  const CapsRef caps = CapsRef::Adopt(gst_pad_get_current_caps(pad.get()));
  return caps ? TakeString(gst_caps_to_string(caps.get())) : std::string();
}

void SinkFilter::Block(bool block) { blocked_->store(block); }

PassFilter::PassFilter() : GstFilter(GUID{}, u"Pass") {
  GstElement* identity = AddElement("identity");
  const PadRef in = PadRef::Adopt(gst_element_get_static_pad(identity, "sink"));
  const PadRef out = PadRef::Adopt(gst_element_get_static_pad(identity, "src"));
  AddPin(u"In", PINDIR_INPUT, in.get());
  AddPin(u"Out", PINDIR_OUTPUT, out.get());
}

ElementWatch::ElementWatch(GstElement* bin) {
  Add(bin);
  const GstIteratorPtr it(gst_bin_iterate_recurse(GST_BIN(bin)));
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(it.get(), &item) == GST_ITERATOR_OK) {
    Add(GST_ELEMENT(g_value_get_object(&item)));
    g_value_reset(&item);
  }
  g_value_unset(&item);
}

ElementWatch::~ElementWatch() {
  for (GWeakRef* ref : refs_) {
    g_weak_ref_clear(ref);
    delete ref;
  }
}

void ElementWatch::Add(GstElement* element) {
  auto* ref = new GWeakRef;
  g_weak_ref_init(ref, element);
  refs_.push_back(ref);
  names_.push_back(GST_OBJECT_NAME(element));
}

std::vector<std::string> ElementWatch::Alive() const {
  std::vector<std::string> alive;
  for (std::size_t i = 0; i < refs_.size(); ++i)
    if (gpointer object = g_weak_ref_get(refs_[i])) {
      alive.push_back(names_[i]);
      g_object_unref(object);
    }
  return alive;
}

}  // namespace gsttest
