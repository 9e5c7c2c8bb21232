#pragma once
#include <cstdint>
#include <vector>

#include "media/fakes/CallLog.h"
#include "media/fakes/FakeFilter.h"
#include "media/framework/SampleGrabber.h"

// A sample grabber filter with pins "grabber.in" and "grabber.out" that
// logs its configuration ("grabber.SetMediaType <subtype>",
// "grabber.SetBufferSamples 1", "grabber.SetCallback cb 1" or "... nil 1")
// and can play a buffer to whatever callback is installed.
class FakeSampleGrabber : public FakeFilter, public media::ISampleGrabber {
 public:
  explicit FakeSampleGrabber(CallLog& log);

  media::ISampleGrabberCB* callback = nullptr;
  media::GUID mediaSubtype;

  // What the platform does for a passing sample: BufferCB on the installed
  // callback, if any.
  void Deliver(double sampleTime, std::vector<std::uint8_t> bytes);

  media::HRESULT SetOneShot(bool) override { return media::S_OK; }
  media::HRESULT SetMediaType(const media::AM_MEDIA_TYPE& mediaType) override;
  media::HRESULT GetConnectedMediaType(media::AM_MEDIA_TYPE&) override { return media::VFW_E_NOT_CONNECTED; }
  media::HRESULT SetBufferSamples(bool buffer) override;
  media::HRESULT GetCurrentBuffer(media::LONG&, std::uint8_t*) override { return media::E_NOTIMPL; }
  media::HRESULT SetCallback(media::ISampleGrabberCB* callback, media::LONG which) override;

 private:
  CallLog& log_;
};
