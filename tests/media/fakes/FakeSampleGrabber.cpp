#include "media/fakes/FakeSampleGrabber.h"

#include "media/fakes/LoggedPin.h"
#include "media/framework/Identifiers.h"

using namespace media;

namespace {

std::string SubtypeName(const GUID& subtype) {
  if (subtype == MEDIASUBTYPE_RGB24) return "RGB24";
  if (subtype == MEDIASUBTYPE_RGB32) return "RGB32";
  return subtype.ToString();
}

}  // namespace

FakeSampleGrabber::FakeSampleGrabber(CallLog& log) : FakeFilter("grabber", 0, &log), log_(log) {
  pins.push_back(std::make_shared<LoggedPin>("grabber.in", log, PINDIR_INPUT));
  pins.push_back(std::make_shared<LoggedPin>("grabber.out", log, PINDIR_OUTPUT));
}

void FakeSampleGrabber::Deliver(double sampleTime, std::vector<std::uint8_t> bytes) {
  if (callback) callback->BufferCB(sampleTime, bytes.data(), static_cast<LONG>(bytes.size()));
}

HRESULT FakeSampleGrabber::SetMediaType(const AM_MEDIA_TYPE& mediaType) {
  mediaSubtype = mediaType.subtype;
  log_.Add("grabber.SetMediaType " + SubtypeName(mediaType.subtype));
  return S_OK;
}

HRESULT FakeSampleGrabber::SetBufferSamples(bool buffer) {
  log_.Add(std::string("grabber.SetBufferSamples ") + (buffer ? "1" : "0"));
  return S_OK;
}

HRESULT FakeSampleGrabber::SetCallback(ISampleGrabberCB* cb, LONG which) {
  callback = cb;
  log_.Add(std::string("grabber.SetCallback ") + (cb ? "cb " : "nil ") + std::to_string(which));
  return S_OK;
}
