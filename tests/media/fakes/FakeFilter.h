#pragma once
#include <memory>
#include <string>
#include <vector>

#include "media/fakes/CallLog.h"
#include "media/framework/Filters.h"
#include "media/framework/Graphs.h"
#include "media/framework/PropertyPages.h"

// A pin that only knows whether it is connected.
class FakePin : public media::IPin {
 public:
  explicit FakePin(media::PIN_DIRECTION direction = media::PINDIR_OUTPUT) : direction_(direction) {}

  bool connected = false;
  media::PinPtr peer;
  int disconnects = 0;
  media::HRESULT disconnectFailure = media::S_OK;  // a failing code makes Disconnect fail

  media::HRESULT Connect(const media::PinPtr& receivePin, const media::AM_MEDIA_TYPE*) override;
  media::HRESULT Disconnect() override;
  media::HRESULT ConnectedTo(media::PinPtr& pin) override;
  media::HRESULT ConnectionMediaType(media::AM_MEDIA_TYPE&) override { return media::VFW_E_NOT_CONNECTED; }
  media::HRESULT QueryPinInfo(media::PIN_INFO& info) override;
  media::HRESULT QueryDirection(media::PIN_DIRECTION& direction) override;
  media::HRESULT QueryId(std::u16string& id) override;

 private:
  media::PIN_DIRECTION direction_;
};

// A filter with a name, pins and a call log; it remembers the graph it joined.
class FakeFilter : public media::IBaseFilter {
 public:
  explicit FakeFilter(std::string label, int pinCount = 2, CallLog* log = nullptr);

  std::string label;
  std::vector<std::shared_ptr<FakePin>> pins;
  int stops = 0;
  std::u16string nameInGraph;
  CallLog* log;

  media::HRESULT GetClassID(media::CLSID& clsid) override;
  media::HRESULT Stop() override;
  media::HRESULT Pause() override { return media::S_OK; }
  media::HRESULT Run(media::REFERENCE_TIME) override { return media::S_OK; }
  media::HRESULT GetState(media::DWORD, media::FILTER_STATE& state) override;
  media::HRESULT EnumPins(std::shared_ptr<media::IEnumPins>& out) override;
  media::HRESULT FindPin(const std::u16string&, media::PinPtr& pin) override;
  media::HRESULT QueryFilterInfo(media::FILTER_INFO& info) override;
  media::HRESULT JoinFilterGraph(const std::shared_ptr<media::IFilterGraph>& graph,
                                 const std::u16string& name) override;

 private:
  std::weak_ptr<media::IFilterGraph> graph_;
};

// A filter with property pages; GetPages answers `pagesResult`.
class FakePagedFilter : public FakeFilter, public media::ISpecifyPropertyPages {
 public:
  using FakeFilter::FakeFilter;
  std::vector<media::CLSID> pages;
  media::HRESULT pagesResult = media::S_OK;
  media::HRESULT GetPages(std::vector<media::CLSID>& out) override {
    out = pages;
    return pagesResult;
  }
};

// Connects two fake pins both ways.
void ConnectFakePins(const std::shared_ptr<FakePin>& out, const std::shared_ptr<FakePin>& in);
