#include "media/TSampleGrabber.h"

#include <source_location>

#include "media/RuntimeErrors.h"
#include "media/TFilterGraph.h"
#include "media/TPinList.h"
#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"

namespace media {
namespace {

// The platform's sample grabber can be made: creation answers exactly S_OK.
void ProbeForGrabber(std::source_location where = std::source_location::current()) {
  BaseFilterPtr probe;
  if (CoCreateInstance<IBaseFilter>(CLSID_SampleGrabber, probe) == S_OK) return;
  std::string file = where.file_name();
  file = file.substr(file.find_last_of('/') + 1);
  throw EAssertionFailed("The SampleGrabber Filter is not available on this system. (" + file + ", line " +
                         std::to_string(where.line()) + ")");
}

}  // namespace

TSampleGrabber::TSampleGrabber(std::string name) : TComponent(std::move(name)), mediaType_(MEDIATYPE_Video) {
  ProbeForGrabber();
  mediaType_.SetSubtype(MEDIASUBTYPE_RGB24);
  mediaType_.SetFormatType(FORMAT_VideoInfo);
}

TSampleGrabber::~TSampleGrabber() { SetFilterGraph(nullptr); }

void TSampleGrabber::SetFilterGraph(TFilterGraph* graph) { ChangeMemberGraph(*this, nullptr, graph_, graph); }

void TSampleGrabber::SetOnBuffer(TOnBuffer handler) {
  std::lock_guard lock(bufferLock_);
  onBuffer_ = std::move(handler);
  hasHandler_ = static_cast<bool>(onBuffer_);
}

void TSampleGrabber::NotifyMember(TMemberOperation operation, int) {
  switch (operation) {
    case moAdding: CoCreateInstance<IBaseFilter>(CLSID_SampleGrabber, filter_); break;
    case moAdded:
      if (filter_) Added();
      break;
    case moRemoving: Removing(); break;
    case moRemoved: Removed(); break;
    case moRefresh: ApplyMediaType(); break;
  }
}

void TSampleGrabber::Added() {
  grabber_ = media::Query<ISampleGrabber>(filter_);
  const TPinList pins(filter_);
  if (pins.Count() > 0) input_ = pins.Item(0);
  if (pins.Count() > 1) output_ = pins.Item(1);
  ApplyMediaType();
  if (!grabber_) return;
  grabber_->SetBufferSamples(true);
  // A handler assigned later is installed only by the next activation.
  if (hasHandler_) grabber_->SetCallback(this, 1);
}

void TSampleGrabber::ApplyMediaType() {
  if (!grabber_) return;
  filter_->Stop();
  if (input_) input_->Disconnect();
  grabber_->SetMediaType(mediaType_.AmMediaType());
}

void TSampleGrabber::Removing() {
  if (filter_) filter_->Stop();
  if (input_) input_->Disconnect();
  if (output_) output_->Disconnect();
}

void TSampleGrabber::Removed() {
  if (grabber_) {
    grabber_->SetCallback(nullptr, 1);
    grabber_->SetBufferSamples(false);
  }
  filter_.reset();
  grabber_.reset();
  input_.reset();
  output_.reset();
}

HRESULT TSampleGrabber::SampleCB(double, IMediaSample*) { return S_OK; }

HRESULT TSampleGrabber::BufferCB(double sampleTime, std::uint8_t* buffer, LONG bufferLength) {
  if (!hasHandler_) return S_OK;
  std::lock_guard lock(bufferLock_);
  try {
    if (onBuffer_) onBuffer_(*this, sampleTime, buffer, bufferLength);
  } catch (...) {
    // The streaming thread has no one to hand the error to.
  }
  return S_OK;
}

}  // namespace media
