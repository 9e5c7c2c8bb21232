#include "media/gst/GstGraphDot.h"

#include <map>
#include <sstream>

#include "media/gst/GstFilterGraph.h"
#include "media/gst/GstText.h"

namespace media::gst {
namespace {

constexpr std::size_t kMaxEdgeLabel = 120;

std::string PortList(const GstFilter& filter, PIN_DIRECTION direction, const std::string& prefix) {
  std::string ports;
  int index = 0;
  for (const auto& pin : filter.Pins()) {
    if (pin->Direction() != direction) continue;
    if (!ports.empty()) ports += "|";
    ports += "<" + prefix + std::to_string(index++) + "> " + GstGraphDot::EscapeRecord(Utf8(pin->Name()));
  }
  return ports;
}

std::string PortOf(const GstFilter& filter, const GstPin& wanted, const std::string& prefix) {
  int index = 0;
  for (const auto& pin : filter.Pins()) {
    if (pin->Direction() != wanted.Direction()) continue;
    if (pin.get() == &wanted) return prefix + std::to_string(index);
    ++index;
  }
  return prefix + "0";
}

std::string EdgeLabel(const GstPin& out) {
  const CapsRef caps = CapsRef::Adopt(gst_pad_get_current_caps(out.Pad()));
  if (!caps) return {};
  std::string text = TakeString(gst_caps_to_string(caps.get()));
  if (text.size() > kMaxEdgeLabel) text = text.substr(0, kMaxEdgeLabel) + "...";
  std::string quoted;
  for (char c : text) quoted += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
  return quoted;
}

}  // namespace

std::string GstGraphDot::EscapeRecord(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (std::string_view("{}|<>\"\\ ").find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out;
}

std::string GstGraphDot::Render(const GstFilterGraph& graph, const std::string& title) {
  std::ostringstream dot;
  dot << "digraph \"" << EscapeRecord(title) << "\" {\n  rankdir=LR;\n  node [shape=record, fontname=\"Sans\"];\n";
  const auto filters = graph.Filters();
  std::map<const GstFilter*, std::size_t> ids;
  for (std::size_t i = 0; i < filters.size(); ++i) {
    const GstFilter& f = *filters[i];
    ids[&f] = i;
    dot << "  f" << i << " [label=\"{{" << PortList(f, PINDIR_INPUT, "i") << "}|" << EscapeRecord(Utf8(f.Name()))
        << "|{" << PortList(f, PINDIR_OUTPUT, "o") << "}}\"];\n";
  }
  for (const auto& filter : filters)
    for (const auto& pin : filter->Pins()) {
      const auto peer = pin->Direction() == PINDIR_OUTPUT ? pin->Peer() : nullptr;
      const auto target = peer ? peer->Owner() : nullptr;
      if (!target || !ids.count(target.get())) continue;
      dot << "  f" << ids[filter.get()] << ":" << PortOf(*filter, *pin, "o") << " -> f" << ids[target.get()] << ":"
          << PortOf(*target, *peer, "i") << " [label=\"" << EdgeLabel(*pin) << "\"];\n";
    }
  dot << "}\n";
  return dot.str();
}

}  // namespace media::gst
