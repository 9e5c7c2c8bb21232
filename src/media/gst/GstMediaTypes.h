#pragma once
#include "media/framework/MediaTypes.h"
#include "media/gst/GstRef.h"

namespace media::gst {

// Translation between the platform's media type records and GStreamer caps,
// for the formats this system meets: raw video (24- and 32-bit RGB, YUY2,
// I420 and other raw formats by major type only), raw audio, Windows Media
// Video 8 and the ASF stream.
class GstMediaTypes {
 public:
  // The caps a record stands for: fields left zero (no subtype, no frame
  // size) leave the caps open there. A null major type gives ANY; a major
  // type this system does not know gives nil.
  static CapsRef CapsFromMediaType(const AM_MEDIA_TYPE& mediaType);
  // Fills `mediaType` (its format block allocated with CoTaskMemAlloc, for
  // the caller to free with FreeMediaTypeRecord) from the first structure of
  // fixed caps. VFW_E_INVALIDMEDIATYPE for caps it cannot describe.
  static HRESULT MediaTypeFromCaps(const GstCaps* caps, AM_MEDIA_TYPE& mediaType);
  // The major type of the first structure (video, audio, stream), null for
  // ANY, empty or unknown caps.
  static GUID MajorTypeOfCaps(const GstCaps* caps);
};

}  // namespace media::gst
