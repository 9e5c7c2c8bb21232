#pragma once
#include <memory>

#include "media/framework/SampleGrabber.h"
#include "media/gst/GstFilter.h"

namespace media::gst {

// The sample grabber (CLSID_SampleGrabber): pins "Input" and "Output", one
// caps filter between them; buffers pass through unchanged. Samples are
// handed out in the media type set with SetMediaType (anything until then).
//
// Conversion happens only for frames someone takes. With a callback
// installed when the input is connected, the input takes only that type, so
// a path built through the grabber is converted to it and the callback sees
// every frame in it. Without one, a raw video type's pixel format is left
// open (its frame size and rate still hold): frames pass in the format they
// come in, and the one kept is converted when GetCurrentBuffer copies it;
// its size answer is already that of the converted frame, and
// GetConnectedMediaType answers the type samples are handed out in. A
// callback installed after the input was connected without one gets each
// frame converted for it.
//
// On the streaming thread, for every buffer that passes: while buffering is
// on, the grabber keeps a reference to it (buffers are not changed once
// passed, so this is its copy) for GetCurrentBuffer; then the installed
// callback is called with the sample time in seconds, the running time of
// the buffer in the graph. BufferCB's bytes must only be read. A one-shot
// grabber passes the first buffer of a run and drops the rest.
//
// Threading: the ISampleGrabber calls come from the user-interface thread and
// take a short lock shared with the streaming thread. The callback runs under
// a lock of its own, which SetCallback also takes, so once SetCallback
// returns the previous callback is not running and will not be called again.
// A callback must not call back into the grabber.
class GstSampleGrabber : public GstFilter, public ISampleGrabber {
 public:
  GstSampleGrabber();
  ~GstSampleGrabber() override;

  // Nil when the caps filter is not installed.
  static std::shared_ptr<GstSampleGrabber> Make();
  bool IsComplete() const { return filter_ != nullptr; }

  HRESULT SetOneShot(bool oneShot) override;
  // VFW_E_INVALIDMEDIATYPE for a major type this system does not know.
  HRESULT SetMediaType(const AM_MEDIA_TYPE& mediaType) override;
  // VFW_E_NOT_CONNECTED while the input is not connected.
  HRESULT GetConnectedMediaType(AM_MEDIA_TYPE& mediaType) override;
  HRESULT SetBufferSamples(bool buffer) override;
  // E_INVALIDARG while buffering is off; VFW_E_WRONG_STATE before a sample
  // has passed; E_FAIL when the kept frame cannot be converted.
  HRESULT GetCurrentBuffer(LONG& bufferSize, std::uint8_t* buffer) override;
  // E_INVALIDARG for a kind other than 0 and 1.
  HRESULT SetCallback(ISampleGrabberCB* callback, LONG which) override;

  GstPinPtr Input() const { return PinOf(PINDIR_INPUT); }
  GstPinPtr Output() const { return PinOf(PINDIR_OUTPUT); }

 private:
  struct Shared;
  static GstPadProbeReturn OnProbe(GstPad* pad, GstPadProbeInfo* info, gpointer shared);
  // Sets what the input accepts for type_.
  void Accept(bool everyFrameTaken);

  GstElement* filter_ = nullptr;  // owned by the bin
  CapsRef type_;                  // from SetMediaType
  std::shared_ptr<Shared> shared_;
};

}  // namespace media::gst
