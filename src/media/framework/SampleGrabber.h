#pragma once
// The sample grabber filter's interfaces.
#include <cstdint>
#include <memory>

#include "media/framework/MediaTypes.h"
#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

// One buffer passing through a filter; valid only during the call it is
// handed to.
class IMediaSample : public virtual IUnknown {
 public:
  virtual HRESULT GetPointer(std::uint8_t*& buffer) = 0;
  virtual LONG GetActualDataLength() = 0;
  virtual HRESULT GetTime(REFERENCE_TIME& start, REFERENCE_TIME& end) = 0;
};

// Called on the streaming thread for every sample while installed.
class ISampleGrabberCB : public virtual IUnknown {
 public:
  virtual HRESULT SampleCB(double sampleTime, IMediaSample* sample) = 0;
  virtual HRESULT BufferCB(double sampleTime, std::uint8_t* buffer, LONG bufferLength) = 0;
};

class ISampleGrabber : public virtual IUnknown {
 public:
  virtual HRESULT SetOneShot(bool oneShot) = 0;
  // The only type the input accepts; takes a copy of the record.
  virtual HRESULT SetMediaType(const AM_MEDIA_TYPE& mediaType) = 0;
  // Fills a record the caller frees with FreeMediaTypeRecord.
  virtual HRESULT GetConnectedMediaType(AM_MEDIA_TYPE& mediaType) = 0;
  virtual HRESULT SetBufferSamples(bool buffer) = 0;
  // buffer nil: bufferSize := bytes needed. Otherwise copies at most
  // bufferSize bytes of the last sample and sets bufferSize to the count.
  virtual HRESULT GetCurrentBuffer(LONG& bufferSize, std::uint8_t* buffer) = 0;
  // Not owned: the caller removes the callback (nil) before it goes away.
  // which: 0 SampleCB, 1 BufferCB.
  virtual HRESULT SetCallback(ISampleGrabberCB* callback, LONG which) = 0;
};

}  // namespace media
