#pragma once
// The platform filter graph, its control and event interfaces, and the graph
// builders.
#include <memory>
#include <string>

#include "media/framework/Filters.h"
#include "media/framework/Guid.h"
#include "media/framework/Types.h"

namespace media {

class IFilterGraph : public virtual IUnknown {
 public:
  // A name already taken in the graph gets a suffix (VFW_S_DUPLICATE_NAME);
  // a nil filter answers E_POINTER.
  virtual HRESULT AddFilter(const BaseFilterPtr& filter, const std::u16string& name) = 0;
  // VFW_E_NOT_FOUND for a filter not in the graph.
  virtual HRESULT RemoveFilter(const BaseFilterPtr& filter) = 0;
  // In the order the filters were added.
  virtual HRESULT EnumFilters(std::shared_ptr<IEnumFilters>& filters) = 0;
  virtual HRESULT FindFilterByName(const std::u16string& name, BaseFilterPtr& filter) = 0;
  virtual HRESULT ConnectDirect(const PinPtr& out, const PinPtr& in, const AM_MEDIA_TYPE* mediaType) = 0;
  virtual HRESULT Disconnect(const PinPtr& pin) = 0;
};

// A log file handle: a writable POSIX file descriptor the caller owns; 0 is
// no log.
using LogFileHandle = std::intptr_t;

class IGraphBuilder : public IFilterGraph {
 public:
  // Connects out to in, inserting converters where needed.
  virtual HRESULT Connect(const PinPtr& out, const PinPtr& in) = 0;
  // The graph writes its log of graph building to the file until set to 0;
  // it never closes the handle.
  virtual HRESULT SetLogFile(LogFileHandle file) = 0;
};

class IFilterGraph2 : public IGraphBuilder {};

using FilterGraphPtr = std::shared_ptr<IFilterGraph2>;

using OAFilterState = LONG;

class IMediaControl : public virtual IUnknown {
 public:
  // S_FALSE while the change of state completes asynchronously.
  virtual HRESULT Run() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT GetState(LONG timeoutMs, OAFilterState& state) = 0;
};

class IMediaEvent : public virtual IUnknown {
 public:
  // E_ABORT when no event arrives within the time-out (0: do not wait). The
  // parameters may own memory: FreeEventParams releases it after each event.
  virtual HRESULT GetEvent(LONG& eventCode, LONG_PTR& param1, LONG_PTR& param2, LONG timeoutMs) = 0;
  virtual HRESULT FreeEventParams(LONG eventCode, LONG_PTR param1, LONG_PTR param2) = 0;
};

class IMediaEventEx : public IMediaEvent {
 public:
  // Each queued event is announced by posting `message` with wParam 0 and
  // lParam = instanceData to the window (0 stops announcing). Posting is
  // thread-safe, so delivery is on the user-interface thread in queue order.
  virtual HRESULT SetNotifyWindow(platform::HWND window, LONG message, LONG_PTR instanceData) = 0;
  // AM_MEDIAEVENT_NONOTIFY (1) turns announcements off, 0 on.
  virtual HRESULT SetNotifyFlags(LONG flags) = 0;
  virtual HRESULT GetNotifyFlags(LONG& flags) = 0;
};

inline constexpr LONG AM_MEDIAEVENT_NONOTIFY = 1;

class ICaptureGraphBuilder2 : public virtual IUnknown {
 public:
  virtual HRESULT SetFiltergraph(const std::shared_ptr<IGraphBuilder>& graph) = 0;
  virtual HRESULT GetFiltergraph(std::shared_ptr<IGraphBuilder>& graph) = 0;
  // Connects the source's output pin of `category` (nil: any output) through
  // the optional intermediate filter to the sink, adding what the path needs.
  // Without a pin of the category, a preview is split off the capture output
  // and the answer is VFW_S_NOPREVIEWPIN. Nothing stays half connected when
  // it fails. mediaType nil: any major type.
  virtual HRESULT RenderStream(const GUID* category, const GUID* mediaType, const UnknownPtr& source,
                               const BaseFilterPtr& intermediate, const BaseFilterPtr& sink) = 0;
  // The first pin of the filter in `direction` with `category` (nil: any),
  // unconnected only when unconnected is true; index counts matches.
  virtual HRESULT FindPin(const UnknownPtr& source, PIN_DIRECTION direction, const GUID* category,
                          const GUID* mediaType, bool unconnected, int index, PinPtr& pin) = 0;
};

class IDvdGraphBuilder : public virtual IUnknown {
 public:
  virtual HRESULT GetFiltergraph(std::shared_ptr<IGraphBuilder>& graph) = 0;
  virtual HRESULT GetDvdInterface(const IID& riid, UnknownPtr& out) = 0;
};

class IDvdInfo2 : public virtual IUnknown {
 public:
  virtual HRESULT GetAudioLanguage(ULONG stream, LCID& language) = 0;
  virtual HRESULT GetSubpictureLanguage(ULONG stream, LCID& language) = 0;
};

}  // namespace media
