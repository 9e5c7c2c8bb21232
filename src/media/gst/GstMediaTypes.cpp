#include "media/gst/GstMediaTypes.h"

#include <gst/video/video.h>

#include <cmath>
#include <cstring>
#include <string_view>

#include "media/framework/Identifiers.h"
#include "media/framework/TaskMemory.h"

namespace media::gst {
namespace {

constexpr std::int32_t kTrue = -1;

struct RawVideoFormat {
  const GUID* subtype;
  const char* format;
};

// RGB24 is stored blue first, as GStreamer's BGR; RGB32 likewise with a
// padding byte.
constexpr RawVideoFormat kRawVideoFormats[] = {
    {&MEDIASUBTYPE_RGB24, "BGR"},
    {&MEDIASUBTYPE_RGB32, "BGRx"},
    {&MEDIASUBTYPE_YUY2, "YUY2"},
    {&MEDIASUBTYPE_I420, "I420"},
};

const char* FormatOfSubtype(const GUID& subtype) {
  for (const auto& f : kRawVideoFormats)
    if (*f.subtype == subtype) return f.format;
  return nullptr;
}

GUID SubtypeOfFormat(std::string_view format) {
  for (const auto& f : kRawVideoFormats)
    if (format == f.format) return *f.subtype;
  if (format == "BGRA") return MEDIASUBTYPE_RGB32;
  return GUID{};
}

const VIDEOINFOHEADER* VideoInfoOf(const AM_MEDIA_TYPE& mt) {
  if (mt.formattype != FORMAT_VideoInfo || mt.cbFormat < sizeof(VIDEOINFOHEADER) || !mt.pbFormat) return nullptr;
  return reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
}

// 100-ns frame durations are rounded (30 fps is 333333): whole and NTSC
// rates come back as the fractions they were.
void FrameRateOf(REFERENCE_TIME duration, gint& n, gint& d) {
  const double fps = 10'000'000.0 / static_cast<double>(duration);
  const double ntsc = fps * 1.001;
  if (std::abs(fps - std::round(fps)) < 0.001) {
    n = static_cast<gint>(std::round(fps));
    d = 1;
  } else if (std::abs(ntsc - std::round(ntsc)) < 0.001) {
    n = static_cast<gint>(std::round(ntsc)) * 1000;
    d = 1001;
  } else {
    gst_util_double_to_fraction(fps, &n, &d);
  }
}

void AddFrameFields(GstCaps* caps, const VIDEOINFOHEADER* info) {
  if (!info) return;
  const auto& bmi = info->bmiHeader;
  if (bmi.biWidth > 0) gst_caps_set_simple(caps, "width", G_TYPE_INT, bmi.biWidth, nullptr);
  if (bmi.biHeight != 0) gst_caps_set_simple(caps, "height", G_TYPE_INT, bmi.biHeight < 0 ? -bmi.biHeight : bmi.biHeight, nullptr);
  if (info->AvgTimePerFrame > 0) {
    gint n = 0, d = 0;
    FrameRateOf(info->AvgTimePerFrame, n, d);
    gst_caps_set_simple(caps, "framerate", GST_TYPE_FRACTION, n, d, nullptr);
  }
}

CapsRef VideoCaps(const AM_MEDIA_TYPE& mt) {
  if (mt.subtype == MEDIASUBTYPE_WMV2) return CapsRef::Adopt(gst_caps_from_string("video/x-wmv, wmvversion=(int)2"));
  CapsRef caps = CapsRef::Adopt(gst_caps_new_empty_simple("video/x-raw"));
  if (const char* format = FormatOfSubtype(mt.subtype))
    gst_caps_set_simple(caps.get(), "format", G_TYPE_STRING, format, nullptr);
  else if (!mt.subtype.IsNull())
    return nullptr;
  AddFrameFields(caps.get(), VideoInfoOf(mt));
  return caps;
}

std::uint16_t BitsPerPixel(const GstVideoInfo& info) {
  switch (GST_VIDEO_INFO_FORMAT(&info)) {
    case GST_VIDEO_FORMAT_I420:
    case GST_VIDEO_FORMAT_YV12:
    case GST_VIDEO_FORMAT_NV12:
    case GST_VIDEO_FORMAT_NV21:
      return 12;
    default:
      break;
  }
  if (GST_VIDEO_INFO_N_PLANES(&info) != 1) return 0;
  return static_cast<std::uint16_t>(8 * GST_VIDEO_INFO_COMP_PSTRIDE(&info, 0));
}

HRESULT FillRawVideo(const GstCaps* caps, AM_MEDIA_TYPE& mt) {
  GstVideoInfo info;
  if (!gst_video_info_from_caps(&info, caps)) return VFW_E_INVALIDMEDIATYPE;
  mt.subtype = SubtypeOfFormat(GST_VIDEO_INFO_NAME(&info));
  mt.bFixedSizeSamples = kTrue;
  mt.lSampleSize = static_cast<std::uint32_t>(GST_VIDEO_INFO_SIZE(&info));
  mt.formattype = FORMAT_VideoInfo;
  auto* block = static_cast<VIDEOINFOHEADER*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
  if (!block) return E_OUTOFMEMORY;
  *block = VIDEOINFOHEADER{};
  const bool rgb = GST_VIDEO_INFO_IS_RGB(&info);
  block->bmiHeader.biWidth = GST_VIDEO_INFO_WIDTH(&info);
  // GStreamer rows run top to bottom; for RGB the platform says so with a
  // negative height.
  block->bmiHeader.biHeight = rgb ? -GST_VIDEO_INFO_HEIGHT(&info) : GST_VIDEO_INFO_HEIGHT(&info);
  block->bmiHeader.biBitCount = BitsPerPixel(info);
  block->bmiHeader.biSizeImage = mt.lSampleSize;
  if (GST_VIDEO_INFO_FPS_N(&info) > 0)
    block->AvgTimePerFrame = static_cast<REFERENCE_TIME>(
        gst_util_uint64_scale(10'000'000, GST_VIDEO_INFO_FPS_D(&info), GST_VIDEO_INFO_FPS_N(&info)));
  block->rcSource = RECT{0, 0, block->bmiHeader.biWidth, GST_VIDEO_INFO_HEIGHT(&info)};
  block->rcTarget = block->rcSource;
  mt.cbFormat = sizeof(VIDEOINFOHEADER);
  mt.pbFormat = reinterpret_cast<std::uint8_t*>(block);
  return S_OK;
}

}  // namespace

CapsRef GstMediaTypes::CapsFromMediaType(const AM_MEDIA_TYPE& mt) {
  if (mt.majortype.IsNull()) return CapsRef::Adopt(gst_caps_new_any());
  if (mt.majortype == MEDIATYPE_Video) return VideoCaps(mt);
  if (mt.majortype == MEDIATYPE_Audio) return CapsRef::Adopt(gst_caps_new_empty_simple("audio/x-raw"));
  if (mt.majortype == MEDIATYPE_Stream && (mt.subtype.IsNull() || mt.subtype == MEDIASUBTYPE_Asf))
    return CapsRef::Adopt(gst_caps_new_empty_simple("video/x-ms-asf"));
  return nullptr;
}

HRESULT GstMediaTypes::MediaTypeFromCaps(const GstCaps* caps, AM_MEDIA_TYPE& mt) {
  mt = AM_MEDIA_TYPE{};
  if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps)) return VFW_E_INVALIDMEDIATYPE;
  const std::string_view name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  mt.majortype = MajorTypeOfCaps(caps);
  if (name == "video/x-raw") return FillRawVideo(caps, mt);
  if (name == "video/x-wmv") mt.subtype = MEDIASUBTYPE_WMV2;
  else if (name == "video/x-ms-asf") mt.subtype = MEDIASUBTYPE_Asf;
  else if (mt.majortype.IsNull()) return VFW_E_INVALIDMEDIATYPE;
  mt.bTemporalCompression = mt.majortype == MEDIATYPE_Video ? kTrue : 0;
  mt.lSampleSize = 1;
  return S_OK;
}

GUID GstMediaTypes::MajorTypeOfCaps(const GstCaps* caps) {
  if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps)) return GUID{};
  const std::string_view name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  if (name == "video/x-ms-asf") return MEDIATYPE_Stream;
  if (name.starts_with("video/") || name.starts_with("image/")) return MEDIATYPE_Video;
  if (name.starts_with("audio/")) return MEDIATYPE_Audio;
  return GUID{};
}

}  // namespace media::gst
