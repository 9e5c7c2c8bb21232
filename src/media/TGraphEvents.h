#pragma once
#include <functional>
#include <string>

#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

class TFilterGraph;

// The graph's event properties for the platform's graph events, and the table
// that turns an event's parameters into a property's arguments. Object
// arguments are valid only during the call.
struct TGraphEvents {
  using Notify = std::function<void(TFilterGraph& sender)>;
  using ResultEvent = std::function<void(TFilterGraph& sender, HRESULT result)>;
  using ObjectEvent = std::function<void(TFilterGraph& sender, IUnknown* object)>;
  using PairEvent = std::function<void(TFilterGraph& sender, LONG first, LONG second)>;
  using ObjectValueEvent = std::function<void(TFilterGraph& sender, IUnknown* object, LONG value)>;
  using FlagEvent = std::function<void(TFilterGraph& sender, bool flag)>;

  std::function<void(TFilterGraph& sender, HRESULT result, IUnknown* renderer)> OnGraphComplete;
  Notify OnGraphUserAbort;
  ResultEvent OnGraphErrorAbort;
  PairEvent OnGraphStreamErrorStopped;       // operation, value
  PairEvent OnGraphStreamErrorStillPlaying;  // operation, value
  ResultEvent OnGraphErrorStillPlaying;
  Notify OnGraphPaletteChanged;
  std::function<void(TFilterGraph& sender, int width, int height)> OnGraphVideoSizeChanged;
  Notify OnGraphQualityChange;
  Notify OnGraphClockChanged;
  ResultEvent OnGraphPaused;
  FlagEvent OnGraphOpeningFile;    // opening
  FlagEvent OnGraphBufferingData;  // buffering
  ObjectEvent OnGraphFullscreenLost;  // renderer
  std::function<void(TFilterGraph& sender, const std::u16string& string1, const std::u16string& string2)>
      OnGraphOleEvent;
  ObjectValueEvent OnGraphStreamControlStopped;  // pin sender, cookie
  ObjectValueEvent OnGraphStreamControlStarted;  // pin sender, cookie
  std::function<void(TFilterGraph& sender, REFERENCE_TIME streamTime, LONG numSegment)> OnGraphEndOfSegment;
  std::function<void(TFilterGraph& sender, IUnknown* device, bool removed)> OnGraphDeviceLost;
  Notify OnGraphStepComplete;
  ObjectValueEvent OnGraphTimeCodeAvailable;  // from, device id
  PairEvent OnGraphEXTDeviceModeChange;       // new mode, device id
  Notify OnGraphChanged;
  Notify OnGraphClockUnset;
  std::function<void(TFilterGraph& sender, LONG renderDevice)> OnGraphVMRRenderDevice;
  PairEvent OnGraphSNDDevInError;   // occur when, error code
  PairEvent OnGraphSNDDevOutError;  // occur when, error code

  // Calls the property of a graph event if assigned; true when the code is a
  // graph event (assigned or not).
  bool DispatchGraphTable(TFilterGraph& sender, LONG event, LONG_PTR param1, LONG_PTR param2) const;
};

}  // namespace media
