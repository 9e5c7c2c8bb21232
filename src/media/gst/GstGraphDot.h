#pragma once
#include <string>

namespace media::gst {

class GstFilterGraph;

// A graph's filters and connections as a Graphviz DOT document, for an
// external viewer: one record node per filter (its name, inputs on the left,
// outputs on the right), one edge per connection, labelled with the format
// agreed on it once the graph has run.
class GstGraphDot {
 public:
  static std::string Render(const GstFilterGraph& graph, const std::string& title);
  // Text made safe inside a quoted record label.
  static std::string EscapeRecord(const std::string& text);
};

}  // namespace media::gst
