#pragma once
// Filters and pins of a platform graph.
#include <memory>
#include <string>
#include <vector>

#include "media/framework/MediaTypes.h"
#include "media/framework/Persist.h"
#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

class IBaseFilter;
class IFilterGraph;
class IPin;
class IEnumPins;
class IEnumFilters;

using BaseFilterPtr = std::shared_ptr<IBaseFilter>;
using PinPtr = std::shared_ptr<IPin>;

enum PIN_DIRECTION : DWORD { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

// Filter states: Stopped -> Paused -> Running and back.
enum FILTER_STATE : DWORD { State_Stopped = 0, State_Paused = 1, State_Running = 2 };

struct PIN_INFO {
  BaseFilterPtr pFilter;  // the filter that owns the pin
  PIN_DIRECTION dir = PINDIR_INPUT;
  std::u16string achName;
};

struct FILTER_INFO {
  std::u16string achName;                 // the name the filter has in its graph
  std::shared_ptr<IFilterGraph> pGraph;   // nil while in no graph
};

class IPin : public virtual IUnknown {
 public:
  // Connects this output pin to receivePin; mediaType nil lets the pins agree.
  virtual HRESULT Connect(const PinPtr& receivePin, const AM_MEDIA_TYPE* mediaType) = 0;
  // S_FALSE when the pin was not connected.
  virtual HRESULT Disconnect() = 0;
  // VFW_E_NOT_CONNECTED (and nil) when unconnected.
  virtual HRESULT ConnectedTo(PinPtr& pin) = 0;
  // Fills a record the caller frees with FreeMediaTypeRecord.
  virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE& mediaType) = 0;
  virtual HRESULT QueryPinInfo(PIN_INFO& info) = 0;
  virtual HRESULT QueryDirection(PIN_DIRECTION& direction) = 0;
  virtual HRESULT QueryId(std::u16string& id) = 0;
};

// Enumerators answer S_OK when they delivered all `count` items asked for and
// S_FALSE when fewer (none at the end). Items are appended to `out`.
class IEnumPins : public virtual IUnknown {
 public:
  virtual HRESULT Next(ULONG count, std::vector<PinPtr>& out) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
};

class IMediaFilter : public IPersist {
 public:
  virtual HRESULT Stop() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Run(REFERENCE_TIME start) = 0;
  virtual HRESULT GetState(DWORD timeoutMs, FILTER_STATE& state) = 0;
};

class IBaseFilter : public IMediaFilter {
 public:
  virtual HRESULT EnumPins(std::shared_ptr<IEnumPins>& pins) = 0;
  virtual HRESULT FindPin(const std::u16string& id, PinPtr& pin) = 0;
  virtual HRESULT QueryFilterInfo(FILTER_INFO& info) = 0;
  // Called by the graph as the filter enters (graph, name) or leaves (nil, "").
  virtual HRESULT JoinFilterGraph(const std::shared_ptr<IFilterGraph>& graph, const std::u16string& name) = 0;
};

class IEnumFilters : public virtual IUnknown {
 public:
  virtual HRESULT Next(ULONG count, std::vector<BaseFilterPtr>& out) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
};

}  // namespace media
