#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "media/GraphMember.h"
#include "media/TComponent.h"
#include "media/TMediaType.h"
#include "media/framework/SampleGrabber.h"

namespace media {

class TSampleGrabber;

// sender, the sample's time in seconds, its bytes (the platform's, valid only
// during the call) and their count.
using TOnBuffer = std::function<void(TSampleGrabber& sender, double sampleTime, std::uint8_t* buffer, LONG bufferLength)>;

// The sample grabber member of a graph: holds the platform's sample grabber
// filter from moAdding to moRemoved, makes it hand out samples in MediaType,
// and hands every passing buffer to OnBuffer when a handler was assigned at
// the activation (moAdded). Without a handler the filter converts nothing
// on the way: it keeps the last sample and converts it only when asked for
// it. Interface queries it does not answer go to the
// filter while one is held, so it can stand where a filter is expected.
//
// States: no filter (only MediaType and OnBuffer are kept); filter held
// (buffering of the last sample on; the callback installed when a handler
// was assigned at moAdded); streaming (BufferCB may come for every sample).
// A change of MediaType or OnBuffer takes effect at the next activation
// (MediaType also at moRefresh).
//
// Property access and notifications run on the user-interface thread.
// BufferCB runs on the platform's streaming thread: OnBuffer runs there, one
// call at a time under BufferLock (re-entrant), and must not touch
// user-interface objects. A handler that raises is left by the lock and its
// error goes no further: nothing on the streaming thread could take it.
class TSampleGrabber : public TComponent, public IGraphMember, public ISampleGrabberCB {
 public:
  // Raises EAssertionFailed "The SampleGrabber Filter is not available on
  // this system. ..." when the platform cannot make the filter.
  explicit TSampleGrabber(std::string name = "SampleGrabber");
  ~TSampleGrabber() override;

  TFilterGraph* FilterGraph() const { return graph_; }
  void SetFilterGraph(TFilterGraph* graph);
  // video / RGB24 / video-info format until changed.
  TMediaType& MediaType() { return mediaType_; }

  const TOnBuffer& OnBuffer() const { return onBuffer_; }
  void SetOnBuffer(TOnBuffer handler);

  BaseFilterPtr GetMemberFilter() override { return filter_; }
  std::string GetMemberName() override { return Name(); }
  void NotifyMember(TMemberOperation operation, int param) override;
  void MemberGraphDestroyed() override { graph_ = nullptr; }

  HRESULT SampleCB(double sampleTime, IMediaSample* sample) override;
  HRESULT BufferCB(double sampleTime, std::uint8_t* buffer, LONG bufferLength) override;

  template <class I>
  std::shared_ptr<I> Query() { return QueryObject<I>(*this); }
  std::vector<UnknownPtr> QueryDelegates() const override { return {filter_}; }

 private:
  void Added();
  void ApplyMediaType();
  void Removing();
  void Removed();

  TFilterGraph* graph_ = nullptr;
  std::recursive_mutex bufferLock_;
  TMediaType mediaType_;
  TOnBuffer onBuffer_;                   // changed and called under bufferLock_
  std::atomic<bool> hasHandler_{false};  // whether onBuffer_ is assigned
  BaseFilterPtr filter_;
  std::shared_ptr<ISampleGrabber> grabber_;
  PinPtr input_;
  PinPtr output_;
};

}  // namespace media
