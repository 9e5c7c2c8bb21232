#include "channels/PreviewPath.h"

#include "channels/Channel.h"
#include "media/InterfaceCast.h"
#include "media/MediaErrors.h"
#include "media/TASFWriter.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "media/TSampleGrabber.h"
#include "media/TVideoWindow.h"
#include "media/framework/Identifiers.h"

namespace channels {

void RenderPreview(Channel& c, bool throughGrabber) {
  auto builder = media::InterfaceCast<media::ICaptureGraphBuilder2>(*c.graph);
  auto sink = media::InterfaceCast<media::IBaseFilter>(*c.videoWindow);
  media::BaseFilterPtr middle;
  if (throughGrabber) middle = media::InterfaceCast<media::IBaseFilter>(*c.grabber);
  auto source = media::InterfaceCast<media::IBaseFilter>(*c.filter);
  media::CheckMediaResult(builder->RenderStream(&media::PIN_CATEGORY_PREVIEW, nullptr, source, middle, sink));
}

void RenderCapture(Channel& c) {
  auto builder = media::InterfaceCast<media::ICaptureGraphBuilder2>(*c.graph);
  auto source = media::InterfaceCast<media::IBaseFilter>(*c.filter);
  auto sink = media::InterfaceCast<media::IBaseFilter>(*c.writer);
  media::CheckMediaResult(builder->RenderStream(&media::PIN_CATEGORY_CAPTURE, nullptr, source, nullptr, sink));
}

}  // namespace channels
