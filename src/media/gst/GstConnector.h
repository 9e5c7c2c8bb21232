#pragma once
#include <string>
#include <vector>

#include "media/gst/GstFilter.h"

namespace media::gst {

class GstFilterGraph;

// One attempt at building part of a graph: it adds filters and makes
// connections, remembering each step, and undoes them all (last first) unless
// the attempt is committed, so a build that fails half-way leaves the graph
// as it found it. User-interface thread, graph stopped.
class GstConnector {
 public:
  explicit GstConnector(GstFilterGraph& graph);
  ~GstConnector();
  GstConnector(const GstConnector&) = delete;
  GstConnector& operator=(const GstConnector&) = delete;

  HRESULT AddFilter(const GstFilterPtr& filter, const std::u16string& name);
  // A direct connection of out to in.
  HRESULT Link(const GstPinPtr& out, const GstPinPtr& in);
  // Connects out to in: directly when every format out can give is one in
  // takes; otherwise through a converter (GstConverterFilter) added for it;
  // otherwise directly if their formats overlap at all. VFW_E_CANNOT_CONNECT
  // when nothing works; what this call added is then gone again.
  HRESULT Connect(const GstPinPtr& out, const GstPinPtr& in);

  void Commit() { steps_.clear(); }
  // Undoes every step after the first `mark` ones.
  void RollbackTo(std::size_t mark);
  std::size_t Mark() const { return steps_.size(); }

 private:
  struct Step {
    GstFilterPtr added;  // set for an added filter
    GstPinPtr out;       // set for a connection made
  };

  HRESULT ThroughConverter(const GstPinPtr& out, const GstPinPtr& in, const GstCaps* accepted);

  GstFilterGraph& graph_;
  std::vector<Step> steps_;
};

}  // namespace media::gst
