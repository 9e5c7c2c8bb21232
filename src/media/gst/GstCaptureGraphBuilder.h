#pragma once
#include <memory>

#include "media/framework/Graphs.h"
#include "media/gst/GstFilter.h"

namespace media::gst {

class GstConnector;
class GstFilterGraph;

// The capture graph builder over one of our graphs. RenderStream connects a
// source's output of a category, through an optional intermediate filter, to
// a sink, adding the converters each connection needs. A source without a
// preview output of its own (every camera here) is split with a smart tee on
// its capture output: the preview category then answers VFW_S_NOPREVIEWPIN,
// and later renders of either category reuse that tee. A render that fails
// leaves the graph as it was. User-interface thread.
class GstCaptureGraphBuilder : public ICaptureGraphBuilder2 {
 public:
  // Once per builder; only our own graphs.
  HRESULT SetFiltergraph(const std::shared_ptr<IGraphBuilder>& graph) override;
  HRESULT GetFiltergraph(std::shared_ptr<IGraphBuilder>& graph) override;
  HRESULT RenderStream(const GUID* category, const GUID* mediaType, const UnknownPtr& source,
                       const BaseFilterPtr& intermediate, const BaseFilterPtr& sink) override;
  HRESULT FindPin(const UnknownPtr& source, PIN_DIRECTION direction, const GUID* category, const GUID* mediaType,
                  bool unconnected, int index, PinPtr& pin) override;

 private:
  GstFilterPtr InGraph(const UnknownPtr& object) const;
  HRESULT SourcePin(GstConnector& build, const GUID* category, const GUID* mediaType, const UnknownPtr& source,
                    GstPinPtr& out);
  HRESULT SplitCapture(GstConnector& build, const GstFilter& source, const GUID& category, GstPinPtr& out);
  HRESULT ConnectToFilter(GstConnector& build, const GstPinPtr& out, const GstFilter& filter,
                          const GUID* mediaType);

  std::shared_ptr<IGraphBuilder> graph_;
  std::shared_ptr<GstFilterGraph> gstGraph_;
};

}  // namespace media::gst
