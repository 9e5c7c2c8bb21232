#pragma once
#include <memory>

class QFrame;

namespace media {
class TASFWriter;
class TFilter;
class TFilterGraph;
class TSampleGrabber;
class TVideoWindow;
}  // namespace media

namespace channels {

// One camera channel: the components with the same number. The video window
// lives in its panel (a widget child); the media components are owned here.
// The video window, capture source and sample grabber are always members of
// the channel's graph; the writer only while the channel records.
struct Channel {
  Channel();
  ~Channel();

  int number = 0;  // 1..4
  QFrame* panel = nullptr;
  media::TVideoWindow* videoWindow = nullptr;
  std::unique_ptr<media::TFilterGraph> graph;
  std::unique_ptr<media::TFilter> filter;
  std::unique_ptr<media::TSampleGrabber> grabber;
  std::unique_ptr<media::TASFWriter> writer;
};

}  // namespace channels
