#include "media/TGraphEvents.h"

#include "media/framework/EventCodes.h"

namespace media {
namespace {

IUnknown* Object(LONG_PTR param) { return reinterpret_cast<IUnknown*>(param); }
LONG Value(LONG_PTR param) { return static_cast<LONG>(param); }

std::u16string Text(LONG_PTR param) {
  const auto* text = reinterpret_cast<const char16_t*>(param);
  return text ? std::u16string(text) : std::u16string();
}

REFERENCE_TIME TimeAt(LONG_PTR param) {
  const auto* time = reinterpret_cast<const REFERENCE_TIME*>(param);
  return time ? *time : 0;
}

template <class F, class... A>
void Fire(const F& handler, A&&... args) {
  if (handler) handler(std::forward<A>(args)...);
}

}  // namespace

bool TGraphEvents::DispatchGraphTable(TFilterGraph& s, LONG event, LONG_PTR p1, LONG_PTR p2) const {
  switch (event) {
    case EC_COMPLETE: Fire(OnGraphComplete, s, Value(p1), Object(p2)); break;
    case EC_USERABORT: Fire(OnGraphUserAbort, s); break;
    case EC_ERRORABORT: Fire(OnGraphErrorAbort, s, Value(p1)); break;
    case EC_STREAM_ERROR_STOPPED: Fire(OnGraphStreamErrorStopped, s, Value(p1), Value(p2)); break;
    case EC_STREAM_ERROR_STILLPLAYING: Fire(OnGraphStreamErrorStillPlaying, s, Value(p1), Value(p2)); break;
    case EC_ERROR_STILLPLAYING: Fire(OnGraphErrorStillPlaying, s, Value(p1)); break;
    case EC_PALETTE_CHANGED: Fire(OnGraphPaletteChanged, s); break;
    case EC_VIDEO_SIZE_CHANGED: Fire(OnGraphVideoSizeChanged, s, int(p1 & 0xFFFF), int((p1 >> 16) & 0xFFFF)); break;
    case EC_QUALITY_CHANGE: Fire(OnGraphQualityChange, s); break;
    case EC_CLOCK_CHANGED: Fire(OnGraphClockChanged, s); break;
    case EC_PAUSED: Fire(OnGraphPaused, s, Value(p1)); break;
    case EC_OPENING_FILE: Fire(OnGraphOpeningFile, s, p1 == 1); break;
    case EC_BUFFERING_DATA: Fire(OnGraphBufferingData, s, p1 == 1); break;
    case EC_FULLSCREEN_LOST: Fire(OnGraphFullscreenLost, s, Object(p2)); break;
    case EC_OLE_EVENT: if (OnGraphOleEvent) OnGraphOleEvent(s, Text(p1), Text(p2)); break;
    case EC_STREAM_CONTROL_STOPPED: Fire(OnGraphStreamControlStopped, s, Object(p1), Value(p2)); break;
    case EC_STREAM_CONTROL_STARTED: Fire(OnGraphStreamControlStarted, s, Object(p1), Value(p2)); break;
    case EC_END_OF_SEGMENT: if (OnGraphEndOfSegment) OnGraphEndOfSegment(s, TimeAt(p1), Value(p2)); break;
    case EC_DEVICE_LOST: Fire(OnGraphDeviceLost, s, Object(p1), p2 == 0); break;
    case EC_STEP_COMPLETE: Fire(OnGraphStepComplete, s); break;
    case EC_TIMECODE_AVAILABLE: Fire(OnGraphTimeCodeAvailable, s, Object(p1), Value(p2)); break;
    case EC_EXTDEVICE_MODE_CHANGE: Fire(OnGraphEXTDeviceModeChange, s, Value(p1), Value(p2)); break;
    case EC_GRAPH_CHANGED: Fire(OnGraphChanged, s); break;
    case EC_CLOCK_UNSET: Fire(OnGraphClockUnset, s); break;
    case EC_VMR_RENDERDEVICE_SET: Fire(OnGraphVMRRenderDevice, s, Value(p1)); break;
    case EC_SNDDEV_IN_ERROR: Fire(OnGraphSNDDevInError, s, Value(p1), Value(p2)); break;
    case EC_SNDDEV_OUT_ERROR: Fire(OnGraphSNDDevOutError, s, Value(p1), Value(p2)); break;
    default: return false;
  }
  return true;
}

}  // namespace media
