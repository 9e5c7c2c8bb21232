#pragma once
// Shared pieces of the GStreamer backend's tests: the backend started for a
// test, a camera file for the synthetic cameras, small filters of our own to
// build graphs with, and waiting that runs the event loop.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "media/gst/GstFilter.h"
#include "media/gst/GstFilterGraph.h"

namespace gsttest {

// Starts the media platform with the GStreamer backend for each test.
class BackendTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Points QUADROVIA_SYNTHCAMS at a file of its own while it lives. Writes
// replace the file in one step: a running camera may be reading it.
class CameraFile {
 public:
  CameraFile();
  ~CameraFile();
  CameraFile(const CameraFile&) = delete;
  CameraFile& operator=(const CameraFile&) = delete;
  void Write(const std::string& text) const;

 private:
  QTemporaryDir dir_;
  std::string path_;
  std::optional<std::string> previous_;
};

// Runs the event loop until `done` or the limit; answers `done()`.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));
// Runs the event loop for a while (lets posted messages arrive).
void ProcessEvents(std::chrono::milliseconds time = std::chrono::milliseconds(50));

int ThreadCount();
// The thread count once it has stayed the same for a while: threads that
// finished their work take a moment to end.
int SettledThreadCount();

// A live test picture with one output, "Capture", of the capture category
// (shaped like a camera); `caps` restricts its formats, `buffers` > 0 ends
// the stream after that many frames.
class SourceFilter : public media::gst::GstFilter {
 public:
  explicit SourceFilter(const std::string& caps = "video/x-raw,format=I420,width=320,height=240,framerate=30/1",
                        int buffers = -1);
  media::gst::GstPinPtr Out() const { return Pins().front(); }
};

// A sink with one input, "In", that takes only `caps` (ANY when empty) and
// counts what reaches it.
class SinkFilter : public media::gst::GstFilter {
 public:
  explicit SinkFilter(const std::string& caps = "", bool needsDrain = false);
  media::gst::GstPinPtr In() const { return Pins().front(); }
  bool NeedsDrain() const override { return needsDrain_; }

  int Frames() const { return frames_->load(); }
  bool SawEndOfStream() const { return eos_->load(); }
  // The caps of the last frame that arrived, empty before one did.
  std::string LastFormat() const;
  // While blocked, frames wait at the sink's input (a slow consumer).
  void Block(bool block);

 private:
  bool needsDrain_;
  GstElement* sink_ = nullptr;
  std::shared_ptr<std::atomic<int>> frames_ = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<std::atomic<bool>> eos_ = std::make_shared<std::atomic<bool>>(false);
  std::shared_ptr<std::atomic<bool>> blocked_ = std::make_shared<std::atomic<bool>>(false);
};

// A filter with one input and one output that passes video through.
class PassFilter : public media::gst::GstFilter {
 public:
  PassFilter();
  media::gst::GstPinPtr In() const { return PinOf(media::PINDIR_INPUT); }
  media::gst::GstPinPtr Out() const { return PinOf(media::PINDIR_OUTPUT); }
};

// Weak references to every element inside a bin, to see them all go.
class ElementWatch {
 public:
  explicit ElementWatch(GstElement* bin);
  ~ElementWatch();
  ElementWatch(const ElementWatch&) = delete;
  ElementWatch& operator=(const ElementWatch&) = delete;
  std::size_t Count() const { return refs_.size(); }
  // The names of those still alive.
  std::vector<std::string> Alive() const;

 private:
  void Add(GstElement* element);
  std::vector<GWeakRef*> refs_;
  std::vector<std::string> names_;
};

std::shared_ptr<media::gst::GstFilterGraph> NewGraph();

}  // namespace gsttest
