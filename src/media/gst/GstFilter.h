#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/framework/Filters.h"
#include "media/framework/Graphs.h"
#include "media/gst/GstPin.h"
#include "media/gst/GstRef.h"

namespace media::gst {

class GstFilter;
class GstFilterGraph;

// What a pin knows of its filter: cleared when the filter is destroyed, so a
// pin that outlives its filter finds nothing instead of a dangling pointer.
struct GstFilterLink {
  GstFilter* filter = nullptr;
};

// A platform filter: a GstBin whose pins are ghost pads. Subclasses build the
// bin's inside and add the pins; the graph puts the bin into its pipeline.
// The filter holds its own reference to the bin, so the bin outlives its
// time in a graph. User-interface thread only.
class GstFilter : public IBaseFilter {
 public:
  GstFilter(const CLSID& clsid, std::u16string defaultName);
  ~GstFilter() override;
  GstFilter(const GstFilter&) = delete;
  GstFilter& operator=(const GstFilter&) = delete;

  HRESULT GetClassID(CLSID& clsid) override;
  // These act on this filter's bin alone.
  HRESULT Stop() override;
  HRESULT Pause() override;
  HRESULT Run(REFERENCE_TIME start) override;
  HRESULT GetState(DWORD timeoutMs, FILTER_STATE& state) override;
  HRESULT EnumPins(std::shared_ptr<IEnumPins>& pins) override;
  HRESULT FindPin(const std::u16string& id, PinPtr& pin) override;
  HRESULT QueryFilterInfo(FILTER_INFO& info) override;
  HRESULT JoinFilterGraph(const std::shared_ptr<IFilterGraph>& graph, const std::u16string& name) override;

  // A filter whose output must be finished before it stops (a file writer)
  // answers true: the graph then ends the stream and lets it drain, for a
  // bounded time, before it brings the pipeline down.
  virtual bool NeedsDrain() const { return false; }
  // A capture device: its failures while running are reported as a lost
  // device.
  virtual bool IsDevice() const { return false; }
  // Called by the graph before it leaves the stopped state, with the
  // connections as the run will have them.
  virtual void PrepareRun() {}

  GstElement* Bin() const { return bin_.get(); }
  const std::vector<GstPinPtr>& Pins() const { return pins_; }
  // The first pin in `direction` (with `category` when given).
  GstPinPtr PinOf(PIN_DIRECTION direction, const std::optional<GUID>& category = std::nullopt) const;
  const std::u16string& DefaultName() const { return defaultName_; }
  // The name in the graph, or the default name while in none.
  std::u16string Name() const;
  std::shared_ptr<GstFilterGraph> Graph() const { return gstGraph_.lock(); }

  // The filter a bin stands for, nil for other elements or before the
  // filter first joined a graph. From a streaming thread, the reference
  // returned must be handed on to the user-interface thread, not dropped.
  static std::shared_ptr<GstFilter> FromBin(GstElement* bin);
  // Whether the bin is a capture device's; any thread, no filter reference.
  static bool IsDeviceBin(GstElement* bin);

 protected:
  // Adds a pin whose ghost pad targets `target` (a pad of an element inside
  // the bin). Called from subclass constructors.
  GstPinPtr AddPin(const std::u16string& name, PIN_DIRECTION direction, GstPad* target,
                   std::optional<GUID> category = std::nullopt);
  // Adds an element (a new, floating one) to the bin; nil when the factory
  // is missing.
  GstElement* AddElement(const char* factory, const char* name = nullptr);

 private:
  CLSID clsid_;
  std::u16string defaultName_;
  ElementRef bin_;
  std::shared_ptr<GstFilterLink> link_;
  std::vector<GstPinPtr> pins_;
  std::weak_ptr<IFilterGraph> graph_;
  std::weak_ptr<GstFilterGraph> gstGraph_;
  std::u16string nameInGraph_;
};

using GstFilterPtr = std::shared_ptr<GstFilter>;

}  // namespace media::gst
